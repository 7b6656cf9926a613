#include "localfilesystem.h"

#include "heldfile.h"
#include "heldfolder.h"
#include "saveway.h"
#include "temporaryname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

bool FileSystem::copyRefused(const QString &to) const
{
    const QString existing = resolveName(to);
    if (fileExists(existing) || folderExists(existing))
        return false;
    const qsizetype slash = to.lastIndexOf(u'/');
    return slash > 0 && folderExists(to.left(slash));
}

bool FileStamp::operator==(const FileStamp &other) const
{
    return exists == other.exists && size == other.size && modifiedNs == other.modifiedNs
        && changedNs == other.changedNs && device == other.device && inode == other.inode;
}

namespace {
bool statPath(const QString &path, struct stat &st)
{
    if (path.isEmpty())
        return false;
    // The same index file is looked at thousands of times in a row; its name is encoded once.
    static thread_local QString lastPath;
    static thread_local QByteArray lastNative;
    if (path != lastPath) {
        lastPath = path;
        lastNative = QFile::encodeName(path);
    }
    return ::stat(lastNative.constData(), &st) == 0;
}
}

bool LocalFileSystem::fileExists(const QString &path) const
{
    struct stat st;
    return statPath(path, st) && S_ISREG(st.st_mode);
}

bool LocalFileSystem::folderExists(const QString &path) const
{
    struct stat st;
    return statPath(path, st) && S_ISDIR(st.st_mode);
}

FileStamp LocalFileSystem::stamp(const QString &path) const
{
    FileStamp s;
    struct stat st;
    if (!statPath(path, st) || !S_ISREG(st.st_mode))
        return s;
    s.exists = true;
    s.size = st.st_size;
    s.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changedNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    return s;
}

