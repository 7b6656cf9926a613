#pragma once

#include "fuzzcheck.h"

#include "platform/heldfolder.h"
#include "platform/localfilesystem.h"

#include <QDir>
#include <QFileInfo>

// The machine's file system, stopping the run at any write, copy or removal outside one folder.
class WatchedFiles : public FileSystem
{
public:
    explicit WatchedFiles(const QString &folder)
        : writable(folder)
    {
    }

    // Ends with the separator.
    const QString writable;

    bool fileExists(const QString &path) const override { return m_files.fileExists(path); }
    bool folderExists(const QString &path) const override { return m_files.folderExists(path); }
    FileStamp stamp(const QString &path) const override { return m_files.stamp(path); }
    bool writableDespiteItsMode(const QString &path) const override { return m_files.writableDespiteItsMode(path); }
    std::optional<QByteArray> readAll(const QString &path) const override { return m_files.readAll(path); }
    bool readPieces(const QString &path, const std::function<void(QByteArrayView)> &piece) const override
    {
        return m_files.readPieces(path, piece);
    }
    bool writeAtomically(const QString &path, const QByteArray &bytes) override
    {
        check(path, "write");
        return m_files.writeAtomically(path, bytes);
    }
    bool writeKeeping(const QString &path, const QByteArray &bytes, QString *keptCopy) override
    {
        check(path, "write");
        return m_files.writeKeeping(path, bytes, keptCopy);
    }
    bool copyWithoutOverwrite(const QString &from, const QString &to) override
    {
        check(to, "copy to");
        return m_files.copyWithoutOverwrite(from, to);
    }
    bool copyHeld(const HeldFile &from, const HeldFolder &folder, const QString &name) override
    {
        checkHeld(folder, name, "copy to");
        return m_files.copyHeld(from, folder, name);
    }
    bool createHeld(const HeldFolder &folder, const QString &name, const QByteArray &bytes) override
    {
        checkHeld(folder, name, "create");
        return m_files.createHeld(folder, name, bytes);
    }
    bool remove(const QString &path) override
    {
        check(path, "remove");
        return m_files.remove(path);
    }
    bool makeFolder(const QString &path) override
    {
        check(path, "make");
        return m_files.makeFolder(path);
    }
    std::optional<QList<FolderEntry>> list(const QString &folder) const override { return m_files.list(folder); }
    int clearStaleTemporaries(const QString &folder) override
    {
        check(folder, "clear");
        return m_files.clearStaleTemporaries(folder);
    }
    bool removeHeld(const HeldFolder &folder, const QString &name) override
    {
        checkHeld(folder, name, "remove");
        return m_files.removeHeld(folder, name);
    }
    QString resolveName(const QString &path) const override { return m_files.resolveName(path); }
    std::int64_t nowNs() const override { return m_files.nowNs(); }

private:
    void check(const QString &path, const char *what) const
    {
        // The folder itself may be named (a file without a name), which no copy can replace.
        const QString clean = QDir::cleanPath(path);
        FUZZ_CHECK(clean.startsWith(writable) || clean + u'/' == writable,
            QByteArray(what) + " outside " + FuzzCheck::shown(writable) + ": " + FuzzCheck::shown(path));
    }

    // A held folder is checked where it really is, whatever path it was reached by.
    void checkHeld(const HeldFolder &folder, const QString &name, const char *what) const
    {
        const QString real
            = QFileInfo(QStringLiteral("/proc/self/fd/") + QString::number(folder.descriptor())).symLinkTarget();
        FUZZ_CHECK(!name.contains(u'/'), QByteArray(what) + " a name with a separator: " + FuzzCheck::shown(name));
        check(real + u'/' + name, what);
    }

    LocalFileSystem m_files;
};
