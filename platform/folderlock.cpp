#include "folderlock.h"

#include "temporaryname.h"
#include "vellumoerror.h"

#include <QFile>
#include <QHash>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

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

// Why the lock file could not be opened or made, in the user's words.
QString openingProblem(int error, bool made)
{
    const QString name = u"“"_s + FolderLock::fileName() + u"”"_s;
    switch (error) {
    case ELOOP:
        return name + u"是一个链接"_s;
    case ENOENT:
        return u"文件夹不存在"_s;
    case EACCES:
    case EPERM:
        return (made ? u"不能建立"_s : u"不能打开"_s) + name + u"：没有写入权限"_s;
    case EROFS:
        return u"文件夹所在的文件系统是只读的"_s;
    default:
        return (made ? u"不能建立"_s : u"不能打开"_s) + name + u"："_s + QString::fromLocal8Bit(std::strerror(error));
    }
}

// The lock file's descriptor with the lock held; throws when another holder keeps it past the wait,
// and when no lock can be taken.
int takeLock(const QString &folder, std::chrono::milliseconds wait)
{
    const QByteArray path = QFile::encodeName(folder + FolderLock::fileName());
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        // Made by another account, or in a folder this one may not write: a lock needs no write access.
        const int madeError = errno;
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) {
            const int openError = errno;
            throw VellumoError(FolderLock::unlockableMessage(
                folder, openError == ENOENT ? openingProblem(madeError, true) : openingProblem(openError, false)));
        }
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw VellumoError(FolderLock::unlockableMessage(folder, u"“"_s + FolderLock::fileName() + u"”不是普通文件"_s));
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        const int error = errno;
        if (error != EWOULDBLOCK && error != EINTR) {
            ::close(fd);
            throw VellumoError(FolderLock::unlockableMessage(
                folder, u"文件系统不支持加锁（"_s + QString::fromLocal8Bit(std::strerror(error)) + u"）"_s));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            throw VellumoError(FolderLock::busyMessage(folder));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// Deeper than any category folder's sub-folders go; each level holds two descriptors.
constexpr int MaxDepth = 32;
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

QString FolderLock::unlockableMessage(const QString &folder, const QString &reason)
{
    return u"无法锁定文件夹"_s + folder + u"，没有写入任何文件："_s + reason;
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
    const int removed = TemporaryName::removeStale(top, lockTaken, MaxDepth, false);
    ::close(top);
    return removed;
}
