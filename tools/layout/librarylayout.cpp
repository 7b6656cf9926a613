#include "librarylayout.h"

#include "library/librarynames.h"
#include "library/libraryupgrade.h"
#include "platform/ansi.h"
#include "platform/localfilesystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

LibraryLayout::LibraryLayout(const QString &sourceFolder, const QString &applicationFolder)
    : m_source(QDir(sourceFolder).absolutePath())
    , m_target(QDir(applicationFolder).absolutePath())
{
}

bool LibraryLayout::isTextFile(const QString &relativePath)
{
    const QFileInfo info(relativePath);
    const QString suffix = info.suffix().toLower();
    return suffix.isEmpty() || suffix == u"ini"_s || suffix == u"txt"_s || suffix == u"htm"_s || suffix == u"html"_s;
}

QByteArray LibraryLayout::toAnsiText(const QByteArray &utf8)
{
    QString text = QString::fromUtf8(utf8);
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\n', u"\r\n"_s);
    return Ansi::encode(text);
}

QStringList LibraryLayout::run()
{
    QStringList problems;
    QStringList hidden;
    QDirIterator it(
        m_source, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(m_source).relativeFilePath(path);
        // Placeholders that keep empty folders in the repository are not part of the library; any
        // other hidden name would be in no manifest, so it is said.
        if (const QString part = LibraryNames::hiddenPart(relative); !part.isEmpty()) {
            const bool placeholder = part == relative && it.fileInfo().isFile() && it.fileName() == u".keep"_s;
            if (!placeholder && !hidden.contains(part))
                hidden << part;
            continue;
        }
        const QString target = m_target + u'/' + relative;
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                problems << u"cannot create folder "_s + target;
            continue;
        }
        QFile source(path);
        if (!source.open(QIODevice::ReadOnly)) {
            problems << u"cannot read "_s + path;
            continue;
        }
        const QByteArray bytes = isTextFile(relative) ? toAnsiText(source.readAll()) : source.readAll();
        QFile existing(target);
        if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
            continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
            problems << u"cannot write "_s + target;
            continue;
        }
        ++written;
    }
    hidden.sort();
    for (const QString &part : hidden)
        problems << u"name starts with \".\", not laid out: "_s + m_source + u'/' + part;
    // What the library holds now, for bringing users' folders up to date from it.
    const QString manifest = m_target + u'/' + LibraryUpgrade::manifestName();
    QStringList unlisted;
    const Explained<QByteArray> made = LibraryUpgrade::manifestOf(LocalFileSystem(), m_target, unlisted);
    for (const QString &part : unlisted)
        problems << u"name starts with \".\", not in the manifest: "_s + m_target + u'/' + part;
    if (!made)
        return problems << made.why();
    const QByteArray &listed = *made;
    QFile existing(manifest);
    if (!(existing.open(QIODevice::ReadOnly) && existing.readAll() == listed)) {
        QSaveFile out(manifest);
        if (!out.open(QIODevice::WriteOnly) || out.write(listed) != listed.size() || !out.commit())
            problems << u"cannot write "_s + manifest;
    }
    return problems;
}
