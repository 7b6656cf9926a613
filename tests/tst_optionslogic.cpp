// The options window's rules without a display: the skin registry, the user's own simple-copy
// effects and update packages, checked on the files byte for byte.
#include "library/effectindex.h"
#include "library/inicache.h"
#include "library/packageinstaller.h"
#include "library/packagemaker.h"
#include "library/skinregistry.h"
#include "options/customeffect.h"
#include "platform/ansi.h"
#include "platform/folderlock.h"
#include "platform/vellumoerror.h"
#include "support/scriptedfilesystem.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

using namespace Qt::StringLiterals;

namespace {
QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const VellumoError &e) {
        return e.message();
    }
    return {};
}

const QString Link1 = u"[COMBOX]\r\nTOTAL=2\r\nL1=简单复制\r\nL2=图片特效\r\n"_s;
const QString Link2 = u"[简单复制]\r\nTOTAL=5\r\n[图片特效]\r\nTOTAL=0\r\n[system]\r\n"_s;
}

class TestOptionsLogic : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedFileSystem m_files;

    QString app() const { return m_dir.path() + u"/app/"_s; }
    QString pkg() const { return m_dir.path() + u"/pkg/"_s; }
    void put(const QString &path, const QString &text) { TestFiles::write(path, Ansi::encode(text)); }
    QString text(const QString &path) const { return Ansi::decode(TestFiles::read(path)); }
    // Every file below the temporary folder with its bytes, to see that nothing else changed.
    QMap<QString, QByteArray> tree() const
    {
        QMap<QString, QByteArray> files;
        for (QDirIterator it(m_dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            const QString path = it.next();
            if (path.endsWith(FolderLock::fileName()))
                continue; // holds nothing; made by the first command that locks the folder
            files[path] = TestFiles::read(path);
        }
        return files;
    }
    void package(const QString &file, const QString &name, const QString &kind, const QString &category,
        const QStringList &names, const QString &ft = {})
    {
        QString body = u"[files]\r\nname=%1\r\nflistno=%2\r\nflist=%3\r\nft=%4\r\n"_s.arg(
            name, kind, category, ft.isNull() ? QString::number(names.size()) : ft);
        for (int i = 0; i < names.size(); ++i)
            body += u"ftname%1=%2\r\n"_s.arg(i + 1).arg(names[i]);
        put(pkg() + file, body);
    }
    PackageInstaller installer() { return PackageInstaller(m_files, app()); }

private slots:
    void init()
    {
        IniCache::instance().clear();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(app() + u"简单复制"_s);
        QDir().mkpath(app() + u"图片特效"_s);
        QDir().mkpath(pkg());
        put(app() + u"LINK1.INI"_s, Link1);
        put(app() + u"LINK2.INI"_s, Link2);
        m_files = ScriptedFileSystem();
    }

    void firstSkinCreatesTheRegistry()
    {
        SkinRegistry skins(m_files, app());
        QCOMPARE(skins.names(), QStringList());
        QCOMPARE(skins.add({ u"蓝天"_s, u"/p/m.jpg"_s, u"/p/s.jpg"_s }), 1);
        QCOMPARE(skins.add({ u"蓝天"_s, u"/q/m.jpg"_s, u"/q/s.jpg"_s }), 2);
        QCOMPARE(text(app() + u"SINKNAME"_s),
            u"[S]\r\nTOTAL=2\r\n[S1]\r\nSNAME=蓝天\r\nSPDIR=/p/m.jpg\r\nSLDIR=/p/s.jpg\r\n"
            "[S2]\r\nSNAME=蓝天\r\nSPDIR=/q/m.jpg\r\nSLDIR=/q/s.jpg\r\n"_s);
        QCOMPARE(skins.names(), (QStringList { u"蓝天"_s, u"蓝天"_s }));
        QCOMPARE(skins.skin(2).mainImage, u"/q/m.jpg"_s);
        QCOMPARE(SkinRegistry::description(skins.skin(1)),
            u"这个皮肤的名称是蓝天\r主界面图像文件来自/p/m.jpg\r状态栏图像文件来自/p/s.jpg"_s);
    }

    void damagedRegistryCounts_data()
    {
        QTest::addColumn<QString>("registry");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("error");
        QTest::newRow("not a number") << u"[S]\r\nTOTAL=two\r\n"_s << QStringList()
                                      << u"'two' is not a valid integer value"_s;
        QTest::newRow("missing sections read empty")
            << u"[S]\r\nTOTAL=2\r\n[S2]\r\nSNAME=b\r\n"_s << QStringList { QString(), u"b"_s } << QString();
        QTest::newRow("huge count lists what is there") << u"[S]\r\nTOTAL=2000000000\r\n[s3]\r\nSNAME=c\r\n"_s
                                                        << QStringList { QString(), QString(), u"c"_s } << QString();
        QTest::newRow("no counter") << u"[S1]\r\nSNAME=a\r\n"_s << QStringList() << QString();
    }

    void damagedRegistryCounts()
    {
        QFETCH(QString, registry);
        QFETCH(QStringList, names);
        QFETCH(QString, error);
        put(app() + u"SINKNAME"_s, registry);
        QStringList listed;
        QCOMPARE(errorOf([&] { listed = SkinRegistry(m_files, app()).names(); }), error);
        QCOMPARE(listed, names);
        if (!error.isEmpty()) {
            // Saving reads the counter before it writes anything.
            QCOMPARE(errorOf([&] { SkinRegistry(m_files, app()).add({ u"a"_s, u"b"_s, u"c"_s }); }), error);
            QCOMPARE(text(app() + u"SINKNAME"_s), registry);
        }
    }

    void customEffectIsSavedAndIndexed()
    {
        CustomEffect custom(m_files, app());
        QCOMPARE(custom.define(u"abc"_s, u"<b>一</b>\n<i>二</i>"_s), CustomEffect::Result::Defined);
        QCOMPARE(TestFiles::read(app() + u"简单复制/abc.txt"_s), Ansi::encode(u"<b>一</b>\r\n<i>二</i>"_s));
        QCOMPARE(text(app() + u"LINK2.INI"_s),
            u"[简单复制]\r\nTOTAL=6\r\nl6=abc\r\n[图片特效]\r\nTOTAL=0\r\n[system]\r\n简单复制abc=1\r\n"_s);
        // The same name in other letters meets the existing file; nothing changes.
        const auto before = tree();
        QCOMPARE(custom.define(u"ABC"_s, u"other"_s), CustomEffect::Result::SameName);
        QCOMPARE(tree(), before);
        QCOMPARE(custom.define(QString(), QString()), CustomEffect::Result::Defined);
        QCOMPARE(TestFiles::read(app() + u"简单复制/.txt"_s), QByteArray());
        QCOMPARE(custom.define(QString(), QString()), CustomEffect::Result::SameName);
    }

    void customEffectNamesThatLeaveTheFolderAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : { u"../LINK1"_s, u"a/b"_s, u"a\\b"_s, u"."_s, u".."_s, u"/tmp/x"_s, u"a=b"_s,
                 u"[a"_s, u"a]"_s, u"a\r\nb"_s, u" a"_s, u"a\t"_s, u";a"_s })
            QTest::newRow(qPrintable(name)) << name;
    }

    void customEffectNamesThatLeaveTheFolderAreRefused()
    {
        QFETCH(QString, name);
        const auto before = tree();
        QCOMPARE(CustomEffect(m_files, app()).define(name, u"x"_s), CustomEffect::Result::UnusableName);
        QCOMPARE(tree(), before);
    }

    void customEffectFailures()
    {
        // No folder: the file cannot be created and the index is not touched.
        QDir(app() + u"简单复制"_s).removeRecursively();
        const QString path = app() + u"简单复制/abc.txt"_s;
        QCOMPARE(errorOf([&] { CustomEffect(m_files, app()).define(u"abc"_s, u"x"_s); }),
            VellumoError::cannotCreate(path).message());
        QCOMPARE(text(app() + u"LINK2.INI"_s), Link2);
        // No counter: the text stays saved, and trying again meets the same name.
        QDir().mkpath(app() + u"简单复制"_s);
        put(app() + u"LINK2.INI"_s, u"[system]\r\n"_s);
        QCOMPARE(errorOf([&] { CustomEffect(m_files, app()).define(u"abc"_s, u"x"_s); }),
            u"'' is not a valid integer value"_s);
        QVERIFY(QFile::exists(path));
        QCOMPARE(CustomEffect(m_files, app()).define(u"abc"_s, u"x"_s), CustomEffect::Result::SameName);
        // A folder that refuses writes.
        m_files.refuseWritesUnder(app());
        QCOMPARE(errorOf([&] { CustomEffect(m_files, app()).define(u"new"_s, u"x"_s); }),
            VellumoError::cannotCreate(app() + u"简单复制/new.txt"_s).message());
    }

    void packageCopiesItsFilesAndEntersTheEffect()
    {
        put(pkg() + u"相册"_s, u"[file]\r\nimgfilet=0\r\n"_s);
        put(pkg() + u"a.js"_s, u"var a;"_s);
        package(u"one.gx"_s, u"相册"_s, u"2"_s, u"图片特效"_s, { u"相册"_s, u"a.js"_s });
        const PackageInstaller::Outcome outcome = installer().installAll({ pkg() + u"one.gx"_s });
        QCOMPARE(outcome.end, PackageInstaller::End::Installed);
        QCOMPARE(PackageInstaller::finalMessage(outcome),
            u"程序已经设置完毕，但也要重新启动才能重新启用，该特效名为相册安装在文件夹图片特效"_s);
        QCOMPARE(TestFiles::read(app() + u"图片特效/a.js"_s), QByteArray("var a;"));
        QCOMPARE(text(app() + u"LINK2.INI"_s),
            u"[简单复制]\r\nTOTAL=5\r\n[图片特效]\r\nTOTAL=1\r\nl1=相册\r\n[system]\r\n图片特效相册=2\r\n"_s);
        // A second time it is already there: nothing changes, and the user is told so.
        const auto installed = tree();
        const PackageInstaller::Outcome again = installer().installAll({ pkg() + u"one.gx"_s });
        QCOMPARE(again.end, PackageInstaller::End::AlreadyInstalled);
        QCOMPARE(
            PackageInstaller::finalMessage(again), u"升级文件"_s + pkg() + u"one.gx已经安装过了，没有改动任何文件"_s);
        QCOMPARE(tree(), installed);
        // A package of that name whose files differ is another effect: refused, nothing overwritten.
        put(pkg() + u"a.js"_s, u"changed"_s);
        const auto changed = tree();
        QCOMPARE(installer().installAll({ pkg() + u"one.gx"_s }).end, PackageInstaller::End::Refused);
        QCOMPARE(tree(), changed);
    }

    void simpleCopyPackageEqualsACustomEffect()
    {
        put(pkg() + u"问候.txt"_s, u"你好\r\n世界"_s);
        package(u"s.gx"_s, u"问候"_s, u"1"_s, u"简单复制"_s, { u"问候.txt"_s });
        installer().installAll({ pkg() + u"s.gx"_s });
        const QByteArray installedIndex = TestFiles::read(app() + u"LINK2.INI"_s);
        const QByteArray installedFile = TestFiles::read(app() + u"简单复制/问候.txt"_s);
        init();
        CustomEffect(m_files, app()).define(u"问候"_s, u"你好\n世界"_s);
        QCOMPARE(TestFiles::read(app() + u"LINK2.INI"_s), installedIndex);
        QCOMPARE(TestFiles::read(app() + u"简单复制/问候.txt"_s), installedFile);
    }

    void packagesStopAtTheFirstIncompleteOne()
    {
        put(pkg() + u"a.txt"_s, u"a"_s);
        put(pkg() + u"b.txt"_s, u"b"_s);
        package(u"1.gx"_s, u"甲"_s, u"1"_s, u"简单复制"_s, { u"a.txt"_s });
        package(u"2.gx"_s, u"乙"_s, u"1"_s, u"简单复制"_s, { u"b.txt"_s, u"missing.txt"_s, u"a.txt"_s });
        put(pkg() + u"c.txt"_s, u"c"_s);
        package(u"3.gx"_s, u"丙"_s, u"1"_s, u"简单复制"_s, { u"c.txt"_s });
        const PackageInstaller::Outcome outcome
            = installer().installAll({ pkg() + u"1.gx"_s, pkg() + u"2.gx"_s, pkg() + u"3.gx"_s });
        QCOMPARE(outcome.end, PackageInstaller::End::Incomplete);
        QCOMPARE(outcome.installed, QStringList { u"简单复制/甲"_s });
        QCOMPARE(PackageInstaller::finalMessage(outcome),
            u"你下载的升级文件并不完整，是不是真的到作者主页下载的？\n在它之前已经安装：简单复制/甲"_s);
        QVERIFY(!QFile::exists(app() + u"简单复制/b.txt"_s)); // an incomplete package copies nothing
        QVERIFY(!QFile::exists(app() + u"简单复制/c.txt"_s)); // and the ones after it are not started
        QCOMPARE(text(app() + u"LINK2.INI"_s),
            u"[简单复制]\r\nTOTAL=6\r\nl6=甲\r\n[图片特效]\r\nTOTAL=0\r\n[system]\r\n简单复制甲=1\r\n"_s);
    }

    void packageFileCounts_data()
    {
        QTest::addColumn<QString>("ft");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("error");
        using End = PackageInstaller::End;
        // A package that would copy nothing would enter an effect without its files.
        QTest::newRow("none") << u"0"_s << QStringList() << int(End::Refused) << QString();
        QTest::newRow("negative") << u"-3"_s << QStringList() << int(End::Refused) << QString();
        QTest::newRow("not a number") << u"two"_s << QStringList() << int(End::Nothing)
                                      << u"'two' is not a valid integer value"_s;
        QTest::newRow("missing") << QString(u""_s) << QStringList() << int(End::Nothing)
                                 << u"'' is not a valid integer value"_s;
        QTest::newRow("huge with one name")
            << u"2000000000"_s << QStringList { u"a.txt"_s } << int(End::Incomplete) << QString();
        QTest::newRow("empty name is the folder")
            << u"1"_s << QStringList { QString() } << int(End::Incomplete) << QString();
        QTest::newRow("a folder is no file") << u"1"_s << QStringList { u"sub"_s } << int(End::Incomplete) << QString();
    }

    void packageFileCounts()
    {
        QFETCH(QString, ft);
        QFETCH(QStringList, names);
        QFETCH(int, end);
        QFETCH(QString, error);
        put(pkg() + u"a.txt"_s, u"a"_s);
        QDir().mkpath(pkg() + u"sub"_s);
        package(u"p.gx"_s, u"甲"_s, u"1"_s, u"简单复制"_s, names, ft);
        PackageInstaller::Outcome outcome;
        QCOMPARE(errorOf([&] { outcome = installer().installAll({ pkg() + u"p.gx"_s }); }), error);
        QCOMPARE(int(outcome.end), end);
        // Not entered, nothing copied.
        QCOMPARE(text(app() + u"LINK2.INI"_s), Link2);
        QVERIFY(!QFile::exists(app() + u"简单复制/a.txt"_s));
    }

    // A damaged package naming a file under a huge number ends at the first missing name, at once.
    void strayHugeFileNumberEndsTheInstallation_data()
    {
        QTest::addColumn<QString>("names");
        QTest::newRow("two billion") << u"ft=2000000000\r\nftname2000000000=a.txt\r\n"_s;
        QTest::newRow("largest int") << u"ft=2147483647\r\nftname1=a.txt\r\nftname2147483647=a.txt\r\n"_s;
    }
    void strayHugeFileNumberEndsTheInstallation()
    {
        QFETCH(QString, names);
        put(pkg() + u"a.txt"_s, u"a"_s);
        put(pkg() + u"p.gx"_s, u"[files]\r\nname=甲\r\nflistno=1\r\nflist=简单复制\r\n"_s + names);
        QCOMPARE(installer().installAll({ pkg() + u"p.gx"_s }).end, PackageInstaller::End::Incomplete);
        QCOMPARE(text(app() + u"LINK2.INI"_s), Link2);
    }

    // Without the folders it needs, or in a category the library does not list, the effect would be
    // entered without its files: such a package is not installed and nothing of it is copied.
    void packageNeedsItsFoldersAndAListedCategory_data()
    {
        QTest::addColumn<QString>("package");
        QTest::addColumn<QString>("reason");
        QTest::newRow("sub-folder missing")
            << u"name=乙\r\nflistno=2\r\nflist=图片特效\r\nft=2\r\nftname1=y.gif\r\nftname2=sub\\x.gif"_s
            << u"文件“sub/x.gif”所在的子文件夹在特效类别文件夹中不存在"_s;
        QTest::newRow("category folder missing")
            << u"name=丙\r\nflistno=2\r\nflist=没有文件夹\r\nft=1\r\nftname1=y.gif"_s
            << u"类别文件夹%1没有文件夹不存在"_s;
        QTest::newRow("category not listed") << u"name=丁\r\nflistno=2\r\nflist=图片特效X\r\nft=1\r\nftname1=y.gif"_s
                                             << u"类别“图片特效X”不在LINK1.INI中"_s;
    }

    void packageNeedsItsFoldersAndAListedCategory()
    {
        QFETCH(QString, package);
        QFETCH(QString, reason);
        put(app() + u"LINK1.INI"_s, u"[COMBOX]\r\nTOTAL=3\r\nL1=简单复制\r\nL2=图片特效\r\nL3=没有文件夹\r\n"_s);
        put(app() + u"LINK2.INI"_s, Link2 + u"[没有文件夹]\r\nTOTAL=0\r\n"_s);
        put(pkg() + u"sub/x.gif"_s, u"x"_s);
        put(pkg() + u"y.gif"_s, u"y"_s);
        put(pkg() + u"p.gx"_s, u"[files]\r\n"_s + package + u"\r\n"_s);
        const auto before = tree();
        const PackageInstaller::Outcome outcome = installer().installAll({ pkg() + u"p.gx"_s });
        QCOMPARE(outcome.end, PackageInstaller::End::Refused);
        QCOMPARE(outcome.refusal, u"升级文件"_s + pkg() + u"p.gx没有安装："_s + reason.arg(app()));
        QCOMPARE(tree(), before);
        // Once the sub-folder is there, in any letter case, the file goes into it.
        if (QByteArray(QTest::currentDataTag()) == "sub-folder missing") {
            QDir().mkpath(app() + u"图片特效/SUB"_s);
            QCOMPARE(installer().installAll({ pkg() + u"p.gx"_s }).end, PackageInstaller::End::Installed);
            QCOMPARE(TestFiles::read(app() + u"图片特效/SUB/x.gif"_s), QByteArray("x"));
        }
    }

    void skinCounterAtTheLargestNumberIsAnError()
    {
        put(app() + u"SINKNAME"_s, u"[S]\r\nTOTAL=2147483647\r\n"_s);
        const QByteArray before = TestFiles::read(app() + u"SINKNAME"_s);
        QCOMPARE(errorOf([&] {
            SkinRegistry(m_files, app()).add({ u"n"_s, u"/m.jpg"_s, u"/s.jpg"_s });
        }),
            VellumoError::integerOverflow().message());
        QCOMPARE(TestFiles::read(app() + u"SINKNAME"_s), before);
    }

    // A package made of an installed effect installs the same effect into another folder.
    void packThenInstallGivesTheSameEffect_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("simple copy") << u"抄"_s << u"1"_s << QString() << QStringList { u"抄.txt"_s };
        QTest::newRow("pictures") << u"图"_s << u"2"_s
                                  << u"[file]\r\nimgfilet=2\r\nimgfilename1=own.gif\r\nimgfilename2=0\r\ntxtfilet=1\r\n"
                                     "txtfilename1=a.js\r\nft=1\r\nfno1=p.txt\r\n"_s
                                  << QStringList { u"a.js"_s, u"own.gif"_s, u"p.txt"_s, u"图"_s };
        QTest::newRow("menu without pictures")
            << u"菜单"_s << u"3"_s << u"[file]\r\nimgfilet=x\r\nft=1\r\nfno1=p.txt\r\n"_s
            << QStringList { u"p.txt"_s, u"菜单"_s };
    }

    void packThenInstallGivesTheSameEffect()
    {
        QFETCH(QString, effect);
        QFETCH(QString, kind);
        QFETCH(QString, definition);
        QFETCH(QStringList, files);
        const QString category = u"图片特效"_s;
        put(app() + u"LINK2.INI"_s,
            u"[图片特效]\r\nTOTAL=1\r\nl1=%1\r\n[system]\r\n图片特效%1=%2\r\n"_s.arg(effect, kind));
        for (const QString &name : files)
            put(app() + category + u'/' + name, name == effect ? definition : u"content of "_s + name);
        QCOMPARE(PackageMaker(m_files, app()).make(category, effect, pkg() + u"made.gx"_s), QStringList());
        // A second make beside the same files changes nothing and succeeds.
        QCOMPARE(PackageMaker(m_files, app()).make(category, effect, pkg() + u"made.gx"_s), QStringList());
        const QString other = m_dir.path() + u"/other/"_s;
        QDir().mkpath(other + category);
        put(other + u"LINK1.INI"_s, Link1);
        put(other + u"LINK2.INI"_s, u"[图片特效]\r\nTOTAL=0\r\n[system]\r\n"_s);
        QCOMPARE(PackageInstaller(m_files, other).installAll({ pkg() + u"made.gx"_s }).end,
            PackageInstaller::End::Installed);
        QCOMPARE(QDir(other + category).entryList(QDir::Files, QDir::Name),
            QDir(app() + category).entryList(QDir::Files, QDir::Name));
        for (const QString &name : files)
            QCOMPARE(TestFiles::read(other + category + u'/' + name), TestFiles::read(app() + category + u'/' + name));
        QCOMPARE(text(other + u"LINK2.INI"_s), text(app() + u"LINK2.INI"_s));
        // A file of the same name with other content beside the package is never overwritten.
        put(pkg() + files.first(), u"something else"_s);
        QCOMPARE(PackageMaker(m_files, app()).make(category, effect, pkg() + u"again.gx"_s),
            QStringList { pkg() + files.first() + u" already exists with other content"_s });
    }

    void hostilePackagesAreRefusedWhole_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("file climbs out") << u"a"_s << u"图片特效"_s << QStringList { u"ok.txt"_s, u"../../evil.txt"_s };
        QTest::newRow("file climbs out with backslashes")
            << u"a"_s << u"图片特效"_s << QStringList { u"..\\evil.txt"_s };
        QTest::newRow("file climbs in the middle")
            << u"a"_s << u"图片特效"_s << QStringList { u"sub/../../evil.txt"_s };
        QTest::newRow("absolute file") << u"a"_s << u"图片特效"_s << QStringList { u"/tmp/evil.txt"_s };
        QTest::newRow("drive file") << u"a"_s << u"图片特效"_s << QStringList { u"C:\\evil.txt"_s };
        QTest::newRow("category climbs") << u"a"_s << u"../outside"_s << QStringList { u"ok.txt"_s };
        QTest::newRow("category is a path") << u"a"_s << u"图片特效/sub"_s << QStringList { u"ok.txt"_s };
        QTest::newRow("absolute category") << u"a"_s << u"/tmp"_s << QStringList { u"ok.txt"_s };
        QTest::newRow("empty category") << u"a"_s << QString() << QStringList { u"ok.txt"_s };
        QTest::newRow("effect name climbs") << u"../../x"_s << u"图片特效"_s << QStringList { u"ok.txt"_s };
        QTest::newRow("effect name is a path") << u"a/b"_s << u"图片特效"_s << QStringList { u"ok.txt"_s };
        QTest::newRow("linked folder leads out") << u"a"_s << u"图片特效"_s << QStringList { u"link/evil.txt"_s };
    }

    void hostilePackagesAreRefusedWhole()
    {
        QFETCH(QString, name);
        QFETCH(QString, category);
        QFETCH(QStringList, files);
        QDir().mkpath(m_dir.path() + u"/outside"_s);
        QVERIFY(QFile::link(m_dir.path() + u"/outside"_s, app() + u"图片特效/link"_s));
        put(pkg() + u"ok.txt"_s, u"ok"_s);
        put(pkg() + u"good.txt"_s, u"good"_s);
        package(u"good.gx"_s, u"好"_s, u"1"_s, u"简单复制"_s, { u"good.txt"_s });
        package(u"bad.gx"_s, name, u"1"_s, category, files);
        installer().installAll({ pkg() + u"good.gx"_s });
        const auto before = tree();
        const PackageInstaller::Outcome outcome = installer().installAll({ pkg() + u"bad.gx"_s, pkg() + u"good.gx"_s });
        QCOMPARE(outcome.end, PackageInstaller::End::Refused);
        QVERIFY(outcome.refusal.startsWith(u"升级文件"_s + pkg() + u"bad.gx不安全，没有安装："_s));
        QCOMPARE(tree(), before); // nothing copied or written, not even for the package after it
    }
};

QTEST_APPLESS_MAIN(TestOptionsLogic)
#include "tst_optionslogic.moc"
