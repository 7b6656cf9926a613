#include "scriptedfilesystem.h"

#include "platform/heldfolder.h"

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
