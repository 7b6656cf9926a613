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
    // Not cut to the 2047 bytes readString() gives: for judging values that must be whole.
    QString readUncutString(const QString &section, const QString &key) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    int highestNumberedKey(const QString &section, const QString &prefix) const;
    int highestNumberedSection(const QString &prefix) const;
    int reachedNumberedKey(const QString &section, const QString &prefix) const;
    int reachedNumberedSection(const QString &prefix) const;
    bool hasKey(const QString &section, const QString &key) const;
    bool hasSection(const QString &section) const;
    // The values of prefix + first .. prefix + last, read in one look at the file.
    QStringList readNumbered(const QString &section, const QString &prefix, int first, int last) const;

    // Holds the writes back until the matching commit(), so that the keys one command writes reach the
    // file in one replacement: a failure or a crash then leaves all of them or none. Reads in between
    // see the held writes. Batches nest; an IniFile dropped before its commit writes nothing.
    void beginBatch();
    // Writes the held keys when the outermost batch ends; "Unable to write to %s" when refused.
    void commit();

    const QString &path() const { return m_path; }

private:
    std::shared_ptr<const IniDocument> current() const;
    void store(std::shared_ptr<IniDocument> edited);

    FileSystem &m_files;
    QString m_askedPath;
    mutable QString m_path;
    int m_batchDepth = 0;
    std::shared_ptr<IniDocument> m_held;
};
