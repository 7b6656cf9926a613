#pragma once

#include <QString>
#include <QStringList>

class FileSystem;

// SINKNAME: the skins the user has defined, numbered from 1 in the order of definition, each a name
// and the full paths of its main-window and status-bar pictures. Skins are never removed.
class SkinRegistry
{
public:
    SkinRegistry(FileSystem &files, const QString &applicationFolder);

    struct Skin
    {
        QString name; // SNAME
        QString mainImage; // SPDIR
        QString statusImage; // SLDIR
    };

    // The names in order; none for an empty or missing TOTAL, the conversion error for one that is
    // no number.
    QStringList names() const;
    // Skin n (from 1); empty texts for a section that is not there.
    Skin skin(int n) const;
    // TOTAL + 1 first, then the new section's name and pictures; returns the new number.
    int add(const Skin &skin);

    // The "皮肤内容" text: three lines joined by a lone CR.
    static QString description(const Skin &skin);

    const QString &path() const { return m_path; }

private:
    FileSystem &m_files;
    QString m_folder;
    QString m_path;
};
