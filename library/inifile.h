#pragma once

#include "inidocument.h"

#include <QString>
#include <QStringList>

class FileSystem;

// The access object for one INI file: every read sees the file as it is now, every write goes
// to the file at once and replaces it whole, or raises "Unable to write to %s" and changes nothing.
class IniFile
{
public:
    // The file name is matched without regard to letter case; a new file keeps the spelling asked for.
    IniFile(FileSystem &files, const QString &path);

    QString readString(const QString &section, const QString &key) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    int highestNumberedKey(const QString &section, const QString &prefix) const;
    int highestNumberedSection(const QString &prefix) const;
    bool hasKey(const QString &section, const QString &key) const;
    // The values of prefix + first .. prefix + last, read in one look at the file.
    QStringList readNumbered(const QString &section, const QString &prefix, int first, int last) const;

    const QString &path() const { return m_path; }

private:
    std::shared_ptr<const IniDocument> current() const;

    FileSystem &m_files;
    QString m_askedPath;
    mutable QString m_path;
};
