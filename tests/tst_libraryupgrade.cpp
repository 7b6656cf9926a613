#include "library/libraryupgrade.h"
#include "library/packageinstaller.h"
#include "librarylayout.h"
#include "options/customeffect.h"
#include "platform/ansi.h"
#include "platform/localfilesystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString text(const QString &path)
{
    return Ansi::decode(read(path));
}

// Every file of a folder with its bytes.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), read(path));
    }
    return files;
}

// A library source with the given categories, each with its effects (simple-copy, kind 1).
void librarySource(const QString &folder, const QMap<QString, QStringList> &categories)
{
    QString linkOne = u"[COMBOX]\nTOTAL=%1\n"_s.arg(categories.size());
    QString linkTwo;
    QString kinds = u"[system]\n"_s;
    int n = 0;
    for (auto it = categories.begin(); it != categories.end(); ++it) {
        linkOne += u"L%1=%2\n"_s.arg(++n).arg(it.key());
        linkTwo += u"[%1]\nTOTAL=%2\n"_s.arg(it.key()).arg(it.value().size());
        int e = 0;
        for (const QString &effect : it.value()) {
            linkTwo += u"l%1=%2\n"_s.arg(++e).arg(effect);
            kinds += it.key() + effect + u"=1\n"_s;
            write(folder + u'/' + it.key() + u'/' + effect + u".txt"_s, (u"<!-- "_s + effect + u" -->"_s).toUtf8());
        }
    }
    write(folder + u"/LINK1.INI"_s, linkOne.toUtf8());
    write(folder + u"/LINK2.INI"_s, (linkTwo + kinds).toUtf8());
    write(folder + u"/MAIN.INI"_s, "[MAIN]\nMAINFORMIMG=\nLIMG=\nNAME=\n[model]\nTOTAL=-1\n");
    write(folder + u"/lines.txt"_s, "<html>\n</html>\n");
    write(folder + u"/皮肤/湖蓝/主界面.jpg"_s, "jpeg main");
    write(folder + u"/皮肤/湖蓝/状态栏.jpg"_s, "jpeg strip");
    write(folder + u"/模板/文章.htm"_s, "<html>article</html>");
    QDir().mkpath(folder + u"/空分类"_s);
}

// Every entry of a folder that is not below the user's folder: files with their bytes, folders.
QMap<QString, QByteArray> entriesOutside(const QString &root, const QString &user)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(
        root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!(path + u'/').startsWith(user))
            entries.insert(path, it.fileInfo().isDir() ? QByteArray("folder") : read(path));
    }
    return entries;
}
}

class TestLibraryUpgrade : public QObject
{
    Q_OBJECT

    struct Run
    {
        QTemporaryDir source, shipped, home;
        LocalFileSystem files;
        QString user() const { return home.path() + u"/Vellumo/"_s; }
        QStringList ship(const QMap<QString, QStringList> &categories)
        {
            librarySource(source.path(), categories);
            return LibraryLayout(source.path(), shipped.path()).run();
        }
        LibraryUpgrade upgrade() { return LibraryUpgrade(files, shipped.path() + u'/', user()); }
    };

private slots:
    void aFirstStartLaysOutTheLibraryWithItsSkinsAndTemplates()
    {
        Run run;
        QVERIFY(run.ship({ { u"图片特效"_s, { u"轮换"_s } }, { u"简单复制"_s, { u"返回顶部"_s } } }).isEmpty());
        LibraryUpgrade upgrade = run.upgrade();
        QVERIFY(upgrade.isNeeded());
        QCOMPARE(upgrade.run(), QStringList());
        const QString user = run.user();
        QCOMPARE(read(user + u"LINK2.INI"_s), read(run.shipped.filePath(u"LINK2.INI"_s)));
        QCOMPARE(text(user + u"图片特效/轮换.txt"_s), u"<!-- 轮换 -->"_s);
        QVERIFY(QFileInfo(user + u"空分类"_s).isDir()); // empty folders too
        QCOMPARE(text(user + u"SINKNAME"_s),
            u"[S]\r\nTOTAL=1\r\n[S1]\r\nSNAME=湖蓝\r\nSPDIR=%1皮肤/湖蓝/主界面.jpg\r\nSLDIR=%1皮肤/湖蓝/状态栏.jpg\r\n"_s
                .arg(user));
        QVERIFY(text(user + u"MAIN.INI"_s).endsWith(u"[model]\r\nTOTAL=0\r\nmfile0=%1模板/文章.htm\r\n"_s.arg(user)));
        QVERIFY(!run.upgrade().isNeeded());
    }

