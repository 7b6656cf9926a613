#pragma once

#include <QString>
#include <QStringList>

class FileSystem;

// Makes an update package of one installed effect: the ".gx" file and, beside it, every file the
// effect needs in its category folder, so that installing the package elsewhere gives the same
// effect.
class PackageMaker
{
public:
    PackageMaker(FileSystem &files, const QString &applicationFolder);

    // The effect's files in its category folder, relative to it: the definition file and the files
    // it names, or the text file of a simple-copy effect.
    QStringList effectFiles(const QString &category, const QString &effect, QStringList *problems) const;
    // Writes the package; returns what went wrong, nothing on success. A file already beside the
    // package with other content is never overwritten.
    QStringList make(const QString &category, const QString &effect, const QString &packagePath);

private:
    FileSystem &m_files;
    QString m_applicationFolder;
};
