#pragma once

#include "platform/localfilesystem.h"

#include <QStringList>

// The machine's file system with refusals chosen by a test: a read-only folder, or the n-th
// write, copy or removal failing.
class ScriptedFileSystem : public LocalFileSystem
{
public:
    using LocalFileSystem::LocalFileSystem;

    // Writes, copies and removals inside this folder are refused, as in a read-only folder.
    void refuseWritesUnder(const QString &folder) { m_readOnlyFolders.append(folder); }
    // The n-th write, copy, removal or folder made from now (1 for the next) fails; 0 for none.
    void failOperation(int n) { m_failAt = n; }
    // Listings of this folder fail, as for a folder that cannot be read.
    void failListing(const QString &folder) { m_unlistable.append(folder); }

    enum class ReadFault { None, Fails, CutShort, OutOfMemory };
    // The n-th reading of a file in pieces from now (1 for the next) hands over its first bytes, then
    // fails, finds the file cut short there (it is cut on the disk), or runs out of memory.
    void faultReading(int n, ReadFault fault, qint64 bytes)
    {
        m_readFaultAt = n;
        m_readFault = fault;
        m_readFaultBytes = bytes;
    }
    bool readPieces(const QString &path, const std::function<void(QByteArrayView)> &piece) const override;

    // A file clock that stands still: every file's times, and the time now, are these, as when a file
    // is read or written again within one tick of a coarse file clock.
    void stopClock(std::int64_t fileTimesNs, std::int64_t nowNs)
    {
        m_stoppedFileTimesNs = fileTimesNs;
        m_stoppedNowNs = nowNs;
    }
    FileStamp stamp(const QString &path) const override;
    std::int64_t nowNs() const override;

    bool writeAtomically(const QString &path, const QByteArray &bytes) override;
    bool writeKeeping(const QString &path, const QByteArray &bytes, QString *keptCopy) override;
    bool copyWithoutOverwrite(const QString &from, const QString &to) override;
    bool copyHeld(const HeldFile &from, const HeldFolder &folder, const QString &name) override;
    bool createHeld(const HeldFolder &folder, const QString &name, const QByteArray &bytes) override;
    bool remove(const QString &path) override;
    bool removeHeld(const HeldFolder &folder, const QString &name) override;
    bool makeFolder(const QString &path) override;
    std::optional<QList<FolderEntry>> list(const QString &folder) const override;

    int operations = 0;
    // Readings of a file in pieces so far.
    mutable int readings = 0;
    // The target of the operation that failOperation() made fail; empty while none has.
    QString failedPath;

private:
    bool refused(const QString &path);

    QStringList m_readOnlyFolders;
    QStringList m_unlistable;
    int m_failAt = 0;
    mutable int m_readFaultAt = 0;
    ReadFault m_readFault = ReadFault::None;
    qint64 m_readFaultBytes = 0;
    std::optional<std::int64_t> m_stoppedFileTimesNs;
    std::optional<std::int64_t> m_stoppedNowNs;
};