    void anUpgradeAddsWhatIsNewAndKeepsWhatIsTheUsers()
    {
        Run run;
        QVERIFY(run.ship({ { u"图片特效"_s, { u"轮换"_s, u"放大"_s } }, { u"简单复制"_s, { u"返回顶部"_s } },
                             { u"菜单导航"_s, { u"下拉"_s } } })
                    .isEmpty());
        QCOMPARE(run.upgrade().run(), QStringList());
        const QString user = run.user();

        // The user's own effect, an installed package, an edited skin picture, and a shipped
        // effect removed from the index (its file too).
        QCOMPARE(CustomEffect(run.files, user).define(u"我的"_s, u"<b>mine</b>"_s), CustomEffect::Result::Defined);
        write(run.home.filePath(u"pkg/外来.txt"_s), "foreign");
        write(run.home.filePath(u"pkg/p.gx"_s),
            Ansi::encode(u"[files]\r\nname=外来\r\nflistno=1\r\nflist=菜单导航\r\nft=1\r\nftname1=外来.txt\r\n"_s));
        QCOMPARE(PackageInstaller(run.files, user).installAll({ run.home.filePath(u"pkg/p.gx"_s) }).installed,
            QStringList { u"菜单导航/外来"_s });
        write(user + u"皮肤/湖蓝/主界面.jpg"_s, "my own picture");
        QString index = text(user + u"LINK2.INI"_s);
        index.replace(u"[图片特效]\r\nTOTAL=2\r\nl1=轮换\r\nl2=放大\r\n"_s, u"[图片特效]\r\nTOTAL=1\r\nl1=轮换\r\n"_s);
        write(user + u"LINK2.INI"_s, Ansi::encode(index));
        QVERIFY(QFile::remove(user + u"图片特效/放大.txt"_s));
        const QMap<QString, QByteArray> before = snapshot(user);

        // A newer library: two new categories, five new effects, a new skin and template, and a
        // shipped file changed.
        QVERIFY(run.ship({ { u"图片特效"_s, { u"轮换"_s, u"放大"_s, u"百叶窗"_s } },
                             { u"简单复制"_s, { u"返回顶部"_s, u"复制链接"_s } }, { u"菜单导航"_s, { u"下拉"_s } },
                             { u"时间日期"_s, { u"时钟"_s, u"日历"_s } }, { u"鼠标特效"_s, { u"拖尾"_s } } })
                    .isEmpty());
        write(run.shipped.filePath(u"皮肤/暖阳/主界面.jpg"_s), "warm main");
        write(run.shipped.filePath(u"皮肤/暖阳/状态栏.jpg"_s), "warm strip");
        write(run.shipped.filePath(u"模板/两栏.htm"_s), "<html>two</html>");
        write(run.shipped.filePath(u"lines.txt"_s), "<html>\r\n<body></body>\r\n</html>\r\n");
        QStringList hidden;
        write(run.shipped.filePath(LibraryUpgrade::manifestName()),
            *LibraryUpgrade::manifestOf(LocalFileSystem(), run.shipped.path(), hidden));
        QCOMPARE(hidden, QStringList());
        LibraryUpgrade upgrade = run.upgrade();
        try {
            QCOMPARE(upgrade.run(), QStringList());
        } catch (const std::exception &error) {
            QFAIL(error.what());
        }
        QCOMPARE(upgrade.addedEffects,
            (QStringList { u"图片特效/百叶窗"_s, u"时间日期/时钟"_s, u"时间日期/日历"_s, u"简单复制/复制链接"_s,
                u"鼠标特效/拖尾"_s }));
        QCOMPARE(upgrade.addedSkins, QStringList { u"暖阳"_s });
        QCOMPARE(upgrade.addedTemplates, QStringList { u"模板/两栏.htm"_s });

        // What is new is there; the new categories come from the unchanged LINK1.INI replaced.
        const QString categories = text(user + u"LINK1.INI"_s);
        QVERIFY(categories.contains(u"=时间日期\r\n"_s) && categories.contains(u"=鼠标特效\r\n"_s));
        const QString effects = text(user + u"LINK2.INI"_s);
        for (const QString &entry : { u"[时间日期]\r\nTOTAL=2\r\nl1=时钟\r\nl2=日历\r\n"_s, u"l2=百叶窗\r\n"_s,
                 u"时间日期日历=1\r\n"_s, u"l3=复制链接\r\n"_s, u"鼠标特效拖尾=1\r\n"_s })
            QVERIFY2(effects.contains(entry), qPrintable(entry));
        QCOMPARE(text(user + u"时间日期/时钟.txt"_s), u"<!-- 时钟 -->"_s);
        QVERIFY(text(user + u"SINKNAME"_s).contains(u"SNAME=暖阳\r\nSPDIR=%1皮肤/暖阳/主界面.jpg\r\n"_s.arg(user)));
        QVERIFY(text(user + u"MAIN.INI"_s).contains(u"mfile1=%1模板/两栏.htm\r\n"_s.arg(user)));
        QCOMPARE(read(user + u"lines.txt"_s), read(run.shipped.filePath(u"lines.txt"_s)));

        // What is the user's is as it was, byte for byte; the removed effect stays removed.
        const QMap<QString, QByteArray> after = snapshot(user);
        for (const QString &own : { u"简单复制/我的.txt"_s, u"菜单导航/外来.txt"_s, u"皮肤/湖蓝/主界面.jpg"_s })
            QCOMPARE(after.value(own), before.value(own));
        QVERIFY(effects.contains(u"l1=我的\r\n"_s) || effects.contains(u"=我的\r\n"_s));
        QVERIFY(effects.contains(u"=外来\r\n"_s));
        QVERIFY(effects.contains(u"[图片特效]\r\nTOTAL=2\r\nl1=轮换\r\nl2=百叶窗\r\n"_s));
        QVERIFY(!after.contains(u"图片特效/放大.txt"_s));
        // Every line the user's index had is still there, in order.
        QString rest = effects;
        for (const QString &line : Ansi::decode(before.value(u"LINK2.INI"_s)).split(u"\r\n"_s, Qt::SkipEmptyParts)) {
            if (line.startsWith(u"TOTAL="_s))
                continue;
            const qsizetype at = rest.indexOf(line);
            QVERIFY2(at >= 0, qPrintable(line));
            rest = rest.mid(at + line.size());
        }

        // A second start changes nothing.
        QVERIFY(!run.upgrade().isNeeded());
        QCOMPARE(run.upgrade().run(), QStringList());
        QCOMPARE(snapshot(user), after);
    }

