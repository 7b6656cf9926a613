#include "localfilesystem.h"

#include "filechanges.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <time.h>

bool FileSystem::copyRefused(const QString &to) const
{
    if (fileExists(to) || folderExists(to))
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

bool LocalFileSystem::writeAtomically(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || !info.isWritable()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool LocalFileSystem::copyWithoutOverwrite(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to) || !fileExists(from))
        return false;
    return QFile::copy(from, to);
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

std::optional<quint64> LocalFileSystem::changeCount(const QString &path) const
{
    return FileChanges::instance().changeCount(path);
}
