// The library check against a small sound library with one fault put in at a time.
#include "library/inicache.h"
#include "library/librarycheck.h"
#include "platform/ansi.h"
#include "platform/localfilesystem.h"

#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

using namespace Qt::StringLiterals;

namespace {
const QString Link1 = u"[COMBOX]\r\nTOTAL=2\r\nL1=类\r\nL2=空\r\n"_s;
const QString Link2
    = u"[类]\r\nTOTAL=4\r\nl1=抄\r\nl2=图\r\nl3=菜单\r\nl4=字\r\n[空]\r\nTOTAL=0\r\n[system]\r\n类抄=1\r\n类图=2\r\n类菜单=3\r\n类字=4\r\n"_s;
const QString Image
    = u"[file]\r\nimgfilet=1\r\nimgfilename1=0\r\ntxtfilet=1\r\ntxtfilename1=a.js\r\nft=1\r\nfno1=p.txt\r\n"
      "intop1=<\r\ninbu1=>\r\n[abcd]\r\ntotal=2\r\nopen1=fno1\r\nopen2=inname1\r\n"_s;
const QString Menu
    = u"[file]\r\nimgfilet=x\r\nmm=1\r\nmmtop=<\r\nmmbu=>\r\ncatop=<\r\ncabu=>\r\nlitop=\r\nlibu=\r\ntxtmto=\r\n"
      "txtmbu=\r\nlt=1\r\nlinks1=<hr>\r\nft=0\r\n[list]\r\ntotal=3\r\nlist1=txtca\r\nlist2=NILS\r\nlist3=txtli\r\n"
      "[abcd]\r\ntotal=3\r\nopen1=txtm\r\nopen2=Links1\r\nopen3=list\r\n"_s;
const QString Text
    = u"[file]\r\nft=0\r\ntxttop=<\r\ntxtbu=>\r\nfonttop=\r\nfontbu=\r\nttt=1\r\nttttop=\r\ntttbu=\r\n[list]\r\n"
      "total=2\r\nlist1=txt\r\nlist2=font\r\n[abcd]\r\ntotal=2\r\nopen1=list\r\nopen2=TTT\r\n"_s;
}

class TestLibraryCheck : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString app() const { return m_dir.path() + u"/app/"_s; }
    void put(const QString &name, const QString &text) { TestFiles::write(app() + name, Ansi::encode(text)); }
    void edit(const QString &name, const QString &from, const QString &to)
    {
        QString text = Ansi::decode(TestFiles::read(app() + name));
        QVERIFY2(text.contains(from), qPrintable(from));
        put(name, text.replace(from, to));
    }
    QStringList problems()
    {
        LocalFileSystem files;
        QStringList lines;
        for (const LibraryCheck::Problem &problem : LibraryCheck(files, app()).run())
            lines << problem.line();
        return lines;
    }

