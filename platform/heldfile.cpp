#include "heldfile.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

HeldFile HeldFile::open(const HeldFolder &folder, const QString &relative)
{
    HeldFile file;
    file.m_path = folder.path() + relative;
    const qsizetype slash = relative.lastIndexOf(u'/');
    const HeldFolder parent = slash < 0 ? folder : folder.below(relative.left(slash));
    const QString leaf = relative.mid(slash + 1);
    if (!parent.isOpen()) {
        file.m_error = parent.error();
        return file;
    }
    if (leaf.isEmpty() || leaf == u"."_s || leaf == u".."_s) {
        file.m_error = EINVAL;
        return file;
    }
    // Without blocking: a named pipe put there would otherwise wait for a writer.
    const int fd = ::openat(
        parent.descriptor(), QFile::encodeName(leaf).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        file.m_error = fd < 0 ? errno : EINVAL;
        if (fd >= 0)
            ::close(fd);
        return file;
    }
    file.m_descriptor = std::shared_ptr<const int>(new int(fd), [](const int *descriptor) {
        ::close(*descriptor);
        delete descriptor;
    });
    file.m_device = st.st_dev;
    file.m_inode = st.st_ino;
    return file;
}

bool HeldFile::readPieces(const std::function<bool(QByteArrayView)> &piece) const
{
    if (!isOpen())
        return false;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    // Read by position: whoever else holds the descriptor moves no offset this reading depends on.
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(descriptor(), buffer.data(), size_t(buffer.size()), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!piece(QByteArrayView(buffer.constData(), n)))
            return false;
        at += n;
    }
}

std::optional<QByteArray> HeldFile::readAll() const
{
    QByteArray bytes;
    if (!readPieces([&bytes](QByteArrayView piece) {
            bytes.append(piece);
            return true;
        }))
        return std::nullopt;
    return bytes;
}
