#pragma once

#include <QString>

class FileSystem;

// A simple-copy effect made from the user's own text: the text file named after the effect in the
// "简单复制" folder, then the effect's entry in the effect index.
class CustomEffect
{
public:
    CustomEffect(FileSystem &files, const QString &applicationFolder);

    enum class Result { UnusableName, SameName, Defined };
    // The text is saved with CR LF line ends and no line break added at the end. A file of the same
    // name (in any letter case) is never touched. A file that cannot be created raises "Cannot create
    // file %s" before the index is touched; an index without a numeric TOTAL raises the conversion
    // error after the file was saved.
    Result define(const QString &name, const QString &text);

    QString filePath(const QString &name) const;
    // A name that would leave the folder, name the folder itself or break the index file.
    static bool usableName(const QString &name);

    static QString category();
    static QString sameNameMessage();
    static QString unusableNameMessage();

private:
    FileSystem &m_files;
    QString m_applicationFolder;
};
