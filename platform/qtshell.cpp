#include "qtshell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
QUrl urlOf(const QString &documentOrAddress)
{
    return documentOrAddress.startsWith(u'/') ? QUrl::fromLocalFile(documentOrAddress)
                                              : QUrl(documentOrAddress, QUrl::TolerantMode);
}
}

void QtShell::open(const QString &documentOrAddress, std::function<void()> failed)
{
    const QUrl url = urlOf(documentOrAddress);
    auto *opener = new QProcess(&m_openers);
    opener->setProgram(u"xdg-open"_s);
    opener->setArguments({ url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded) });
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, opener, [opener, failed](int code, QProcess::ExitStatus status) {
        if ((status != QProcess::NormalExit || code != 0) && failed)
            failed();
        opener->deleteLater();
    });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, url, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        if (!QDesktopServices::openUrl(url) && failed)
            failed();
        opener->deleteLater();
    });
    opener->start();
}
