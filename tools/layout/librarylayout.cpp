#include "librarylayout.h"

#include "library/mainindex.h"
#include "options/skinregistry.h"
#include "platform/ansi.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"

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

bool LibraryLayout::belongsToUser(const QString &relativePath)
{
    const QString name = relativePath.toUpper();
    return name == u"LINK2.INI"_s || name == u"MAIN.INI"_s || name == u"SINKNAME"_s
        || relativePath.startsWith(u"简单复制/"_s) || relativePath.startsWith(u"模板/"_s);
}

QByteArray LibraryLayout::toAnsiText(const QByteArray &utf8)
{
    QString text = QString::fromUtf8(utf8);
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\n', u"\r\n"_s);
    return Ansi::encode(text);
}

namespace {
const QString SkinsFolder = u"皮肤"_s;
const QString TemplatesFolder = u"模板"_s;
const QString MainPicture = u"主界面.jpg"_s;
const QString StatusPicture = u"状态栏.jpg"_s;
}

void LibraryLayout::registerShippedSkins(QStringList &problems)
{
    const QDir skins(m_source + u'/' + SkinsFolder);
    LocalFileSystem files;
    SkinRegistry registry(files, m_target + u'/');
    for (const QString &name : skins.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString folder = m_target + u'/' + SkinsFolder + u'/' + name + u'/';
        if (!skins.exists(name + u'/' + MainPicture) || !skins.exists(name + u'/' + StatusPicture))
            continue;
        try {
            registry.add({ name, folder + MainPicture, folder + StatusPicture });
        } catch (const VellumoError &error) {
            problems << error.message();
            return;
        }
    }
}

void LibraryLayout::registerShippedTemplates(QStringList &problems)
{
    const QDir templates(m_source + u'/' + TemplatesFolder);
    QStringList paths;
    for (const QString &name : templates.entryList({ u"*.htm"_s, u"*.html"_s }, QDir::Files, QDir::Name))
        paths << m_target + u'/' + TemplatesFolder + u'/' + name;
    if (paths.isEmpty())
        return;
    LocalFileSystem files;
    try {
        MainIndex(files, m_target + u'/').rewriteTemplates(paths);
    } catch (const VellumoError &error) {
        problems << error.message();
    }
}

QStringList LibraryLayout::run()
{
    QStringList problems;
    const bool hadSkinRegistry = QFileInfo::exists(m_target + u"/SINKNAME"_s);
    const bool hadMainIndex = QFileInfo::exists(m_target + u"/MAIN.INI"_s);
    QDirIterator it(m_source, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(m_source).relativeFilePath(path);
        // Placeholders that keep empty folders in the repository are not part of the library.
        if (QFileInfo(path).fileName().startsWith(u'.'))
            continue;
        const QString target = m_target + u'/' + relative;
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                problems << u"cannot create folder "_s + target;
            continue;
        }
        if (belongsToUser(relative) && QFileInfo::exists(target))
            continue;
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
    if (!hadSkinRegistry)
        registerShippedSkins(problems);
    if (!hadMainIndex && QFileInfo::exists(m_target + u"/MAIN.INI"_s))
        registerShippedTemplates(problems);
    return problems;
}
