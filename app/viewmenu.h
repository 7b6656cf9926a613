#pragma once

#include "library/settingswitch.h"

#include <QObject>
#include <QString>

class FileSystem;
class PageEditor;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The View menu: line numbers and word wrap (both remembered in the user's settings), zoom, and going
// to a line.
class ViewMenu : public QObject
{
    Q_OBJECT
public:
    // The menu goes into the bar before `before`.
    ViewMenu(
        PageEditor &editor, FileSystem &files, QString settingsFile, QMenuBar *bar, QAction *before, QWidget *window);

    QMenu *menu() const { return m_menu; }

private:
    void goToLine();
    SettingSwitch setting(const QString &key) const;

    PageEditor &m_editor;
    FileSystem &m_files;
    QString m_settingsFile;
    QWidget *m_window;
    QMenu *m_menu;
};
