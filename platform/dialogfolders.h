#pragma once

#include <QString>

// Where a file dialog opens: the folder its caller names (the page's own folder), otherwise the
// folder the user last chose something in, otherwise the home folder. The library's own folders
// are the program's, not the user's work, so a choice in them is never offered again.
class DialogFolders
{
public:
    explicit DialogFolders(QString home)
        : m_home(std::move(home))
    {
    }

    void setLibraryFolder(const QString &folder);
    // A file or a folder the user chose in a dialog.
    void fileChosen(const QString &path);
    void folderChosen(const QString &folder);
    QString startFolder(const QString &requested) const;

private:
    bool inLibrary(const QString &folder) const;

    QString m_home;
    QString m_library;
    QString m_last;
};