    void anEditedCategoryIndexGetsTheNewCategoriesAppended()
    {
        Run run;
        QVERIFY(run.ship({ { u"图片特效"_s, { u"轮换"_s } } }).isEmpty());
        QCOMPARE(run.upgrade().run(), QStringList());
        const QString user = run.user();
        write(user + u"LINK1.INI"_s, Ansi::encode(u"[COMBOX]\r\nTOTAL=2\r\nL1=图片特效\r\nL2=我的分类\r\n"_s));
        QVERIFY(run.ship({ { u"图片特效"_s, { u"轮换"_s } }, { u"鼠标特效"_s, { u"拖尾"_s } } }).isEmpty());
        QCOMPARE(run.upgrade().run(), QStringList());
        QCOMPARE(
            text(user + u"LINK1.INI"_s), u"[COMBOX]\r\nTOTAL=3\r\nL1=图片特效\r\nL2=我的分类\r\nL3=鼠标特效\r\n"_s);
    }

    void theLibraryIsBesideTheProgramOrInTheUsersFolder()
    {
        QTemporaryDir root;
        const LocalFileSystem files;
        const QString user = root.filePath(u"home/.local/share/Vellumo"_s);
        // Installed: the library read-only under share/, the user's folder for the program.
        write(root.filePath(u"usr/share/vellumo/library/LINK1.INI"_s), "[COMBOX]\r\n");
        LibraryUpgrade::Place place = LibraryUpgrade::placeFor(files, root.filePath(u"usr/bin"_s), user);
        QCOMPARE(place.applicationFolder, user + u'/');
        QCOMPARE(place.shippedFolder, root.filePath(u"usr/share/vellumo/library/"_s));
        // A library beside the executable (the build's folder) is used as it is.
        write(root.filePath(u"usr/bin/LINK1.INI"_s), "[COMBOX]\r\n");
        place = LibraryUpgrade::placeFor(files, root.filePath(u"usr/bin/"_s), user);
        QCOMPARE(place.applicationFolder, root.filePath(u"usr/bin/"_s));
        QVERIFY(place.shippedFolder.isEmpty());
        // No library anywhere: the executable's folder, as before.
        place = LibraryUpgrade::placeFor(files, root.filePath(u"opt/x"_s), user);
        QCOMPARE(place.applicationFolder, root.filePath(u"opt/x/"_s));
        QVERIFY(place.shippedFolder.isEmpty());
    }