private slots:
    void init()
    {
        IniCache::instance().clear();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(app() + u"空"_s);
        put(u"LINK1.INI"_s, Link1);
        put(u"LINK2.INI"_s, Link2);
        put(u"类/抄.txt"_s, u"<b>x</b>"_s);
        put(u"类/图"_s, Image);
        put(u"类/a.js"_s, u"var a;"_s);
        put(u"类/p.txt"_s, u"<p>"_s);
        put(u"类/菜单"_s, Menu);
        put(u"类/字"_s, Text);
    }

    void aSoundLibraryHasNoProblems() { QCOMPARE(problems(), QStringList()); }

    // One line per problem; "|" separates the lines a fault gives.
    void eachFaultIsOneLine_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("problem");
        QTest::newRow("category folder missing") << u"LINK1.INI"_s << u"TOTAL=2"_s << u"TOTAL=3\r\nL3=无"_s
                                                 << u"无: its folder is missing|无: LINK2.INI has no TOTAL for it"_s;
        QTest::newRow("no TOTAL") << u"LINK2.INI"_s << u"[空]\r\nTOTAL=0"_s << u"[空]"_s
                                  << u"空: LINK2.INI has no TOTAL for it"_s;
        QTest::newRow("TOTAL no number") << u"LINK2.INI"_s << u"TOTAL=0"_s << u"TOTAL=zero"_s
                                         << u"空: its TOTAL 'zero' in LINK2.INI is not a number"_s;
        QTest::newRow("no kind") << u"LINK2.INI"_s << u"类抄=1\r\n"_s << QString()
                                 << u"类/抄: has no kind in [system]"_s;
        QTest::newRow("unknown kind") << u"LINK2.INI"_s << u"类抄=1"_s << u"类抄=7"_s
                                      << u"类/抄: kind '7' is no kind the program knows"_s;
        QTest::newRow("simple-copy text missing")
            << u"LINK2.INI"_s << u"l1=抄"_s << u"l1=别"_s << u"类/别: has no kind in [system]"_s;
        QTest::newRow("definition missing")
            << u"LINK2.INI"_s << u"l2=图"_s << u"l2=无图"_s << u"类/无图: has no kind in [system]"_s;
        QTest::newRow("count no number") << u"类/图"_s << u"txtfilet=1"_s << u"txtfilet=one"_s
                                         << u"类/图: [file] txtfilet 'one' is not a number"_s;
        QTest::newRow("named file missing") << u"类/图"_s << u"txtfilename1=a.js"_s << u"txtfilename1=b.js"_s
                                            << u"类/图: txtfilename1 names b.js, which is not there"_s;
        QTest::newRow("piece missing") << u"类/图"_s << u"fno1=p.txt"_s << u"fno1=q.txt"_s
                                       << u"类/图: fno1 names q.txt, which is not there"_s;
        QTest::newRow("step unknown to the image window")
            << u"类/图"_s << u"open2=inname1"_s << u"open2=inname2"_s
            << u"类/图: [abcd] open2 'inname2' is no element this kind of effect knows"_s;
        QTest::newRow("image pair missing")
            << u"类/图"_s << u"inbu1=>\r\n"_s << QString() << u"类/图: token inname1 needs inbu1 in [file]"_s;
        QTest::newRow("steps without total")
            << u"类/图"_s << u"total=2\r\n"_s << QString() << u"类/图: [abcd] total '' is not a number"_s;
        QTest::newRow("piece token beyond ft")
            << u"类/菜单"_s << u"open3=list"_s << u"open3=fno1"_s
            << u"类/菜单: [abcd] open3 'fno1' is no element this kind of effect knows"_s;
        QTest::newRow("row unknown to the menu window")
            << u"类/菜单"_s << u"list2=NILS"_s << u"list2=txt"_s
            << u"类/菜单: [list] list2 'txt' is no element this kind of effect knows"_s;
        QTest::newRow("menu pair missing")
            << u"类/菜单"_s << u"cabu=>\r\n"_s << QString() << u"类/菜单: token txtca needs cabu in [file]"_s;
        QTest::newRow("parent menu pair missing") << u"类/菜单"_s << u"mmtop=<\r\n"_s << QString()
                                                  << u"类/菜单: token parent menus (mm=1) needs mmtop in [file]"_s;
        QTest::newRow("fixed link missing")
            << u"类/菜单"_s << u"links1=<hr>\r\n"_s << QString() << u"类/菜单: links1 is missing from [file]"_s;
        QTest::newRow("text pair missing")
            << u"类/字"_s << u"fontbu=\r\n"_s << QString() << u"类/字: token font needs fontbu in [file]"_s;
        QTest::newRow("count mode undefined")
            << u"类/字"_s << u"ttt=1"_s << u"ttt=2"_s << u"类/字: token TTT needs ttt to be 0 or 1"_s;
        QTest::newRow("negative TOTAL") << u"LINK2.INI"_s << u"[空]\r\nTOTAL=0"_s << u"[空]\r\nTOTAL=-1"_s
                                        << u"空: its TOTAL '-1' in LINK2.INI is negative"_s;
        QTest::newRow("negative category TOTAL")
            << u"LINK1.INI"_s << u"TOTAL=2"_s << u"TOTAL=-1"_s << u"LINK1.INI: its TOTAL '-1' is negative"_s;
        QTest::newRow("negative count") << u"类/图"_s << u"txtfilet=1"_s << u"txtfilet=-1"_s
                                        << u"类/图: [file] txtfilet '-1' is negative"_s;
        QTest::newRow("negative piece count")
            << u"类/菜单"_s << u"ft=0"_s << u"ft=-3"_s << u"类/菜单: [file] ft '-3' is negative"_s;
        QTest::newRow("empty entry") << u"LINK2.INI"_s << u"l2=图"_s << u"l2="_s
                                     << u"类: entry l2 in LINK2.INI is empty"_s;
        QTest::newRow("entry missing") << u"LINK2.INI"_s << u"l3=菜单\r\n"_s << QString()
                                       << u"类: entry l3 in LINK2.INI is empty"_s;
        // A counter far beyond the entries is one fault, however many empty entries it makes.
        QTest::newRow("TOTAL beyond the entries")
            << u"LINK2.INI"_s << u"[类]\r\nTOTAL=4"_s << u"[类]\r\nTOTAL=1000000"_s
            << u"类: entries l5 to l1000000 in LINK2.INI are empty"_s;
        QTest::newRow("effect name climbs") << u"LINK2.INI"_s << u"l1=抄"_s << u"l1=../抄"_s
                                            << u"类/../抄: its name leads out of the category folder"_s;
        QTest::newRow("named file outside")
            << u"类/图"_s << u"txtfilename1=a.js"_s << u"txtfilename1=..\\..\\LINK1.INI"_s
            << u"类/图: txtfilename1 names ..\\..\\LINK1.INI, which leads out of the category folder"_s;
        QTest::newRow("piece outside") << u"类/图"_s << u"fno1=p.txt"_s << u"fno1=/etc/passwd"_s
                                       << u"类/图: fno1 names /etc/passwd, which leads out of the category folder"_s;
        QTest::newRow("step unknown to the text window")
            << u"类/字"_s << u"open1=list"_s << u"open1=txt"_s
            << u"类/字: [abcd] open1 'txt' is no element this kind of effect knows"_s;
    }

    void eachFaultIsOneLine()
    {
        QFETCH(QString, file);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, problem);
        edit(file, from, to);
        QCOMPARE(problems(), problem.split(u'|'));
    }

    void missingFilesOfAnEffect()
    {
        QFile::remove(app() + u"类/抄.txt"_s);
        QFile::remove(app() + u"类/字"_s);
        QCOMPARE(problems(),
            (QStringList { u"类/抄: its text file 抄.txt is missing"_s, u"类/字: its definition file is missing"_s }));
    }
};

QTEST_APPLESS_MAIN(TestLibraryCheck)
#include "tst_librarycheck.moc"
