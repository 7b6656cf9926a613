#pragma once

#include <QString>

class FileSystem;
class QWidget;

// Remembers a window's state, position, size and active control in an INI file, section "form".
class PlacementStore
{
public:
    PlacementStore(FileSystem &files, const QString &path, QWidget *window);

    // Puts the window where it was when it last closed; a placement off every screen is ignored.
    void restore();
    // Failures are not reported: losing a window position must never stop the program closing.
    void save();

    // The file "mainform" in the user's configuration folder.
    static QString defaultPath();

private:
    FileSystem &m_files;
    QString m_path;
    QWidget *m_window;
};
