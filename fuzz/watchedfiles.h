#pragma once

#include "fuzzcheck.h"

#include "platform/localfilesystem.h"

#include <QDir>

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
    bool copyWithoutOverwrite(const QString &from, const QString &to) override
    {
        check(to, "copy to");
        return m_files.copyWithoutOverwrite(from, to);
    }
    bool remove(const QString &path) override
    {
        check(path, "remove");
        return m_files.remove(path);
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

    LocalFileSystem m_files;
};
