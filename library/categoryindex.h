#pragma once

#include <QString>
#include <QStringList>

class FileSystem;

// LINK1.INI: the categories of the installed library, in list order.
class CategoryIndex
{
public:
    CategoryIndex(FileSystem &files, const QString &applicationFolder);

    // Empty without a LINK1.INI; a TOTAL that is no number raises the conversion error.
    QStringList categories() const;

    static QString fileName();

private:
    FileSystem &m_files;
    QString m_path;
};
