#include "diskversion.h"

QByteArray DiskVersion::digest(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, Algorithm);
}

void DiskVersion::remember(const FileStamp &stamp, const QByteArray &digest, std::int64_t takenNs)
{
    m_stamp = stamp;
    m_digest = digest;
    m_takenNs = takenNs;
}

void DiskVersion::adopt(const FileSystem &files, const QString &path)
{
    const std::int64_t takenNs = files.nowNs();
    const FileStamp stamp = files.stamp(path);
    remember(stamp, stamp.exists ? digestOf(files, path) : QByteArray(), takenNs);
}

void DiskVersion::forget()
{
    remember(FileStamp(), QByteArray(), 0);
}

bool DiskVersion::racy() const
{
    return m_takenNs - qMax(m_stamp.modifiedNs, m_stamp.changedNs) < RacyWindowNs;
}

QByteArray DiskVersion::digestOf(const FileSystem &files, const QString &path)
{
    QCryptographicHash hash(Algorithm);
    if (!files.readPieces(path, [&hash](QByteArrayView piece) { hash.addData(piece); }))
        return QByteArray();
    return hash.result();
}

DiskVersion::Change DiskVersion::compare(const FileSystem &files, const QString &path)
{
    const std::int64_t takenNs = files.nowNs();
    const FileStamp stamp = files.stamp(path);
    if (!stamp.exists)
        return m_stamp.exists ? Change::Gone : Change::None;
    if (!m_stamp.exists)
        return Change::Changed;
    if (stamp == m_stamp && !racy())
        return Change::None;
    if (stamp.size != m_stamp.size)
        return Change::Changed;
    const QByteArray digest = digestOf(files, path);
    // Unreadable, or changing while it was read: not the version the text came from.
    if (digest.isEmpty() || digest != m_digest || files.stamp(path) != stamp)
        return Change::Changed;
    remember(stamp, digest, takenNs);
    return Change::None;
}
