#include "processlock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::unique_ptr<ProcessLock> ProcessLock::take(const QString &path)
{
    QByteArray native = QFile::encodeName(path);
    const int descriptor = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0)
        return nullptr;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<ProcessLock>(new ProcessLock(descriptor, std::move(native)));
}

bool ProcessLock::isHeld(const QString &path)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0)
        return false;
    // A lock of our own on another descriptor conflicts too, so this also sees this process's locks.
    const bool held = ::flock(descriptor, LOCK_SH | LOCK_NB) != 0;
    ::close(descriptor);
    return held;
}

ProcessLock::ProcessLock(int descriptor, QByteArray path)
    : m_descriptor(descriptor)
    , m_path(std::move(path))
{
}

ProcessLock::~ProcessLock()
{
    ::unlink(m_path.constData());
    ::close(m_descriptor);
}
