#include "libraryupgrade.h"

#include "library/categoryindex.h"
#include "library/countedsection.h"
#include "library/effectindex.h"
#include "library/inifile.h"
#include "library/librarynames.h"
#include "library/mainindex.h"
#include "library/skinregistry.h"
#include "platform/filesystem.h"
#include "platform/folderlock.h"

#include <QCryptographicHash>
#include <QDir>

#include <functional>
#include <set>

using namespace Qt::StringLiterals;

namespace {
const QString RecordFolder = u".vellumo-shipped/"_s;
const QString LinkOne = u"LINK1.INI"_s;
const QString LinkTwo = u"LINK2.INI"_s;
const QString MainIni = u"MAIN.INI"_s;
const QString Skins = u"皮肤/"_s;
const QString Templates = u"模板/"_s;
const QString MainPicture = u"主界面.jpg"_s;
const QString StatusPicture = u"状态栏.jpg"_s;

QByteArray hashOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

QByteArray hashOfFile(const FileSystem &files, const QString &path)
{
    const auto bytes = files.readAll(path);
    return bytes ? hashOf(*bytes) : QByteArray();
}

// The user's own index files: merged into, never copied over once they exist.
bool isUsersIndex(const QString &relative)
{
    return relative.compare(LinkTwo, Qt::CaseInsensitive) == 0 || relative.compare(MainIni, Qt::CaseInsensitive) == 0;
}

// The templates and skins a manifest ships, by their relative paths.
QStringList templatesIn(const QMap<QString, QByteArray> &manifest)
{
    QStringList found;
    for (auto it = manifest.begin(); it != manifest.end(); ++it) {
        const QString &path = it.key();
        if (path.startsWith(Templates) && !path.mid(Templates.size()).contains(u'/')
            && (path.endsWith(u".htm"_s, Qt::CaseInsensitive) || path.endsWith(u".html"_s, Qt::CaseInsensitive)))
            found << path;
    }
    return found;
}

QStringList skinsIn(const QMap<QString, QByteArray> &manifest)
{
    QStringList found;
    for (auto it = manifest.begin(); it != manifest.end(); ++it) {
        const QString &path = it.key();
        if (!path.startsWith(Skins) || !path.endsWith(u'/' + MainPicture))
            continue;
        const QString name = path.mid(Skins.size(), path.size() - Skins.size() - MainPicture.size() - 1);
        if (!name.contains(u'/') && manifest.contains(Skins + name + u'/' + StatusPicture))
            found << name;
    }
    return found;
}
}

LibraryUpgrade::LibraryUpgrade(FileSystem &files, const QString &shippedFolder, const QString &userFolder)
    : m_files(files)
    , m_shipped(shippedFolder)
    , m_user(userFolder)
{
}

LibraryUpgrade::Place LibraryUpgrade::placeFor(
    const FileSystem &files, const QString &executableFolder, const QString &userDataFolder)
{
    const auto withSeparator = [](const QString &folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; };
    const QString beside = withSeparator(executableFolder);
    if (files.fileExists(beside + LinkOne))
        return { beside, QString() };
    const QString shipped = withSeparator(QDir::cleanPath(beside + u"../share/vellumo/library"_s));
    if (files.fileExists(shipped + LinkOne))
        return { withSeparator(userDataFolder), shipped };
    return { beside, QString() };
}

QString LibraryUpgrade::manifestName()
{
    return u".vellumo-manifest"_s;
}

namespace {
// Walks the files below a library folder but its manifest, as paths relative to it, and its folders
// too when asked; links to folders are visited, not walked into. An entry with a hidden part is not
// visited but noted in hidden, each part once, sorted. Returns the folders that could not be listed.
QStringList walkLibrary(const FileSystem &files, const QString &folder, bool withFolders, QStringList &hidden,
    const std::function<void(const QString &relative, bool isFolder)> &visit)
{
    QStringList unlisted;
    const QString root = folder.endsWith(u'/') ? folder : folder + u'/';
    const std::function<void(const QString &)> walk = [&](const QString &below) {
        const auto entries = files.list(root + below);
        if (!entries) {
            unlisted << root + below;
            return;
        }
        for (const FolderEntry &entry : *entries) {
            const QString relative = below + entry.name;
            if (relative == LibraryUpgrade::manifestName())
                continue;
            if (entry.isFile || (entry.isFolder && withFolders)) {
                if (const QString part = LibraryNames::hiddenPart(relative); part.isEmpty())
                    visit(relative, entry.isFolder);
                else if (!hidden.contains(part))
                    hidden << part;
            }
            if (entry.isFolder && !entry.isLink)
                walk(relative + u'/');
        }
    };
    walk(QString());
    hidden.sort();
    return unlisted;
}

QString cannotList(const QString &folder)
{
    return u"cannot read folder "_s + folder;
}
}

