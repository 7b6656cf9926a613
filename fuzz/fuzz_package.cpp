// Arbitrary update packages installed into a small application folder: nothing outside the
// application folder is created, changed or removed, the package's own folder stays as it was, no
// file of the library is overwritten, LINK1.INI is untouched, and LINK2.INI keeps every entry it had
// as it was but the counter of the category installed into: no installed effect changes its kind.
// A refused package changes nothing.
#include "fuzzcheck.h"
#include "watchedfiles.h"

#include "library/inidocument.h"
#include "library/packageinstaller.h"
#include "platform/folderlock.h"
#include "platform/vellumoerror.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringEncoder>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

QByteArray gb(const QString &text)
{
    QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

const QString Link2
    = u"[图片特效]\r\nTOTAL=2\r\nl1=相册\r\nl2=轮播\r\n[简单复制]\r\nTOTAL=0\r\n"
      "[Menus]\r\nTOTAL=1\r\nl1=Drop\r\n; kinds\r\n[system]\r\n图片特效相册=2\r\n图片特效轮播=2\r\nMenusDrop=4\r\n"_s;

struct Entry
{
    QString section;
    QString key;
    QString value;
};
const QVector<Entry> Link2Entries = {
    { u"图片特效"_s, u"TOTAL"_s, u"2"_s },
    { u"图片特效"_s, u"l1"_s, u"相册"_s },
    { u"图片特效"_s, u"l2"_s, u"轮播"_s },
    { u"简单复制"_s, u"TOTAL"_s, u"0"_s },
    { u"Menus"_s, u"TOTAL"_s, u"1"_s },
    { u"Menus"_s, u"l1"_s, u"Drop"_s },
    { u"system"_s, u"图片特效相册"_s, u"2"_s },
    { u"system"_s, u"图片特效轮播"_s, u"2"_s },
    { u"system"_s, u"MenusDrop"_s, u"4"_s },
};

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "cannot lay out " + path.toUtf8());
}

void link(const QString &target, const QString &name)
{
    FUZZ_CHECK(QFile::link(target, name), "cannot link " + name.toUtf8());
}

// Every entry below the folder with what it holds; links are not followed.
QMap<QString, QByteArray> tree(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
             QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        const QFileInfo info(path);
        QByteArray what;
        if (info.isSymLink()) {
            what = "link to " + info.symLinkTarget().toUtf8();
        } else if (info.isDir()) {
            what = "folder";
        } else {
            QFile file(path);
            what = file.open(QIODevice::ReadOnly) ? "file " + file.readAll() : "unreadable";
        }
        entries.insert(path.mid(folder.size() + 1), what);
    }
    return entries;
}

bool same(const QString &a, const QString &b)
{
    return a.toCaseFolded() == b.toCaseFolded();
}

// What an effect index entry may be changed by installing these packages: the counter of their
// categories only.
bool mayChange(const Entry &entry, const QVector<std::pair<QString, QString>> &packages)
{
    for (const auto &[category, name] : packages)
        if (same(entry.section, FuzzCheck::trimSpaces(category)) && same(entry.key, u"TOTAL"_s))
            return true;
    return false;
}

// How a value written into the effect index reads back.
QString readBack(const QString &value)
{
    return IniDocument("[s]\r\nk=" + gb(value) + "\r\n").read(u"s"_s, u"k"_s);
}

