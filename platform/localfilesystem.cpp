#include "localfilesystem.h"

#include "heldfile.h"
#include "heldfolder.h"
#include "temporaryname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
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

bool LocalFileSystem::writeAtomically(const QString &path, const QByteArray &bytes)
{
    // A link is written through: the file it names is replaced and the link stays.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink()) {
        target = info.canonicalFilePath();
        if (target.isEmpty())
            return false;
    }
    const QByteArray native = QFile::encodeName(target);
    struct stat st;
    const bool existed = ::stat(native.constData(), &st) == 0;
    if (existed && (!S_ISREG(st.st_mode) || ::access(native.constData(), W_OK) != 0))
        return false;
    const qsizetype slash = native.lastIndexOf('/');
    QByteArray temporary = native.left(slash + 1) + TemporaryName::pattern(native.mid(slash + 1));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // Every step is checked: a full disk or a failing device leaves the old file byte for byte.
    bool written = ::fchmod(fd, existed ? st.st_mode & 07777 : newFileMode()) == 0
        && writeAll(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
    written = closeChecked(fd) && written;
    if (!written || ::rename(temporary.constData(), native.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    syncFolderOf(native);
    return true;
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
