#include "library/applicationfolder.h"
#include "library/categoryindex.h"
#include "library/effectindex.h"
#include "library/inicache.h"
#include "library/mainindex.h"
#include "platform/ansi.h"
#include "platform/vellumoerror.h"
#include "support/scriptedfilesystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

using namespace Qt::StringLiterals;

class TestIndexFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedFileSystem m_files;
    QString folder() const { return m_dir.path() + u'/'; }
    void put(const QString &name, const QString &text) { TestFiles::write(folder() + name, Ansi::encode(text)); }
    QString get(const QString &name) { return Ansi::decode(TestFiles::read(folder() + name)); }
    template <typename F> QString errorOf(F &&f)
    {
        try {
            f();
        } catch (const VellumoError &e) {
            return e.message();
        }
        return {};
    }

private slots:
    void init()
    {
        IniCache::instance().clear();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        m_files = ScriptedFileSystem();
    }

    void applicationFolderEndsWithOneSeparator_data()
    {
        QTest::addColumn<QString>("executableFolder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << u"/opt/vellumo"_s << u"/opt/vellumo/"_s;
        QTest::newRow("root") << u"/"_s << u"/"_s;
        QTest::newRow("already ends") << u"/opt/v/"_s << u"/opt/v/"_s;
        QTest::newRow("Chinese") << u"/home/用户/网页"_s << u"/home/用户/网页/"_s;
    }
    void applicationFolderEndsWithOneSeparator()
    {
        QFETCH(QString, executableFolder);
        QFETCH(QString, expected);
        QCOMPARE(ApplicationFolder::fromExecutableFolder(executableFolder), expected);
    }

    void categoriesInListOrder_data()
    {
        QTest::addColumn<QString>("link1");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("error");
        QTest::newRow("three") << u"[COMBOX]\r\nTOTAL=3\r\nL1=图片特效\r\nL2=菜单导航\r\nL3=简单复制\r\n"_s
                               << QStringList { u"图片特效"_s, u"菜单导航"_s, u"简单复制"_s } << QString();
        QTest::newRow("gap gives an empty item")
            << u"[COMBOX]\r\nTOTAL=3\r\nL1=a\r\nL3=c\r\n"_s << QStringList { u"a"_s, QString(), u"c"_s } << QString();
        QTest::newRow("keys beyond TOTAL unread")
            << u"[COMBOX]\r\nTOTAL=1\r\nL1=a\r\nL2=b\r\n"_s << QStringList { u"a"_s } << QString();
        QTest::newRow("zero") << u"[COMBOX]\r\nTOTAL=0\r\nL1=a\r\n"_s << QStringList() << QString();
        QTest::newRow("lower-case keys") << u"[combox]\r\ntotal=1\r\nl1=a\r\n"_s << QStringList { u"a"_s } << QString();
        QTest::newRow("no TOTAL") << u"[COMBOX]\r\nL1=a\r\n"_s << QStringList() << u"'' is not a valid integer value"_s;
        QTest::newRow("no number") << u"[COMBOX]\r\nTOTAL=3a\r\n"_s << QStringList()
                                   << u"'3a' is not a valid integer value"_s;
        QTest::newRow("too big for an integer") << u"[COMBOX]\r\nTOTAL=99999999999\r\n"_s << QStringList()
                                                << u"'99999999999' is not a valid integer value"_s;
        QTest::newRow("negative lists nothing") << u"[COMBOX]\r\nTOTAL=-1\r\n"_s << QStringList() << QString();
    }
    void categoriesInListOrder()
    {
        QFETCH(QString, link1);
        QFETCH(QStringList, expected);
        QFETCH(QString, error);
        put(u"LINK1.INI"_s, link1);
        QStringList got;
        QCOMPARE(errorOf([&] { got = CategoryIndex(m_files, folder()).categories(); }), error);
        QCOMPARE(got, expected);
    }

    void missingCategoryIndexIsEmpty() { QCOMPARE(CategoryIndex(m_files, folder()).categories(), QStringList()); }

    void hugeCounterListsOnlyUpToTheKeysPresent()
    {
        put(u"LINK1.INI"_s, u"[COMBOX]\r\nTOTAL=2000000000\r\nL1=a\r\nL20000=z\r\n"_s);
        const QStringList got = CategoryIndex(m_files, folder()).categories();
        QCOMPARE(got.size(), 20000);
        QCOMPARE(got.first(), u"a"_s);
        QCOMPARE(got.last(), u"z"_s);
    }

    // A counter just past the long-list bound never lists the keys beyond it.
    void longListEndsAtItsCounter()
    {
        put(u"LINK1.INI"_s, u"[COMBOX]\r\nTOTAL=10001\r\nL1=a\r\nL20000=z\r\n"_s);
        const QStringList got = CategoryIndex(m_files, folder()).categories();
        QCOMPARE(got.size(), 10001);
        QVERIFY(!got.contains(u"z"_s));
    }

    void effectListOfACategory_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two") << u"[图片特效]\r\nTOTAL=2\r\nl1=渐变\r\nL2=轮换\r\n"_s << true
                             << QStringList { u"渐变"_s, u"轮换"_s };
        QTest::newRow("zero") << u"[图片特效]\r\nTOTAL=0\r\nL1=x\r\n"_s << false << QStringList();
        QTest::newRow("empty") << u"[图片特效]\r\nTOTAL=\r\n"_s << false << QStringList();
        QTest::newRow("no section") << u"[other]\r\nTOTAL=1\r\n"_s << false << QStringList();
        QTest::newRow("duplicates kept") << u"[图片特效]\r\nTOTAL=2\r\nL1=a\r\nL2=a\r\n"_s << true
                                         << QStringList { u"a"_s, u"a"_s };
    }
    void effectListOfACategory()
    {
        QFETCH(QString, section);
        QFETCH(bool, listed);
        QFETCH(QStringList, expected);
        put(u"LINK2.INI"_s, section);
        const auto effects = EffectIndex(m_files, folder()).effects(u"图片特效"_s);
        QCOMPARE(effects.has_value(), listed);
        QCOMPARE(effects.value_or(QStringList()), expected);
    }

    void nonNumericEffectCountIsAnError()
    {
        put(u"LINK2.INI"_s, u"[c]\r\nTOTAL=x\r\n"_s);
        QCOMPARE(
            errorOf([&] { EffectIndex(m_files, folder()).effects(u"c"_s); }), u"'x' is not a valid integer value"_s);
    }

    void appendingAnEffectWritesThreeKeysInOrder()
    {
        put(u"LINK2.INI"_s, u"[简单复制]\r\nTOTAL=1\r\nl1=旧\r\n[system]\r\n简单复制旧=1\r\n"_s);
        EffectIndex index(m_files, folder());
        index.append(u"简单复制"_s, u"新"_s, u"1"_s);
        index.append(u"简单复制"_s, u"新"_s, u"1"_s); // installed twice: listed twice, one kind key
        QCOMPARE(get(u"LINK2.INI"_s),
            u"[简单复制]\r\nTOTAL=3\r\nl1=旧\r\nl2=新\r\nl3=新\r\n[system]\r\n简单复制旧=1\r\n简单复制新=1\r\n"_s);
        QCOMPARE(index.effects(u"简单复制"_s).value(), (QStringList { u"旧"_s, u"新"_s, u"新"_s }));
        QCOMPARE(index.kind(u"简单复制"_s, u"新"_s), u"1"_s);
    }

    void appendToASectionWithoutTotalRegistersNothing()
    {
        put(u"LINK2.INI"_s, u"[system]\r\n"_s);
        EffectIndex index(m_files, folder());
        QCOMPARE(errorOf([&] { index.append(u"新类"_s, u"e"_s, u"2"_s); }), u"'' is not a valid integer value"_s);
        QCOMPARE(get(u"LINK2.INI"_s), u"[system]\r\n"_s);
    }

    void kindKeysOfConcatenatedNamesCoincide()
    {
        put(u"LINK2.INI"_s, u"[AB]\r\nTOTAL=0\r\n[A]\r\nTOTAL=0\r\n"_s);
        EffectIndex index(m_files, folder());
        index.append(u"AB"_s, u"C"_s, u"2"_s);
        index.append(u"A"_s, u"BC"_s, u"4"_s);
        QCOMPARE(index.kind(u"AB"_s, u"C"_s), u"4"_s);
    }

    void missingEffectIndexReadsEmpty()
    {
        EffectIndex index(m_files, folder());
        QVERIFY(!index.effects(u"x"_s).has_value());
        QCOMPARE(index.kind(u"x"_s, u"y"_s), QString());
    }

    void skinKeysReadAndWritten()
    {
        put(u"MAIN.INI"_s,
            u"[MAIN]\r\nMAINFORMIMG=/p/a.jpg\r\nLIMG=/p/b.jpg\r\nNAME=蓝色\r\n[model]\r\nTOTAL=-1\r\n"_s);
        MainIndex index(m_files, folder());
        QCOMPARE(index.skinPictures().mainImage, u"/p/a.jpg"_s);
        QCOMPARE(index.skinPictures().statusImage, u"/p/b.jpg"_s);
        QCOMPARE(index.skinName(), u"蓝色"_s);
        index.setSkin({}, {}, {});
        QCOMPARE(get(u"MAIN.INI"_s), u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=\r\nNAME=\r\n[model]\r\nTOTAL=-1\r\n"_s);
    }

    void templatesNumberedFromZero()
    {
        put(u"MAIN.INI"_s, u"[model]\r\nTOTAL=-1\r\n"_s);
        MainIndex index(m_files, folder());
        QCOMPARE(index.templates(), QStringList());
        index.addTemplate(u"/a.htm"_s);
        index.addTemplate(u"/b.htm"_s);
        QCOMPARE(index.templates(), (QStringList { u"/a.htm"_s, u"/b.htm"_s }));
        QCOMPARE(get(u"MAIN.INI"_s), u"[model]\r\nTOTAL=1\r\nmfile0=/a.htm\r\nmfile1=/b.htm\r\n"_s);
        index.rewriteTemplates({});
        QCOMPARE(index.templates(), QStringList());
        QCOMPARE(get(u"MAIN.INI"_s), u"[model]\r\nTOTAL=-1\r\nmfile0=/a.htm\r\nmfile1=/b.htm\r\n"_s);
    }

    void templatesWithoutModelSectionIsAnError()
    {
        put(u"MAIN.INI"_s, u"[MAIN]\r\n"_s);
        QCOMPARE(errorOf([&] { MainIndex(m_files, folder()).templates(); }), u"'' is not a valid integer value"_s);
        QCOMPARE(
            errorOf([&] { MainIndex(m_files, folder()).addTemplate(u"/x"_s); }), u"'' is not a valid integer value"_s);
        QCOMPARE(get(u"MAIN.INI"_s), u"[MAIN]\r\n"_s);
    }

    void readOnlyFolderReadsButRefusesWrites()
    {
        put(u"LINK2.INI"_s, u"[c]\r\nTOTAL=1\r\nL1=e\r\n"_s);
        m_files.refuseWritesUnder(folder());
        EffectIndex index(m_files, folder());
        QCOMPARE(index.effects(u"c"_s).value(), QStringList { u"e"_s });
        QCOMPARE(errorOf([&] { index.append(u"c"_s, u"f"_s, u"1"_s); }),
            u"Unable to write to "_s + folder() + u"LINK2.INI"_s);
        QCOMPARE(get(u"LINK2.INI"_s), u"[c]\r\nTOTAL=1\r\nL1=e\r\n"_s);
    }
};

QTEST_APPLESS_MAIN(TestIndexFiles)
#include "tst_indexfiles.moc"