bool plainName(const QString &name)
{
    const QString trimmed = FuzzCheck::trimSpaces(name);
    return trimmed == name.trimmed() && !name.contains(u']') && !name.contains(u'=') && !name.contains(QChar(0))
        && !trimmed.startsWith(u';') && !trimmed.startsWith(u'[');
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const uint8_t flags = input.byte();
    const QByteArray packageBytes = input.rest();

    QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid(), "no temporary folder");
    const QString root = dir.path();
    const QString app = root + u"/app/"_s;
    const QString pkg = root + u"/pkg/"_s;
    const QString outside = root + u"/outside/"_s;

    write(app + u"LINK1.INI"_s, gb(u"[COMBOX]\r\nTOTAL=3\r\nL1=图片特效\r\nL2=简单复制\r\nL3=Menus\r\n"_s));
    write(app + u"LINK2.INI"_s, gb(Link2));
    write(app + u"图片特效/相册"_s, gb(u"[file]\r\nimgfilet=1\r\n"_s));
    write(app + u"图片特效/a.txt"_s, "the library's own a.txt");
    QDir().mkpath(app + u"图片特效/sub"_s);
    QDir().mkpath(app + u"简单复制"_s);
    write(app + u"Menus/Drop"_s, "[file]\r\nmm=1\r\n");
    write(outside + u"keep.txt"_s, "outside");
    // Links a package could try to write through: a folder outside, a file outside, a name not there yet.
    link(outside.chopped(1), app + u"图片特效/link"_s);
    link(outside + u"keep.txt"_s, app + u"图片特效/kept.txt"_s);
    link(outside + u"made.txt"_s, app + u"图片特效/dangling"_s);
    write(pkg + u"update.gx"_s, packageBytes);
    write(pkg + u"a.txt"_s, "package a");
    write(pkg + u"b.gif"_s, "GIF89a");
    write(pkg + u"sub/c.js"_s, "var c;");
    write(pkg + u"dangling"_s, "through the link");
    write(pkg + u"kept.txt"_s, "over the kept file");
    write(pkg + u"made.txt"_s, "made");
    write(pkg + u"good.gx"_s, "[files]\r\nname=Tabs\r\nflistno=4\r\nflist=Menus\r\nft=1\r\nftname1=b.gif\r\n");

    // The fuzzed package alone, before a good one, or after it.
    QStringList packages { pkg + u"update.gx"_s };
    if (flags % 3 == 1)
        packages.append(pkg + u"good.gx"_s);
    else if (flags % 3 == 2)
        packages.prepend(pkg + u"good.gx"_s);

    const QMap<QString, QByteArray> before = tree(root);
    WatchedFiles files(app);
    PackageInstaller installer(files, app);
    PackageInstaller::Outcome outcome;
    QString error;
    try {
        installer.installAll(packages, outcome);
    } catch (const VellumoError &e) {
        error = e.message();
    }
    const QMap<QString, QByteArray> after = tree(root);

    // The categories and names the packages ask for, as the installer reads them.
    QVector<std::pair<QString, QString>> asked;
    QStringList categories;
    for (const QString &path : packages) {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::ReadOnly), "a package is gone");
        const IniDocument package(file.readAll());
        asked.append({ package.read(u"files"_s, u"flist"_s), package.read(u"files"_s, u"name"_s) });
        categories.append(package.read(u"files"_s, u"flist"_s));
    }

    const bool refusedFirst
        = outcome.end == PackageInstaller::End::Refused && outcome.installed.isEmpty() && error.isEmpty();
    // Nothing but the copies and the entry of a package that was installed: a package that fails
    // part-way takes its copies back.
    const bool enteredNone = outcome.installed.isEmpty();
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (it.key() == u"app/LINK2.INI"_s && !refusedFirst)
            continue;
        FUZZ_CHECK(after.contains(it.key()), "removed: " + FuzzCheck::shown(it.key()));
        FUZZ_EQUAL(after.value(it.key()), it.value(), "changed: " + FuzzCheck::shown(it.key()));
    }
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (before.contains(it.key()))
            continue;
        if (it.key() == u"app/"_s + FolderLock::fileName())
            continue;
        FUZZ_CHECK(!enteredNone, "a package that was not installed left " + FuzzCheck::shown(it.key()));
        FUZZ_CHECK(it.value().startsWith("file "), "not a copied file: " + FuzzCheck::shown(it.key()));
        // Copies land in the folder of an asked category, below the application folder.
        const QString relative = it.key();
        const qsizetype slash = relative.indexOf(u'/', 4);
        FUZZ_CHECK(relative.startsWith(u"app/"_s) && slash > 4,
            "created outside a category folder: " + FuzzCheck::shown(relative));
        const QString folder = relative.mid(4, slash - 4);
        FUZZ_CHECK(before.value(u"app/"_s + folder) == "folder"
                && std::any_of(categories.begin(), categories.end(),
                    [&](const QString &c) { return c.compare(folder, Qt::CaseInsensitive) == 0; }),
            "created outside the asked category's folder: " + FuzzCheck::shown(relative));
    }

    const IniDocument index(after.value(u"app/LINK2.INI"_s).mid(5));
    for (const Entry &entry : Link2Entries)
        if (!mayChange(entry, asked))
            FUZZ_EQUAL(index.read(entry.section, entry.key), entry.value,
                "LINK2.INI lost " + FuzzCheck::shown(entry.section + u'/' + entry.key));
    if (!enteredNone && plainName(outcome.lastCategory)) {
        const QString total = index.read(outcome.lastCategory, u"TOTAL"_s);
        FUZZ_EQUAL(index.read(outcome.lastCategory, u"l"_s + total), readBack(outcome.lastName),
            "the effect installed last is the category's last entry");
        if (plainName(outcome.lastCategory + outcome.lastName))
            FUZZ_CHECK(index.hasKey(u"system"_s, outcome.lastCategory + outcome.lastName),
                "the effect installed last has no kind in LINK2.INI");
    }
    return 0;
}
