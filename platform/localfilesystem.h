#pragma once

#include "filesystem.h"

// The machine's own file system.
class LocalFileSystem : public FileSystem
{
public:
    // Copies of pages whose own folder takes no new file go to backupFolder while the page is
    // rewritten; by default the user's data folder's "backups".
    explicit LocalFileSystem(const QString &backupFolder = QString());

    bool fileExists(const QString &path) const override;
    bool folderExists(const QString &path) const override;
    FileStamp stamp(const QString &path) const override;
    bool writableDespiteItsMode(const QString &path) const override;
    std::optional<QByteArray> readAll(const QString &path) const override;
    bool readPieces(const QString &path, const std::function<void(QByteArrayView)> &piece) const override;
    bool writeAtomically(const QString &path, const QByteArray &bytes) override;
    bool writeKeeping(const QString &path, const QByteArray &bytes, QString *keptCopy) override;
    bool copyWithoutOverwrite(const QString &from, const QString &to) override;
    bool copyHeld(const HeldFile &from, const HeldFolder &folder, const QString &name) override;
    bool createHeld(const HeldFolder &folder, const QString &name, const QByteArray &bytes) override;
    bool removeHeld(const HeldFolder &folder, const QString &name) override;
    bool remove(const QString &path) override;
    bool makeFolder(const QString &path) override;
    std::optional<QList<FolderEntry>> list(const QString &folder) const override;
    int clearStaleTemporaries(const QString &folder) override;
    QString resolveName(const QString &path) const override;
    std::int64_t nowNs() const override;

    QString backupFolder() const { return m_backupFolder; }

private:
    QString m_backupFolder;
};
