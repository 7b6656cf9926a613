#pragma once

#include <QString>
#include <QStringList>

class FileSystem;

// The pages the user opened or saved last, most recent first, at most ten, each once; kept in the
// settings file under [recent] so that every window of every run sees the same list.
class RecentPages
{
public:
    static constexpr int Kept = 10;

    RecentPages(FileSystem &files, QString settingsFile);

    QStringList pages() const;
    // The page goes to the top; one beyond the tenth drops off. "Unable to write to %s" when refused.
    void add(const QString &path);
    void remove(const QString &path);
    void clear();

private:
    void store(const QStringList &pages);

    FileSystem &m_files;
    QString m_settingsFile;
};