    // A manifest line may never make a start write outside the user's folder, nor over the program's
    // own hidden files there (the record, the lock, the writers' temporaries): it is refused and said,
    // the rest of the library is brought, and the next start is quiet. The same for the record.
    void manifestLinesLeavingTheFolderAreRefusedAndSaid_data()
    {
        QTest::addColumn<bool>("inRecord");
        QTest::addColumn<QString>("line"); // {sha}: a hash; {root}: the temporary folder
        QTest::addColumn<QString>("problems"); // "|" separates the lines said
        const QString outside = u"指向这个文件夹之外，没有复制"_s;
        QTest::newRow("climbs") << false << u"{sha} ../vellumo-escape.txt"_s
                                << u"特效库清单中的“../vellumo-escape.txt”"_s + outside;
        QTest::newRow("climbs from a category") << false << u"{sha} 图片特效/../../vellumo-escape.txt"_s
                                                << u"特效库清单中的“图片特效/../../vellumo-escape.txt”"_s + outside;
        QTest::newRow("absolute") << false << u"{sha} {root}/vellumo-escape.txt"_s
                                  << u"特效库清单中的“{root}/vellumo-escape.txt”"_s + outside;
        QTest::newRow("into the record") << false << u"{sha} .vellumo-shipped/LINK2.INI"_s
                                         << u"特效库清单中的“.vellumo-shipped/LINK2.INI”含有以“.”开头的名称，没有复制|"
                                            "特效库中的“.vellumo-shipped”以“.”开头，没有复制"_s;
        QTest::newRow("hidden in a category") << false << u"{sha} 图片特效/.x.js"_s
                                              << u"特效库清单中的“图片特效/.x.js”含有以“.”开头的名称，没有复制|"
                                                 "特效库中的“图片特效/.x.js”以“.”开头，没有复制"_s;
        QTest::newRow("no hash") << false << u"../vellumo-escape.txt"_s
                                 << u"特效库清单的第{n}行不是“<SHA-1> <路径>”，没有理会"_s;
        QTest::newRow("record climbs") << true << u"{sha} ../vellumo-escape.txt"_s
                                       << u"上次升级的记录中的“../vellumo-escape.txt”指向这个文件夹之外，没有理会"_s;
        QTest::newRow("record hidden") << true << u"{sha} .vellumo.lock"_s
                                       << u"上次升级的记录中的“.vellumo.lock”含有以“.”开头的名称，没有理会"_s;
    }

