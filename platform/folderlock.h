#pragma once

#include <QString>

#include <chrono>

// Keeps other program instances, and the library tool, away from an application folder's index
// files while one command reads and rewrites them: an exclusive lock (flock) on a lock file in the
// folder. A lock taken again in the same process nests. A lock file this account may not write (one
// another account made in a library both use) is locked read-only, which flock allows. Where no lock
// can be taken at all (no lock file and none can be made, a folder or a link of that name, a file
// system without locks), "无法锁定文件夹…" is raised and nothing is written.
class FolderLock
{
public:
    // Waits for another holder at most wait; then "…正被另一个程序使用…" is raised.
    explicit FolderLock(const QString &folder, std::chrono::milliseconds wait = DefaultWait);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    static constexpr std::chrono::milliseconds DefaultWait { 10000 };
    static QString fileName();
    static QString busyMessage(const QString &folder);
    static QString unlockableMessage(const QString &folder, const QString &reason);

    // Removes what writes and copies killed half-way left in the folder and the folders below it
    // (links are not followed): the writers' temporary files (".<name>.vellumo-XXXXXX"), older than
    // the lock taken for this. Returns how many were removed; nothing is removed while another
    // instance holds the lock.
    static int clearStaleTemporaries(const QString &folder);

private:
    QString m_key;
};
