#include "folderlock.h"

#include "temporaryname.h"
#include "vellumoerror.h"

#include <QFile>
#include <QHash>

#include <mutex>
#include <optional>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
struct Held
{
    int fd = -1;
    int depth = 0;
};

std::mutex &heldMutex()
{
    static std::mutex mutex;
    return mutex;
}

QHash<QString, Held> &heldLocks()
{
    static QHash<QString, Held> held;
    return held;
}

QString folderKey(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// The lock file's descriptor with the lock held; -1 without a lock file; throws when another holder
// keeps it past the wait.
int takeLock(const QString &folder, std::chrono::milliseconds wait)
{
    const QByteArray path = QFile::encodeName(folder + FolderLock::fileName());
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            // A file system without locks: nothing to wait for.
            ::close(fd);
            return -1;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            throw VellumoError(FolderLock::busyMessage(folder));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool olderThan(const struct stat &st, const struct timespec &moment)
{
    return st.st_mtim.tv_sec < moment.tv_sec
        || (st.st_mtim.tv_sec == moment.tv_sec && st.st_mtim.tv_nsec < moment.tv_nsec);
}

// Deeper than any category folder's sub-folders go; each level holds two descriptors.
constexpr int MaxDepth = 32;

// Removes the stale temporaries of one folder and of the folders below it, never through a link.
int clearFolder(int folder, const struct timespec &lockTaken, int depth)
{
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = listing < 0 ? nullptr : ::fdopendir(listing);
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return 0;
    }
    int removed = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        struct stat st;
        if (name == "." || name == ".." || ::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode) && depth < MaxDepth) {
            const int below = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (below >= 0) {
                removed += clearFolder(below, lockTaken, depth + 1);
                ::close(below);
            }
        } else if (S_ISREG(st.st_mode) && TemporaryName::matches(name) && olderThan(st, lockTaken)
            && ::unlinkat(folder, name.constData(), 0) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}
}

FolderLock::FolderLock(const QString &folder, std::chrono::milliseconds wait)
    : m_key(folderKey(folder))
{
    {
        const std::lock_guard<std::mutex> guard(heldMutex());
        const auto it = heldLocks().find(m_key);
        if (it != heldLocks().end()) {
            ++it->depth;
            return;
        }
    }
    const int fd = takeLock(m_key, wait);
    const std::lock_guard<std::mutex> guard(heldMutex());
    heldLocks().insert(m_key, Held { fd, 1 });
}

FolderLock::~FolderLock()
{
    const std::lock_guard<std::mutex> guard(heldMutex());
    const auto it = heldLocks().find(m_key);
    if (it == heldLocks().end() || --it->depth > 0)
        return;
    if (it->fd >= 0)
        ::close(it->fd); // closing the last descriptor releases the lock
    heldLocks().erase(it);
}

QString FolderLock::fileName()
{
    return u".vellumo.lock"_s;
}

QString FolderLock::busyMessage(const QString &folder)
{
    return u"文件夹"_s + folder + u"正被另一个程序使用，等了"_s
        + QString::number(std::chrono::duration_cast<std::chrono::seconds>(DefaultWait).count())
        + u"秒也没有结束，请稍后再试"_s;
}

int FolderLock::clearStaleTemporaries(const QString &folder)
{
    const QString key = folderKey(folder);
    // Start-up never waits for another instance's write: its temporaries are cleared another time.
    std::optional<FolderLock> lock;
    try {
        lock.emplace(key, std::chrono::milliseconds(0));
    } catch (const VellumoError &) {
        return 0;
    }
    // Every writer holds the lock while its temporary file exists, so a temporary file older than
    // this moment belongs to a writer that is gone.
    struct stat lockStat;
    struct timespec lockTaken;
    const QByteArray lockPath = QFile::encodeName(key + fileName());
    if (::utimensat(AT_FDCWD, lockPath.constData(), nullptr, AT_SYMLINK_NOFOLLOW) == 0
        && ::lstat(lockPath.constData(), &lockStat) == 0)
        lockTaken = lockStat.st_mtim;
    else // another account's lock file keeps its times; the clock file times are taken from stands in
        ::clock_gettime(CLOCK_REALTIME_COARSE, &lockTaken);
    const int top = ::open(QFile::encodeName(key).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (top < 0)
        return 0;
    const int removed = clearFolder(top, lockTaken, 0);
    ::close(top);
    return removed;
}
