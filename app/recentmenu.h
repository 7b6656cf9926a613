#pragma once

#include "editor/recentpages.h"

#include <QObject>

#include <functional>

class Dialogs;
class FileSystem;
class QAction;
class QMenu;

// The File menu's recently opened pages: read afresh each time the menu opens, so that every window
// shows what any of them opened last. A page that is gone is said and dropped from the list.
class RecentMenu : public QObject
{
    Q_OBJECT
public:
    using Open = std::function<void(const QString &path)>;
    // The submenu goes into the File menu before `before`; choosing a page runs open with its path.
    RecentMenu(FileSystem &files, Dialogs &dialogs, const QString &settingsFile, QMenu *fileMenu, QAction *before,
        Open open, QObject *parent);

    // A page opened or saved under a name: it goes to the top of the list.
    void remember(const QString &path);
    QMenu *menu() const { return m_menu; }
    static QString goneMessage(const QString &path);

private:
    void list();
    void choose(const QString &path);

    FileSystem &m_files;
    Dialogs &m_dialogs;
    RecentPages m_pages;
    Open m_open;
    QMenu *m_menu;
};
