#include "recentmenu.h"

#include "platform/dialogs.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"

#include <QAction>
#include <QMenu>

using namespace Qt::StringLiterals;

RecentMenu::RecentMenu(FileSystem &files, Dialogs &dialogs, const QString &settingsFile, QMenu *fileMenu,
    QAction *before, Open open, QObject *parent)
    : QObject(parent)
    , m_files(files)
    , m_dialogs(dialogs)
    , m_pages(files, settingsFile)
    , m_open(std::move(open))
{
    m_menu = new QMenu(u"最近打开的网页(&R)"_s, fileMenu);
    m_menu->setObjectName(u"RecentPages1"_s);
    fileMenu->insertMenu(before, m_menu);
    connect(m_menu, &QMenu::aboutToShow, this, &RecentMenu::list);
}

QString RecentMenu::goneMessage(const QString &path)
{
    return u"网页文件已不存在，已从最近打开的网页中去掉：\n%1"_s.arg(path);
}

void RecentMenu::remember(const QString &path)
{
    try {
        m_pages.add(path);
    } catch (const VellumoError &) {
        // A list that cannot be kept only misses this page; the page itself is open.
    }
}

void RecentMenu::list()
{
    m_menu->clear();
    const QStringList pages = m_pages.pages();
    for (int i = 0; i < pages.size(); ++i) {
        const QString path = pages.at(i);
        // The number is the key that picks it; an "&" in the path is shown, not taken as one.
        QAction *action = m_menu->addAction(
            u"&%1  %2"_s.arg(i + 1 == 10 ? u"0"_s : QString::number(i + 1), QString(path).replace(u'&', u"&&"_s)));
        action->setObjectName(u"RecentPage%1"_s.arg(i + 1));
        action->setToolTip(path);
        connect(action, &QAction::triggered, this, [this, path] { choose(path); });
    }
    if (pages.isEmpty()) {
        m_menu->addAction(u"（还没有打开过网页）"_s)->setEnabled(false);
        return;
    }
    m_menu->addSeparator();
    QAction *clear = m_menu->addAction(u"清空列表(&C)"_s);
    clear->setObjectName(u"ClearRecentPages1"_s);
    connect(clear, &QAction::triggered, this, [this] {
        try {
            m_pages.clear();
        } catch (const VellumoError &error) {
            m_dialogs.error(QString::fromUtf8(error.what()));
        }
    });
}

void RecentMenu::choose(const QString &path)
{
    if (m_files.fileExists(path)) {
        m_open(path);
        return;
    }
    try {
        m_pages.remove(path);
    } catch (const VellumoError &) {
        // Said again the next time it is chosen.
    }
    m_dialogs.message(goneMessage(path));
}
