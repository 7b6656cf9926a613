#pragma once

#include "inidocument.h"
#include "platform/explained.h"
#include "platform/filesystem.h"

#include <QHash>
#include <QString>

#include <memory>

// Parsed INI files, each checked against its file at every access: a file changed, replaced or
// deleted by anyone is parsed again, so a cached answer is never older than the file. The check is
// the file's modification time and size, which every file system keeps, network ones included.
class IniCache
{
public:
    static IniCache &instance();

    // The file's document; none when there is no file, which reads as emptyDocument().
    Explained<std::shared_ptr<const IniDocument>> document(const FileSystem &files, const QString &path);
    static const std::shared_ptr<const IniDocument> &emptyDocument();
    // Takes the content just written by the system itself.
    void store(const FileSystem &files, const QString &path, std::shared_ptr<const IniDocument> document,
        const QByteArray &bytes);
    void clear();

    // A file modified this recently may change again without its stamp changing (coarse file clocks);
    // its bytes are compared at each access until it is older.
    static constexpr std::int64_t RacyWindowNs = 50'000'000;
    static constexpr int MaxFiles = 64;

private:
    struct Entry
    {
        FileStamp stamp;
        bool racy = false;
        QByteArray bytes; // kept only while racy
        std::shared_ptr<const IniDocument> document;
        quint64 lastUse = 0;
    };
    void remember(const FileSystem &files, const QString &path, const FileStamp &stamp, const QByteArray &bytes,
        std::shared_ptr<const IniDocument> document);

    QHash<QString, Entry> m_entries;
    quint64 m_uses = 0;
};
