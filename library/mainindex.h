#pragma once

#include <QString>
#include <QStringList>

class FileSystem;

// MAIN.INI: the current skin's pictures and name, and the template registry (numbered from 0,
// TOTAL the highest index in use, "-1" for none).
class MainIndex
{
public:
    MainIndex(FileSystem &files, const QString &applicationFolder);

    struct SkinPictures
    {
        QString mainImage; // MAINFORMIMG
        QString statusImage; // LIMG
    };
    SkinPictures skinPictures() const;
    QString skinName() const;
    // MAINFORMIMG, LIMG, then NAME, in that order; the default skin writes three empty values.
    void setSkin(const QString &mainImage, const QString &statusImage, const QString &name);

    // The registered template paths; a TOTAL that is no number raises the conversion error.
    QStringList templates() const;
    void addTemplate(const QString &path);
    // TOTAL = count - 1, then mfile0.. with the paths in order; keys above stay and are never read.
    void rewriteTemplates(const QStringList &paths);

    const QString &path() const { return m_path; }

private:
    FileSystem &m_files;
    QString m_folder;
    QString m_path;
};
