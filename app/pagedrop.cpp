#include "pagedrop.h"

#include "platform/dialogs.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

using namespace Qt::StringLiterals;

PageDrop::PageDrop(Dialogs &dialogs, const QList<QWidget *> &targets, Open open, QObject *parent)
    : QObject(parent)
    , m_dialogs(dialogs)
    , m_open(std::move(open))
{
    for (QWidget *target : targets) {
        target->setAcceptDrops(true);
        target->installEventFilter(this);
    }
}

QStringList PageDrop::files(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

bool PageDrop::isPage(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"htm"_s || suffix == u"html"_s;
}

QString PageDrop::notPageMessage(const QString &path)
{
    return u"只能打开网页文件（.htm、.html）：\n%1"_s.arg(path);
}

QString PageDrop::onlyOneMessage()
{
    return u"一次只能拖入一个网页文件。"_s;
}

bool PageDrop::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (files(drag->mimeData()).isEmpty())
            break;
        // Any file is taken, so that a refused one is said rather than silently bounced.
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *dropped = static_cast<QDropEvent *>(event);
        const QStringList paths = files(dropped->mimeData());
        if (paths.isEmpty())
            break;
        dropped->setDropAction(Qt::CopyAction);
        dropped->accept();
        // The questions and the page come after the file manager got its answer, not inside its drag.
        QTimer::singleShot(0, this, [this, paths] { drop(paths); });
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void PageDrop::drop(const QStringList &paths)
{
    if (paths.size() > 1) {
        m_dialogs.message(onlyOneMessage());
        return;
    }
    if (!isPage(paths.first())) {
        m_dialogs.message(notPageMessage(paths.first()));
        return;
    }
    m_open(paths.first());
}