    void manifestLinesLeavingTheFolderAreRefusedAndSaid()
    {
        QFETCH(bool, inRecord);
        QFETCH(QString, line);
        QFETCH(QString, problems);
        QTemporaryDir root;
        LocalFileSystem files;
        const QString shipped = root.filePath(u"shipped/"_s);
        const QString user = root.filePath(u"home/Vellumo/"_s);
        librarySource(root.filePath(u"source"_s), { { u"图片特效"_s, { u"轮换"_s } } });
        QCOMPARE(LibraryLayout(root.filePath(u"source"_s), shipped).run(), QStringList());
        // What the line would bring, where it would be read from.
        write(root.filePath(u"vellumo-escape.txt"_s), "escape");
        for (const QString &hidden : { u".vellumo-shipped/LINK2.INI"_s, u"图片特效/.x.js"_s })
            if (line.contains(hidden))
                write(shipped + hidden, "hidden");
        if (inRecord)
            QCOMPARE(LibraryUpgrade(files, shipped, user).run(), QStringList());
        const QString manifest = (inRecord ? user + u".vellumo-shipped/"_s : shipped) + LibraryUpgrade::manifestName();
        const QByteArray listed = read(manifest);
        const QString sha = QString(40, u'0');
        const auto filled = [&](QString text) {
            return text.replace(u"{sha}"_s, sha)
                .replace(u"{root}"_s, root.path())
                .replace(u"{n}"_s, QString::number(listed.count('\n') + 1));
        };
        write(manifest, listed + filled(line).toUtf8() + '\n');
        QVERIFY(QDir().mkpath(root.filePath(u"home"_s))); // the user's folder is made in it
        const QMap<QString, QByteArray> outside = entriesOutside(root.path(), user);

        QCOMPARE(LibraryUpgrade(files, shipped, user).run(), filled(problems).split(u'|'));
        QCOMPARE(entriesOutside(root.path(), user), outside);
        QCOMPARE(text(user + u"图片特效/轮换.txt"_s), u"<!-- 轮换 -->"_s);
        QCOMPARE(read(user + u".vellumo-shipped/LINK2.INI"_s), read(shipped + u"LINK2.INI"_s));
        QVERIFY(!QFileInfo::exists(user + u"图片特效/.x.js"_s));
        // Said once: the next start finds the library up to date.
        QVERIFY(!LibraryUpgrade(files, shipped, user).isNeeded());
    }

    // Files of the shipped library whose names start with "." are in no manifest; they are said, not
    // left out silently. The manifest itself is the program's own.
    void hiddenFilesOfTheShippedLibraryAreSaid()
    {
        Run run;
        QVERIFY(run.ship({ { u"图片特效"_s, { u"轮换"_s } } }).isEmpty());
        write(run.shipped.filePath(u"图片特效/.DS_Store"_s), "finder");
        write(run.shipped.filePath(u".cache/a.txt"_s), "cache");
        QCOMPARE(run.upgrade().run(),
            (QStringList {
                u"特效库中的“.cache”以“.”开头，没有复制"_s, u"特效库中的“图片特效/.DS_Store”以“.”开头，没有复制"_s }));
        QCOMPARE(text(run.user() + u"图片特效/轮换.txt"_s), u"<!-- 轮换 -->"_s);
        QVERIFY(!QFileInfo::exists(run.user() + u"图片特效/.DS_Store"_s));
        QVERIFY(!QFileInfo::exists(run.user() + u".cache"_s));
    }

    void anUpgradeCutShortIsDoneAgainWithoutDuplicates()
    {
        Run run;
        QVERIFY(run.ship({ { u"图片特效"_s, { u"轮换"_s } } }).isEmpty());
        QCOMPARE(run.upgrade().run(), QStringList());
        QVERIFY(run.ship({ { u"图片特效"_s, { u"轮换"_s, u"放大"_s } } }).isEmpty());
        QCOMPARE(run.upgrade().run(), QStringList());
        // As if the program had ended before the manifest was recorded.
        QVERIFY(QFile::remove(run.user() + u".vellumo-shipped/"_s + LibraryUpgrade::manifestName()));
        LibraryUpgrade again = run.upgrade();
        QCOMPARE(again.run(), QStringList());
        QCOMPARE(again.addedEffects, QStringList());
        QVERIFY(text(run.user() + u"LINK2.INI"_s).contains(u"[图片特效]\r\nTOTAL=2\r\nl1=轮换\r\nl2=放大\r\n"_s));
    }
};

QTEST_APPLESS_MAIN(TestLibraryUpgrade)
#include "tst_libraryupgrade.moc"
