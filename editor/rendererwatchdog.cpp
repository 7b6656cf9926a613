#include "rendererwatchdog.h"

#include <QFile>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <signal.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
constexpr int AskEveryMs = 250;
// A page that has not answered for this long is taken as stuck.
constexpr qint64 AnswerWithinMs = 2000;
// An effect's page needs a few tens of megabytes; past this it is writing or keeping without end.
constexpr qint64 LargestRenderer = qint64(512) << 20;

// The memory a process holds now, from the kernel; 0 when it cannot be told.
qint64 residentBytes(qint64 pid)
{
    QFile statm(u"/proc/%1/statm"_s.arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readLine().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}
}

RendererWatchdog::RendererWatchdog(QWebEnginePage *page, std::function<void(const QString &why)> ended)
    : QObject(page)
    , m_page(page)
    , m_ended(std::move(ended))
{
    m_timer.setInterval(AskEveryMs);
    connect(&m_timer, &QTimer::timeout, this, &RendererWatchdog::check);
    // A new process starts with nothing asked of it.
    connect(page, &QWebEnginePage::renderProcessPidChanged, this, [this] { m_asked = false; });
    m_timer.start();
}

QString RendererWatchdog::unansweredMessage()
{
    return u"特效运行过久，已停止预览"_s;
}

QString RendererWatchdog::tooLargeMessage()
{
    return u"特效占用内存过多，已停止预览"_s;
}

void RendererWatchdog::check()
{
    const qint64 pid = m_page->renderProcessPid();
    if (pid <= 0 || pid == m_endedPid) {
        m_asked = false;
        return;
    }
    if (residentBytes(pid) > LargestRenderer) {
        end(pid, tooLargeMessage());
        return;
    }
    if (m_asked && m_askedSince.elapsed() > AnswerWithinMs) {
        end(pid, unansweredMessage());
        return;
    }
    if (!m_asked) {
        m_asked = true;
        m_askedSince.start();
    }
    // Any answer, to this question or an earlier one, shows the page is alive.
    QPointer<RendererWatchdog> self(this);
    m_page->runJavaScript(u"0"_s, QWebEngineScript::ApplicationWorld, [self](const QVariant &) {
        if (self)
            self->m_asked = false;
    });
}

void RendererWatchdog::end(qint64 pid, const QString &why)
{
    m_asked = false;
    m_endedPid = pid;
    ::kill(pid_t(pid), SIGKILL);
    if (m_ended)
        m_ended(why);
}
