#pragma once

#include <QString>

class FileSystem;

// The "模板" folder: every registered template also gets a copy there under its own file name.
class TemplateShelf
{
public:
    TemplateShelf(FileSystem &files, const QString &applicationFolder);

    QString copyPath(const QString &chosen) const;
    // The chosen file is the copy itself: it stays as it is.
    bool isOwnCopy(const QString &chosen) const;
    // Another file of the same name is in the folder already.
    bool hasOtherCopy(const QString &chosen) const;
    // Copies the chosen file in, replacing the other copy when replace is set; a copy that cannot be
    // made (no folder, the other copy kept) is skipped silently, one the disk refuses raises
    // "Cannot create file %s".
    void copyIn(const QString &chosen, bool replace);

    static QString replaceQuestion();

private:
    FileSystem &m_files;
    QString m_folder;
};
