#pragma once

#include "platform/filesystem.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <cstdint>

// The version of a page's file the editor's text came from or was last written as, and whether the
// file on disk is still that version: its stamp first, its bytes when the stamp cannot tell.
class DiskVersion
{
public:
    enum class Change { None, Changed, Gone };

    // Cheap, and only has to tell versions of one file apart.
    static constexpr QCryptographicHash::Algorithm Algorithm = QCryptographicHash::Sha1;
    // File systems keep times as coarse as two seconds: a file written this close to when it was read
    // may have changed again under the same stamp, so only its bytes can tell.
    static constexpr std::int64_t RacyWindowNs = 2'000'000'000;

    static QByteArray digest(QByteArrayView bytes);

    // The file as read or written: its stamp, the digest of its bytes, and the file clock's time taken
    // before it was read or written.
    void remember(const FileStamp &stamp, const QByteArray &digest, std::int64_t takenNs);
    // The file as it is now becomes the version the text is measured against (or its absence, for a file
    // that is gone), so that the same outside change is not reported twice.
    void adopt(const FileSystem &files, const QString &path);
    void forget();

    // Compares the file with the remembered version. A file whose bytes are the same (a touch, an
    // identical copy put in its place) is no change; its new stamp is remembered.
    Change compare(const FileSystem &files, const QString &path);

private:
    bool racy() const;
    // The digest of the file's bytes; empty when it cannot be read.
    static QByteArray digestOf(const FileSystem &files, const QString &path);

    FileStamp m_stamp;
    QByteArray m_digest;
    std::int64_t m_takenNs = 0;
};