QString LibraryUpgrade::recordFolder() const
{
    return m_user + RecordFolder;
}

Explained<QByteArray> LibraryUpgrade::manifestOf(const FileSystem &files, const QString &folder, QStringList &hidden)
{
    QStringList lines;
    const QString root = folder.endsWith(u'/') ? folder : folder + u'/';
    const QStringList unlisted
        = walkLibrary(files, folder, false, hidden, [&files, &lines, &root](const QString &relative, bool) {
              lines << QString::fromLatin1(hashOfFile(files, root + relative)) + u' ' + relative;
          });
    if (!unlisted.isEmpty())
        return Explained<QByteArray>::none(cannotList(unlisted.first()));
    // Sorted by path, so that the same library always gives the same manifest.
    std::sort(lines.begin(), lines.end(), [](const QString &a, const QString &b) { return a.mid(41) < b.mid(41); });
    QByteArray manifest;
    for (const QString &line : lines)
        manifest += line.toUtf8() + '\n';
    return manifest;
}

LibraryUpgrade::Manifest LibraryUpgrade::parse(const QByteArray &manifest, Whose whose, QStringList &refused)
{
    const QString in = whose == Whose::Shipped ? u"特效库清单"_s : u"上次升级的记录"_s;
    const QString left = whose == Whose::Shipped ? u"，没有复制"_s : u"，没有理会"_s;
    const auto isHash = [](const QByteArray &hash) {
        return std::all_of(
            hash.begin(), hash.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
    };
    Manifest entries;
    const QList<QByteArray> lines = manifest.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray &line = lines[n];
        if (line.isEmpty())
            continue;
        if (line.size() <= 41 || line[40] != ' ' || !isHash(line.left(40))) {
            refused << in + u"的第%1行不是“<SHA-1> <路径>”，没有理会"_s.arg(n + 1);
            continue;
        }
        const QString relative = QString::fromUtf8(line.mid(41));
        if (!LibraryNames::staysInFolder(relative))
            refused << in + u"中的“"_s + relative + u"”指向这个文件夹之外"_s + left;
        else if (!LibraryNames::hiddenPart(relative).isEmpty())
            refused << in + u"中的“"_s + relative + u"”含有以“.”开头的名称"_s + left;
        else
            entries.insert(relative, line.left(40));
    }
    return entries;
}

QByteArray LibraryUpgrade::textOf(const Manifest &manifest)
{
    QByteArray text;
    for (auto it = manifest.begin(); it != manifest.end(); ++it)
        text += it.value() + ' ' + it.key().toUtf8() + '\n';
    return text;
}

bool LibraryUpgrade::isNeeded() const
{
    const auto shipped = m_files.readAll(m_shipped + manifestName());
    const auto recorded = m_files.readAll(recordFolder() + manifestName());
    // The record holds the lines taken, so a shipped manifest with refused lines is judged once.
    QStringList refused;
    return shipped && (!recorded || *recorded != textOf(parse(*shipped, Whose::Shipped, refused)));
}

QStringList LibraryUpgrade::run()
{
    QStringList problems;
    const auto shippedBytes = m_files.readAll(m_shipped + manifestName());
    if (!shippedBytes) {
        problems << u"no manifest in "_s + m_shipped;
        return problems;
    }
    if (!isNeeded())
        return problems;
    QStringList refused;
    const Manifest shipped = parse(*shippedBytes, Whose::Shipped, refused);
    const Manifest before
        = parse(m_files.readAll(recordFolder() + manifestName()).value_or(QByteArray()), Whose::Record, refused);
    if (!m_files.makeFolder(m_user)) {
        problems << u"cannot create folder "_s + m_user;
        return problems;
    }
    // A second instance started at the same moment waits here, then finds the work done.
    const FolderLock lock(m_user);
    if (!isNeeded())
        return problems;
    bringFiles(shipped, before, refused, problems);
    mergeCategories(before);
    mergeEffects();
    registerSkinsAndTemplates(shipped, before);
    // What was refused stays refused at the next start; what could not be written is tried again.
    if (problems.isEmpty())
        record(textOf(shipped), problems);
    return refused + problems;
}

bool LibraryUpgrade::copyReplacing(const QString &from, const QString &to)
{
    const auto bytes = m_files.readAll(from);
    return bytes && m_files.makeFolder(to.left(to.lastIndexOf(u'/'))) && m_files.writeAtomically(to, *bytes);
}