bool LocalFileSystem::writableDespiteItsMode(const QString &path) const
{
    struct stat st;
    return statPath(path, st) && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0
        && ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

std::optional<QByteArray> LocalFileSystem::readAll(const QString &path) const
{
    if (!fileExists(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool LocalFileSystem::readPieces(const QString &path, const std::function<void(QByteArrayView)> &piece) const
{
    if (!fileExists(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        piece(QByteArrayView(buffer.constData(), got));
    }
}

namespace {
// Every byte written, or false: a short write (a full disk) is retried until the disk refuses.
bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(qMin<qint64>(size, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

bool closeChecked(int fd)
{
    // A file system that reports a failed write only at close reports it here.
    return ::close(fd) == 0 || errno == EINTR;
}

// The permissions a new file gets from this process: read off the kernel, since asking umask()
// changes it for a moment for every thread.
mode_t newFileMode()
{
    static const mode_t mode = [] {
        mode_t mask = 022;
        if (FILE *status = std::fopen("/proc/self/status", "re")) {
            char line[256];
            unsigned value = 0;
            while (std::fgets(line, sizeof line, status))
                if (std::sscanf(line, "Umask: %o", &value) == 1) {
                    mask = mode_t(value);
                    break;
                }
            std::fclose(status);
        }
        return mode_t(0666 & ~mask);
    }();
    return mode;
}

// The renamed entry reaches the disk with its folder, so a power cut cannot bring the old file back.
QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : path.left(slash);
}

void syncFolderOf(const QByteArray &path)
{
    const int fd = ::open(folderOf(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Gives a finished temporary file its name, unless an entry of that name exists (a link included).
bool giveName(int folder, const QByteArray &temporary, const QByteArray &name)
{
    if (::renameat2(folder, temporary.constData(), folder, name.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    // A file system without that rename: the name as a second link to the file, then the temporary
    // name goes.
    if (::linkat(folder, temporary.constData(), folder, name.constData(), 0) == 0) {
        ::unlinkat(folder, temporary.constData(), 0);
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return false;
    // Nor hard links (FAT, some network file systems): an empty file takes the name first, so that
    // nothing that appears meanwhile is replaced; only a kill between the two steps leaves it empty.
    const int claim = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (claim < 0)
        return false;
    ::close(claim);
    if (::renameat(folder, temporary.constData(), folder, name.constData()) == 0)
        return true;
    ::unlinkat(folder, name.constData(), 0);
    return false;
}

// Makes the file name in the folder whole or not at all: fill writes it under a hidden temporary name,
// and it takes its own name only when it is complete and synced, so that a kill or a full disk never
// leaves part of it under that name.
bool createWhole(int folder, const QByteArray &name, const std::function<bool(int)> &fill)
{
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/'))
        return false;
    QByteArray temporary = TemporaryName::pattern(name);
    int out = -1;
    for (int attempt = 0; out < 0 && attempt < 100; ++attempt) {
        TemporaryName::fill(temporary);
        out = ::openat(folder, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (out < 0 && errno != EEXIST)
            return false;
    }
    if (out < 0)
        return false;
    // Ordinary permissions whatever the source had: no set-id or world-writable bits travel.
    bool written = ::fchmod(out, 0644) == 0 && fill(out) && ::fsync(out) == 0;
    written = closeChecked(out) && written;
    if (!written || !giveName(folder, temporary, name)) {
        ::unlinkat(folder, temporary.constData(), 0);
        return false;
    }
    ::fsync(folder);
    return true;
}

bool copyFrom(int in, int out)
{
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), size_t(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        if (!writeAll(out, buffer.constData(), n))
            return false;
    }
}
}

namespace {
// The file a path names: a link is written through, so the file it leads to is written and the link
// stays. Empty for a link that leads nowhere.
QByteArray fileNamedBy(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return QFile::encodeName(path);
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? QByteArray() : QFile::encodeName(target);
}

// The names of the extended attributes of a file or of an open file, or nullopt when they cannot be
// listed. A file system without them has none.
template <typename List> std::optional<QList<QByteArray>> attributeNames(List list)
{
    for (;;) {
        const ssize_t size = list(nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP ? std::optional<QList<QByteArray>>(QList<QByteArray>()) : std::nullopt;
        QByteArray buffer(size, Qt::Uninitialized);
        const ssize_t got = list(buffer.data(), size_t(buffer.size()));
        if (got < 0 && errno == ERANGE)
            continue;
        if (got < 0)
            return std::nullopt;
        QList<QByteArray> names;
        for (const QByteArray &name : buffer.left(got).split('\0'))
            if (!name.isEmpty())
                names.append(name);
        return names;
    }
}

template <typename Get> std::optional<QByteArray> attributeValue(Get get)
{
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray value(size, Qt::Uninitialized);
        const ssize_t got = get(value.data(), size_t(value.size()));
        if (got < 0 && errno == ERANGE)
            continue;
        if (got < 0)
            return std::nullopt;
        value.truncate(got);
        return value;
    }
}

// Gives the open file `to` the extended attributes of the file at `from`, the access ACL among them,
// and takes off those it got that `from` lacks (an ACL inherited from the folder); false when one
// could not be read, set or taken off.
bool copyAttributes(const QByteArray &from, int to)
{
    const char *source = from.constData();
    const auto wanted = attributeNames([source](char *list, size_t size) { return ::listxattr(source, list, size); });
    const auto present = attributeNames([to](char *list, size_t size) { return ::flistxattr(to, list, size); });
    if (!wanted || !present)
        return false;
    for (const QByteArray &name : *present)
        if (!wanted->contains(name) && ::fremovexattr(to, name.constData()) != 0)
            return false;
    for (const QByteArray &name : *wanted) {
        const char *n = name.constData();
        const auto value = attributeValue([source, n](char *v, size_t size) { return ::getxattr(source, n, v, size); });
        if (!value)
            return false;
        // What the new file already has (a security label given to every new file) is not set again.
        if (present->contains(name)
            && attributeValue([to, n](char *v, size_t size) { return ::fgetxattr(to, n, v, size); }) == value)
            continue;
        if (::fsetxattr(to, n, value->constData(), size_t(value->size()), 0) != 0)
            return false;
    }
    return true;
}

// Gives the open file the owner and group of old; with must, false when it cannot, otherwise as much
// as it can (the group alone for a member of it).
bool copyOwner(int fd, const struct stat &old, bool must)
{
    struct stat now;
    if (::fstat(fd, &now) != 0)
        return false;
    if (now.st_uid == old.st_uid && now.st_gid == old.st_gid)
        return true;
    if (::fchown(fd, old.st_uid, old.st_gid) == 0)
        return true;
    if (must)
        return false;
    // Where the owner cannot be given, a member of the group still keeps the group.
    if (now.st_gid != old.st_gid)
        ::fchown(fd, uid_t(-1), old.st_gid);
    return true;
}

bool memberOf(gid_t group)
{
    if (::getegid() == group)
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    QList<gid_t> groups(count);
    const int got = ::getgroups(count, groups.data());
    return got > 0 && groups.mid(0, got).contains(group);
}

FileFacts factsOf(const QByteArray &native, const struct stat &st)
{
    FileFacts facts;
    facts.links = st.st_nlink;
    facts.owner = st.st_uid;
    facts.group = st.st_gid;
    facts.user = ::geteuid();
    facts.mayChown = facts.user == 0;
    facts.inGroup = memberOf(st.st_gid);
    facts.folderWritable = ::faccessat(AT_FDCWD, folderOf(native).constData(), W_OK | X_OK, AT_EACCESS) == 0;
    return facts;
}

enum class Replaced { Done, Failed, CannotKeep };

// Writes the bytes to a hidden temporary beside the file and renames it over the file. With keepAll,
// a temporary that cannot be given the old file's owner, group and attributes is dropped before a
// byte is written (CannotKeep); otherwise it keeps what it can.
Replaced replaceWith(const QByteArray &native, const struct stat *old, const QByteArray &bytes, bool keepAll)
{
    const qsizetype slash = native.lastIndexOf('/');
    QByteArray temporary = native.left(slash + 1) + TemporaryName::pattern(native.mid(slash + 1));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return keepAll && (errno == EACCES || errno == EPERM) ? Replaced::CannotKeep : Replaced::Failed;
    const auto drop = [&](Replaced why) {
        ::close(fd);
        ::unlink(temporary.constData());
        return why;
    };
    // The owner first: a change of owner clears the set-id bits that the mode then gives back.
    if (old && !copyOwner(fd, *old, keepAll))
        return drop(Replaced::CannotKeep);
    if (::fchmod(fd, old ? old->st_mode & 07777 : newFileMode()) != 0)
        return drop(Replaced::Failed);
    if (old && !copyAttributes(native, fd) && keepAll)
        return drop(Replaced::CannotKeep);
    // Every step is checked: a full disk or a failing device leaves the old file byte for byte.
    bool written = writeAll(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
    written = closeChecked(fd) && written;
    if (!written || ::rename(temporary.constData(), native.constData()) != 0) {
        ::unlink(temporary.constData());
        return Replaced::Failed;
    }
    syncFolderOf(native);
    return Replaced::Done;
}

bool preadAll(int fd, char *data, qint64 size, qint64 at)
{
    while (size > 0) {
        const ssize_t n = ::pread(fd, data, size_t(qMin<qint64>(size, 1 << 20)), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        at += n;
        size -= n;
    }
    return true;
}

bool pwriteAll(int fd, const char *data, qint64 size, qint64 at)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(qMin<qint64>(size, 1 << 30)), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        at += n;
        size -= n;
    }
    return true;
}

// Copies size bytes from the start of one open file to the start of another.
bool copyBytes(int from, int to, qint64 size)
{
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qint64 at = 0; at < size;) {
        const qint64 piece = qMin<qint64>(size - at, buffer.size());
        if (!preadAll(from, buffer.data(), piece, at) || !pwriteAll(to, buffer.constData(), piece, at))
            return false;
        at += piece;
    }
    return true;
}

// A synced copy of the old bytes under a writer's hidden name, in the page's folder or else in the
// backup folder; it keeps the old text should the rewrite in place be killed.
struct OldCopy
{
    int fd = -1;
    int folder = -1;
    QByteArray name;
    QByteArray folderPath;
    // The folder takes no new file from this process.
    bool refused = false;

    bool makeIn(const QByteArray &at, const QByteArray &pageName, int page, qint64 size)
    {
        folder = ::open(at.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0)
            return false;
        folderPath = at;
        name = TemporaryName::pattern(pageName);
        for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
            TemporaryName::fill(name);
            fd = ::openat(folder, name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd < 0 && errno != EEXIST) {
                refused = errno == EACCES || errno == EPERM || errno == EROFS;
                break;
            }
        }
        if (fd < 0)
            return false;
        if (copyBytes(page, fd, size) && ::fsync(fd) == 0 && ::fsync(folder) == 0)
            return true;
        remove();
        return false;
    }

    QString path() const { return QFile::decodeName(folderPath + '/' + name); }

    void remove()
    {
        ::unlinkat(folder, name.constData(), 0);
        close();
    }

    void close()
    {
        if (fd >= 0)
            ::close(fd);
        if (folder >= 0)
            ::close(folder);
        fd = folder = -1;
    }
};

// Rewrites the file through its own descriptor, so that it stays the same file (inode, links, owner,
// attributes), after a synced copy of its old bytes. The space is reserved before a byte changes, so a
// full disk leaves the file as it was; a write that fails all the same puts the old bytes back from
// the copy, and the copy stays (named in keptCopy) when even that fails.
bool rewriteInPlace(const QByteArray &native, const struct stat &old, const QByteArray &bytes, const QString &backups,
    QString *keptCopy)
{
    const int fd = ::open(native.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != old.st_dev || st.st_ino != old.st_ino) {
        ::close(fd);
        return false;
    }
    const qsizetype slash = native.lastIndexOf('/');
    const QByteArray pageName = native.mid(slash + 1);
    OldCopy copy;
    bool copied = copy.makeIn(folderOf(native), pageName, fd, st.st_size);
    if (!copied && copy.refused && QDir().mkpath(backups)) {
        copy.close();
        copy = OldCopy();
        copied = copy.makeIn(QFile::encodeName(QDir::cleanPath(backups)), pageName, fd, st.st_size);
    }
    if (!copied) {
        copy.close();
        ::close(fd);
        return false;
    }
    // A file system that cannot reserve space is written all the same; the copy stands behind it.
    if (!bytes.isEmpty() && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0 && errno != EOPNOTSUPP
        && errno != ENOSYS) {
        copy.remove();
        ::close(fd);
        return false;
    }
    const bool written
        = pwriteAll(fd, bytes.constData(), bytes.size(), 0) && ::ftruncate(fd, bytes.size()) == 0 && ::fsync(fd) == 0;
    const bool restored
        = !written && copyBytes(copy.fd, fd, st.st_size) && ::ftruncate(fd, st.st_size) == 0 && ::fsync(fd) == 0;
    if (closeChecked(fd) && (written || restored)) {
        copy.remove();
        return written;
    }
    // The old bytes are in the copy alone: it stays.
    if (keptCopy)
        *keptCopy = copy.path();
    copy.close();
    return false;
}
}

LocalFileSystem::LocalFileSystem(const QString &backupFolder)
    : m_backupFolder(backupFolder)
{
}

bool LocalFileSystem::writeAtomically(const QString &path, const QByteArray &bytes)
{
    const QByteArray native = fileNamedBy(path);
    if (native.isEmpty())
        return false;
    struct stat st;
    const bool existed = ::stat(native.constData(), &st) == 0;
    if (existed && (!S_ISREG(st.st_mode) || ::access(native.constData(), W_OK) != 0))
        return false;
    return replaceWith(native, existed ? &st : nullptr, bytes, false) == Replaced::Done;
}

bool LocalFileSystem::writeKeeping(const QString &path, const QByteArray &bytes, QString *keptCopy)
{
    const QByteArray native = fileNamedBy(path);
    if (native.isEmpty())
        return false;
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return replaceWith(native, nullptr, bytes, false) == Replaced::Done;
    if (!S_ISREG(st.st_mode) || ::access(native.constData(), W_OK) != 0)
        return false;
    if (chooseSaveWay(factsOf(native, st)) == SaveWay::Replace) {
        const Replaced replaced = replaceWith(native, &st, bytes, true);
        if (replaced != Replaced::CannotKeep)
            return replaced == Replaced::Done;
    }
    const QString backups = m_backupFolder.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/backups")
        : m_backupFolder;
    return rewriteInPlace(native, st, bytes, backups, keptCopy);
}

bool LocalFileSystem::copyWithoutOverwrite(const QString &from, const QString &to)
{
    // A target in any letter case, or a link of that name (even one leading nowhere), exists.
    struct stat st;
    if (::lstat(QFile::encodeName(resolveName(to)).constData(), &st) == 0)
        return false;
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)
        return false;
    const QByteArray target = QFile::encodeName(to);
    bool copied = false;
    if (::fstat(in, &st) == 0 && S_ISREG(st.st_mode)) {
        const int folder = ::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            const QByteArray name = target.mid(target.lastIndexOf('/') + 1);
            copied = createWhole(folder, name, [in](int out) { return copyFrom(in, out); });
            ::close(folder);
        }
    }
    ::close(in);
    return copied;
}

bool LocalFileSystem::copyHeld(const HeldFile &from, const HeldFolder &folder, const QString &name)
{
    if (!from.isOpen() || !folder.isOpen() || !folder.entriesNamed(name).isEmpty())
        return false;
    return createWhole(folder.descriptor(), QFile::encodeName(name), [&from](int out) {
        return from.readPieces([out](QByteArrayView piece) { return writeAll(out, piece.data(), piece.size()); });
    });
}

bool LocalFileSystem::createHeld(const HeldFolder &folder, const QString &name, const QByteArray &bytes)
{
    if (!folder.isOpen() || !folder.entriesNamed(name).isEmpty())
        return false;
    return createWhole(folder.descriptor(), QFile::encodeName(name),
        [&bytes](int out) { return writeAll(out, bytes.constData(), bytes.size()); });
}

bool LocalFileSystem::removeHeld(const HeldFolder &folder, const QString &name)
{
    const QByteArray native = QFile::encodeName(name);
    struct stat st;
    return folder.isOpen() && !native.contains('/')
        && ::fstatat(folder.descriptor(), native.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)
        && ::unlinkat(folder.descriptor(), native.constData(), 0) == 0;
}

int LocalFileSystem::clearStaleTemporaries(const QString &folder)
{
    // A page's save takes seconds at the most; one this old was killed.
    constexpr time_t StaleAfterSeconds = 10 * 60;
    if (folder.isEmpty())
        return 0;
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    timespec before;
    ::clock_gettime(CLOCK_REALTIME, &before);
    before.tv_sec -= StaleAfterSeconds;
    const int removed = TemporaryName::removeStale(fd, before, 0, true);
    ::close(fd);
    return removed;
}

bool LocalFileSystem::remove(const QString &path)
{
    return fileExists(path) && QFile::remove(path);
}

bool LocalFileSystem::makeFolder(const QString &path)
{
    return QDir().mkpath(path);
}

std::optional<QList<FolderEntry>> LocalFileSystem::list(const QString &folder) const
{
    // Read with the system's own calls: a folder that cannot be read must not pass for an empty one.
    const QByteArray native = QFile::encodeName(folder);
    DIR *dir = ::opendir(native.constData());
    if (!dir)
        return std::nullopt;
    QList<FolderEntry> entries;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        FolderEntry found;
        found.name = QFile::decodeName(name);
        // The kind the folder itself records spares a look at each entry of a large category folder;
        // a link, or a file system that records none, is looked at.
        found.isLink = entry->d_type == DT_LNK;
        found.isFile = entry->d_type == DT_REG;
        found.isFolder = entry->d_type == DT_DIR;
        struct stat st;
        if (entry->d_type == DT_UNKNOWN && ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            found.isLink = S_ISLNK(st.st_mode);
        if ((entry->d_type == DT_UNKNOWN || found.isLink) && ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0) {
            found.isFile = S_ISREG(st.st_mode);
            found.isFolder = S_ISDIR(st.st_mode);
        }
        entries << found;
        errno = 0;
    }
    const bool whole = errno == 0;
    ::closedir(dir);
    if (!whole)
        return std::nullopt;
    std::sort(
        entries.begin(), entries.end(), [](const FolderEntry &a, const FolderEntry &b) { return a.name < b.name; });
    return entries;
}

QString LocalFileSystem::resolveName(const QString &path) const
{
    if (QFileInfo::exists(path))
        return path;
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    if (name.isEmpty())
        return path;
    QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + entry;
    return path;
}

std::int64_t LocalFileSystem::nowNs() const
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}
