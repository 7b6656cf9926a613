#include "heldfolder.h"

#include <QFile>

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

HeldFolder HeldFolder::adopt(int descriptor, const QString &path)
{
    HeldFolder folder;
    folder.m_descriptor = std::shared_ptr<const int>(new int(descriptor), [](const int *fd) {
        ::close(*fd);
        delete fd;
    });
    folder.m_path = path;
    return folder;
}

HeldFolder HeldFolder::failed(int error, const QString &path)
{
    HeldFolder folder;
    folder.m_error = error;
    folder.m_path = path;
    return folder;
}

HeldFolder HeldFolder::open(const QString &path)
{
    const QString shown = path.endsWith(u'/') ? path : path + u'/';
    // A separator at the end would have the kernel follow a link of that name after all.
    QByteArray native = QFile::encodeName(path);
    while (native.size() > 1 && native.endsWith('/'))
        native.chop(1);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return fd < 0 ? failed(errno, shown) : adopt(fd, shown);
}

HeldFolder HeldFolder::below(const QString &relative) const
{
    HeldFolder folder = *this;
    for (const QString &part : relative.split(u'/')) {
        if (!folder.isOpen())
            break;
        if (part.isEmpty() || part == u"."_s)
            continue;
        const QString path = folder.m_path + part + u'/';
        if (part == u".."_s)
            return failed(EPERM, path);
        const int fd = ::openat(
            folder.descriptor(), QFile::encodeName(part).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        folder = fd < 0 ? failed(errno, path) : adopt(fd, path);
    }
    return folder;
}

QStringList HeldFolder::entriesNamed(const QString &name) const
{
    QStringList names;
    // A descriptor of its own, so that reading the entries moves no position another reader shares.
    const int fd = isOpen() ? ::openat(descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    DIR *dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return names;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QString entryName = QFile::decodeName(entry->d_name);
        if (entryName != u"."_s && entryName != u".."_s && entryName.compare(name, Qt::CaseInsensitive) == 0)
            names << entryName;
    }
    ::closedir(dir);
    return names;
}
