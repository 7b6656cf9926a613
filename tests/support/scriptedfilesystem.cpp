#include "scriptedfilesystem.h"

#include "platform/heldfolder.h"

#include <QFile>

#include <new>

#include <unistd.h>

bool ScriptedFileSystem::refused(const QString &path)
{
    ++operations;
    if (m_failAt > 0 && --m_failAt == 0) {
        failedPath = path;
        return true;
    }
    for (const QString &folder : m_readOnlyFolders)
        if (path.startsWith(folder))
            return true;
    return false;
}

bool ScriptedFileSystem::writeAtomically(const QString &path, const QByteArray &bytes)
{
    return !refused(path) && LocalFileSystem::writeAtomically(path, bytes);
}

bool ScriptedFileSystem::writeKeeping(const QString &path, const QByteArray &bytes, QString *keptCopy)
{
    return !refused(path) && LocalFileSystem::writeKeeping(path, bytes, keptCopy);
}

bool ScriptedFileSystem::copyWithoutOverwrite(const QString &from, const QString &to)
{
    return !refused(to) && LocalFileSystem::copyWithoutOverwrite(from, to);
}

bool ScriptedFileSystem::remove(const QString &path)
{
    return !refused(path) && LocalFileSystem::remove(path);
}

bool ScriptedFileSystem::copyHeld(const HeldFile &from, const HeldFolder &folder, const QString &name)
{
    return !refused(folder.path() + name) && LocalFileSystem::copyHeld(from, folder, name);
}

bool ScriptedFileSystem::createHeld(const HeldFolder &folder, const QString &name, const QByteArray &bytes)
{
    return !refused(folder.path() + name) && LocalFileSystem::createHeld(folder, name, bytes);
}

bool ScriptedFileSystem::removeHeld(const HeldFolder &folder, const QString &name)
{
    return !refused(folder.path() + name) && LocalFileSystem::removeHeld(folder, name);
}

bool ScriptedFileSystem::makeFolder(const QString &path)
{
    // A folder already there is not made again, so nothing can refuse it.
    if (folderExists(path))
        return true;
    return !refused(path) && LocalFileSystem::makeFolder(path);
}

std::optional<QList<FolderEntry>> ScriptedFileSystem::list(const QString &folder) const
{
    const QString withSeparator = folder.endsWith(u'/') ? folder : folder + u'/';
    for (const QString &unlistable : m_unlistable)
        if (withSeparator == (unlistable.endsWith(u'/') ? unlistable : unlistable + u'/'))
            return std::nullopt;
    return LocalFileSystem::list(folder);
}

bool ScriptedFileSystem::readPieces(const QString &path, const std::function<void(QByteArrayView)> &piece) const
{
    ++readings;
    if (m_readFaultAt <= 0 || --m_readFaultAt > 0)
        return LocalFileSystem::readPieces(path, piece);
    QFile file(path);
    if (!fileExists(path) || !file.open(QIODevice::ReadOnly))
        return false;
    // Small pieces, so that what comes before the fault is handed over as a reading does.
    for (qint64 left = m_readFaultBytes; left > 0;) {
        const QByteArray bytes = file.read(qMin<qint64>(left, 4096));
        if (bytes.isEmpty())
            break;
        piece(bytes);
        left -= bytes.size();
    }
    switch (m_readFault) {
    case ReadFault::None:
        break;
    case ReadFault::Fails:
        return false;
    case ReadFault::OutOfMemory:
        throw std::bad_alloc();
    case ReadFault::CutShort:
        if (::truncate(QFile::encodeName(path).constData(), m_readFaultBytes) != 0)
            return false;
        break;
    }
    // The rest, as far as the file now goes.
    for (;;) {
        const QByteArray bytes = file.read(1 << 16);
        if (bytes.isEmpty())
            return file.error() == QFileDevice::NoError;
        piece(bytes);
    }
}

FileStamp ScriptedFileSystem::stamp(const QString &path) const
{
    FileStamp s = LocalFileSystem::stamp(path);
    if (s.exists && m_stoppedFileTimesNs)
        s.modifiedNs = s.changedNs = *m_stoppedFileTimesNs;
    return s;
}

std::int64_t ScriptedFileSystem::nowNs() const
{
    return m_stoppedNowNs ? *m_stoppedNowNs : LocalFileSystem::nowNs();
}
