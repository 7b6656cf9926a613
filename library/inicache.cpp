#include "inicache.h"

IniCache &IniCache::instance()
{
    static IniCache cache;
    return cache;
}

void IniCache::clear()
{
    m_entries.clear();
}

const std::shared_ptr<const IniDocument> &IniCache::emptyDocument()
{
    static const auto empty = std::make_shared<const IniDocument>();
    return empty;
}

Explained<std::shared_ptr<const IniDocument>> IniCache::document(const FileSystem &files, const QString &path)
{
    auto it = m_entries.find(path);
    const FileStamp stamp = files.stamp(path);
    if (!stamp.exists) {
        if (it != m_entries.end())
            m_entries.erase(it);
        return Explained<std::shared_ptr<const IniDocument>>::none();
    }
    if (it != m_entries.end() && it->stamp == stamp) {
        it->lastUse = ++m_uses;
        if (!it->racy)
            return it->document;
        // Same stamp, but the file was fresh: only its bytes can tell.
        const std::optional<QByteArray> bytes = files.readAll(path);
        if (bytes && *bytes == it->bytes) {
            auto document = it->document;
            remember(files, path, stamp, *bytes, document);
            return document;
        }
    }
    const std::optional<QByteArray> bytes = files.readAll(path);
    if (!bytes)
        return std::shared_ptr<const IniDocument>(std::make_shared<const IniDocument>());
    auto document = std::make_shared<const IniDocument>(*bytes);
    // A file changed while it was read is not remembered; the next access reads it again.
    if (files.stamp(path) == stamp)
        remember(files, path, stamp, *bytes, document);
    return document;
}

void IniCache::store(
    const FileSystem &files, const QString &path, std::shared_ptr<const IniDocument> document, const QByteArray &bytes)
{
    const FileStamp stamp = files.stamp(path);
    if (stamp.exists && stamp.size == bytes.size())
        remember(files, path, stamp, bytes, std::move(document));
    else
        m_entries.remove(path);
}

void IniCache::remember(const FileSystem &files, const QString &path, const FileStamp &stamp, const QByteArray &bytes,
    std::shared_ptr<const IniDocument> document)
{
    if (!m_entries.contains(path) && m_entries.size() >= MaxFiles) {
        auto oldest = m_entries.begin();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        m_entries.erase(oldest);
    }
    Entry &entry = m_entries[path];
    entry.stamp = stamp;
    entry.racy = files.nowNs() - stamp.modifiedNs < RacyWindowNs;
    entry.bytes = entry.racy ? bytes : QByteArray();
    entry.document = std::move(document);
    entry.lastUse = ++m_uses;
}
