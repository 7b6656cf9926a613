#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class HeldFile;
class HeldFolder;

// What identifies one version of a file: a change, a replacement or a deletion changes it.
struct FileStamp
{
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileStamp &other) const;
    bool operator!=(const FileStamp &other) const { return !(*this == other); }
};

// One entry of a folder, as a listing finds it.
struct FolderEntry
{
    QString name;
    bool isFile = false; // a file, or a link to one
    bool isFolder = false; // a folder, or a link to one
    bool isLink = false;

    bool operator==(const FolderEntry &other) const
    {
        return name == other.name && isFile == other.isFile && isFolder == other.isFolder && isLink == other.isLink;
    }
};

// The file operations the system needs; tests replace it to refuse or fail chosen operations.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // True for an existing file; a folder is not a file.
    virtual bool fileExists(const QString &path) const = 0;
    virtual bool folderExists(const QString &path) const = 0;
    virtual FileStamp stamp(const QString &path) const = 0;
    // True for a file whose mode lets nobody write it that this process may write all the same (as root).
    virtual bool writableDespiteItsMode(const QString &path) const = 0;
    virtual std::optional<QByteArray> readAll(const QString &path) const = 0;
    // Reads a file a piece at a time, so that a large file never lies in memory whole; false when it
    // cannot be read.
    virtual bool readPieces(const QString &path, const std::function<void(QByteArrayView)> &piece) const = 0;
    // Writes through a hidden temporary file in the same folder that replaces the old file whole; the
    // new file gets the old one's mode, and its owner, group and extended attributes (ACLs) where
    // permitted. Readers see the old file or the new one, never a mix.
    virtual bool writeAtomically(const QString &path, const QByteArray &bytes) = 0;
    // A save that keeps what the file was: as writeAtomically where the new file can keep all of it,
    // otherwise (other hard links, an owner or group that cannot be given, a folder that takes no new
    // entry) the file is rewritten in place after a synced copy of it; a failure leaves the old bytes.
    // When they could not be put back, keptCopy names the copy that holds them.
    virtual bool writeKeeping(const QString &path, const QByteArray &bytes, QString *keptCopy) = 0;
    // Copies a file; an existing target is never overwritten (the copy then fails). The copy is seen
    // under its name only once it is whole.
    virtual bool copyWithoutOverwrite(const QString &from, const QString &to) = 0;
    // The same from a file and into a folder held open since they were checked; an entry of that name
    // in any letter case is never overwritten.
    virtual bool copyHeld(const HeldFile &from, const HeldFolder &folder, const QString &name) = 0;
    // Makes a new file of these bytes in a held folder, whole or not at all, never over an entry of that
    // name in any letter case.
    virtual bool createHeld(const HeldFolder &folder, const QString &name, const QByteArray &bytes) = 0;
    // Removes a file (no link, no folder) from a held folder.
    virtual bool removeHeld(const HeldFolder &folder, const QString &name) = 0;
    // After a copy that did not take place: true when neither an existing target nor a missing folder
    // explains it, so the disk or the permissions refused it and the user must be told.
    bool copyRefused(const QString &to) const;
    virtual bool remove(const QString &path) = 0;
    // Makes a folder and every missing folder on its way; true when the folder is there afterwards.
    virtual bool makeFolder(const QString &path) = 0;
    // The entries of a folder (hidden ones too, not "." and ".."), sorted by name; nothing when the
    // folder cannot be read.
    virtual std::optional<QList<FolderEntry>> list(const QString &folder) const = 0;
    // Removes this user's writers' temporaries from the folder (not below it) that no save can still be
    // writing: older than ten minutes. Returns how many.
    virtual int clearStaleTemporaries(const QString &folder) = 0;
    // The path whose last component names an existing entry regardless of letter case;
    // the path as asked when none matches.
    virtual QString resolveName(const QString &path) const = 0;
    // Nanoseconds on the clock that file times are taken from.
    virtual std::int64_t nowNs() const = 0;
};
