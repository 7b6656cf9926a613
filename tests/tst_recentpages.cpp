// The recently opened pages without a display: ten kept, most recent first, each once, in the
// settings file's own section beside the other settings.
#include "editor/recentpages.h"
#include "platform/localfilesystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

using namespace Qt::StringLiterals;

class TestRecentPages : public QObject
{
    Q_OBJECT

private slots:
    void listKeepsTheLastTenMostRecentFirstEachOnce_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("none") << QStringList {} << QStringList {};
        QTest::newRow("one") << QStringList { u"/p/a.htm"_s } << QStringList { u"/p/a.htm"_s };
        QTest::newRow("most recent first") << QStringList { u"/p/a.htm"_s, u"/p/b.htm"_s, u"/p/c.html"_s }
                                           << QStringList { u"/p/c.html"_s, u"/p/b.htm"_s, u"/p/a.htm"_s };
        QTest::newRow("again goes to the top, once") << QStringList { u"/p/a.htm"_s, u"/p/b.htm"_s, u"/p/c.htm"_s,
            u"/p/a.htm"_s } << QStringList { u"/p/a.htm"_s, u"/p/c.htm"_s, u"/p/b.htm"_s };
        QTest::newRow("the top again changes nothing") << QStringList { u"/p/a.htm"_s, u"/p/b.htm"_s, u"/p/b.htm"_s }
                                                       << QStringList { u"/p/b.htm"_s, u"/p/a.htm"_s };
        QStringList twelve, lastTen;
        for (int i = 1; i <= 12; ++i)
            twelve << u"/p/页面%1.htm"_s.arg(i);
        for (int i = 12; i >= 3; --i)
            lastTen << u"/p/页面%1.htm"_s.arg(i);
        QTest::newRow("twelve keep the last ten") << twelve << lastTen;
        QTest::newRow("letter case differs: two pages")
            << QStringList { u"/p/A.htm"_s, u"/p/a.htm"_s } << QStringList { u"/p/a.htm"_s, u"/p/A.htm"_s };
    }
    void listKeepsTheLastTenMostRecentFirstEachOnce()
    {
        QFETCH(QStringList, added);
        QFETCH(QStringList, listed);
        QTemporaryDir dir;
        LocalFileSystem files;
        const QString settings = dir.filePath(u"config/Vellumo/mainform"_s);
        for (const QString &page : added)
            RecentPages(files, settings).add(page);
        // A new reader, as another window or the next run sees it.
        QCOMPARE(RecentPages(files, settings).pages(), listed);
    }

    void removedPageLeavesTheOthersInOrder()
    {
        QTemporaryDir dir;
        LocalFileSystem files;
        RecentPages recent(files, dir.filePath(u"mainform"_s));
        for (const QString &page : { u"/p/a.htm"_s, u"/p/b.htm"_s, u"/p/c.htm"_s })
            recent.add(page);
        recent.remove(u"/p/b.htm"_s);
        QCOMPARE(recent.pages(), (QStringList { u"/p/c.htm"_s, u"/p/a.htm"_s }));
        recent.remove(u"/p/gone.htm"_s);
        QCOMPARE(recent.pages(), (QStringList { u"/p/c.htm"_s, u"/p/a.htm"_s }));
        recent.clear();
        QCOMPARE(recent.pages(), QStringList {});
    }

    void listIsKeptInItsOwnSectionBesideTheOtherSettings()
    {
        QTemporaryDir dir;
        LocalFileSystem files;
        const QString settings = dir.filePath(u"mainform"_s);
        TestFiles::write(settings, "[form]\r\nNormPos=1,2,3,4\r\n");
        RecentPages recent(files, settings);
        recent.add(u"/p/a.htm"_s);
        recent.add(u"/p/b.htm"_s);
        recent.remove(u"/p/b.htm"_s);
        QFile file(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
            QByteArray("[form]\r\nNormPos=1,2,3,4\r\n[recent]\r\nTOTAL=1\r\npage1=/p/a.htm\r\npage2=\r\npage3=\r\n"
                       "page4=\r\npage5=\r\npage6=\r\npage7=\r\npage8=\r\npage9=\r\npage10=\r\n"));
    }

    void listEditedByHandIsReadSafely_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("count not a number")
            << QByteArray("[recent]\r\nTOTAL=x\r\npage1=/p/a.htm\r\n") << QStringList {};
        QTest::newRow("count beyond ten") << QByteArray("[recent]\r\nTOTAL=99\r\npage1=/p/a.htm\r\npage11=/p/k.htm\r\n")
                                          << QStringList { u"/p/a.htm"_s };
        QTest::newRow("empty and repeated entries")
            << QByteArray("[recent]\r\nTOTAL=4\r\npage1=/p/a.htm\r\npage2=\r\npage3=/p/a.htm\r\npage4=/p/b.htm\r\n")
            << QStringList { u"/p/a.htm"_s, u"/p/b.htm"_s };
    }
    void listEditedByHandIsReadSafely()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, listed);
        QTemporaryDir dir;
        LocalFileSystem files;
        TestFiles::write(dir.filePath(u"mainform"_s), file);
        QCOMPARE(RecentPages(files, dir.filePath(u"mainform"_s)).pages(), listed);
    }
};

QTEST_APPLESS_MAIN(TestRecentPages)
#include "tst_recentpages.moc"