void LibraryUpgrade::bringFiles(
    const Manifest &shipped, const Manifest &before, QStringList &refused, QStringList &problems)
{
    // The library's folders, empty ones too (the simple-copy folder the user's own effects go into).
    // Hidden names are in no manifest, so they are said rather than left out without a word.
    QStringList hidden;
    const QStringList unlisted
        = walkLibrary(m_files, m_shipped, true, hidden, [&](const QString &relative, bool isFolder) {
              if (isFolder && !m_files.makeFolder(m_user + relative))
                  problems << u"cannot create folder "_s + m_user + relative;
          });
    for (const QString &folder : unlisted)
        problems << cannotList(folder);
    for (const QString &part : hidden)
        refused << u"特效库中的“"_s + part + u"”以“.”开头，没有复制"_s;
    for (auto it = shipped.begin(); it != shipped.end(); ++it) {
        const QString &relative = it.key();
        const QString target = m_user + relative;
        const bool exists = m_files.fileExists(target);
        if (isUsersIndex(relative)) {
            if (!exists && !copyReplacing(m_shipped + relative, target))
                problems << u"cannot write "_s + target;
            continue;
        }
        if (!exists) {
            if (before.contains(relative))
                continue; // removed by the user
            if (!copyReplacing(m_shipped + relative, target))
                problems << u"cannot write "_s + target;
            else
                addedFiles << relative;
            continue;
        }
        const QByteArray present = hashOfFile(m_files, target);
        if (present == it.value())
            continue;
        if (before.value(relative) != present) {
            // Changed by the user: theirs. LINK1.INI still gets the new categories.
            if (relative == LinkOne)
                m_linkOneWasEdited = true;
            continue;
        }
        if (!copyReplacing(m_shipped + relative, target))
            problems << u"cannot write "_s + target;
    }
}

void LibraryUpgrade::mergeCategories(const Manifest &before)
{
    if (!m_linkOneWasEdited)
        return;
    const QStringList had = before.isEmpty() ? QStringList() : CategoryIndex(m_files, recordFolder()).categories();
    QStringList present = CategoryIndex(m_files, m_user).categories();
    for (const QString &category : CategoryIndex(m_files, m_shipped).categories()) {
        if (had.contains(category) || present.contains(category))
            continue;
        IniFile file(m_files, m_user + LinkOne);
        CountedSection(file, u"COMBOX"_s, u"L"_s).append(u"L"_s, category);
        present << category;
        addedCategories << category;
    }
}

void LibraryUpgrade::mergeEffects()
{
    const bool hadRecord = m_files.fileExists(recordFolder() + LinkTwo);
    EffectIndex shippedIndex(m_files, m_shipped);
    EffectIndex recordedIndex(m_files, recordFolder());
    EffectIndex userIndex(m_files, m_user);
    for (const QString &category : CategoryIndex(m_files, m_shipped).categories()) {
        const QStringList effects = shippedIndex.effects(category).value_or(QStringList());
        const QStringList had = hadRecord ? recordedIndex.effects(category).value_or(QStringList()) : QStringList();
        QStringList present = userIndex.effects(category).value_or(QStringList());
        for (const QString &effect : effects) {
            if (had.contains(effect) || present.contains(effect))
                continue;
            // A category new to the user's index starts its section at none.
            if (present.isEmpty()) {
                IniFile file(m_files, userIndex.path());
                if (file.readString(category, u"TOTAL"_s).isEmpty())
                    file.writeString(category, u"TOTAL"_s, u"0"_s);
            }
            userIndex.append(category, effect, shippedIndex.kind(category, effect));
            present << effect;
            addedEffects << category + u'/' + effect;
        }
    }
}

void LibraryUpgrade::registerSkinsAndTemplates(const Manifest &shipped, const Manifest &before)
{
    const QStringList hadSkins = skinsIn(before);
    SkinRegistry skins(m_files, m_user);
    const QStringList registered = skins.names();
    for (const QString &name : skinsIn(shipped)) {
        if (hadSkins.contains(name) || registered.contains(name))
            continue;
        const QString folder = m_user + Skins + name + u'/';
        skins.add({ name, folder + MainPicture, folder + StatusPicture });
        addedSkins << name;
    }
    const QStringList hadTemplates = templatesIn(before);
    MainIndex main(m_files, m_user);
    const QStringList listed = main.templates();
    for (const QString &relative : templatesIn(shipped)) {
        const QString path = m_user + relative;
        if (hadTemplates.contains(relative) || listed.contains(path))
            continue;
        main.addTemplate(path);
        addedTemplates << relative;
    }
}

void LibraryUpgrade::record(const QByteArray &manifest, QStringList &problems)
{
    const QString folder = recordFolder();
    if (!m_files.makeFolder(folder)) {
        problems << u"cannot create folder "_s + folder;
        return;
    }
    for (const QString &index : { LinkOne, LinkTwo })
        if (m_files.fileExists(m_shipped + index) && !copyReplacing(m_shipped + index, folder + index))
            problems << u"cannot write "_s + folder + index;
    if (problems.isEmpty() && !m_files.writeAtomically(folder + manifestName(), manifest))
        problems << u"cannot write "_s + folder + manifestName();
}
