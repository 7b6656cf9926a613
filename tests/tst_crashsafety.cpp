// The writer killed with SIGKILL at random moments while it saves a large page and rewrites LINK2.INI:
// each file is always a whole version, never a mix or a cut-off one.
#include "library/inidocument.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "crashsafety/versions.h"
#include "testfiles.h"

using namespace Qt::StringLiterals;

class TestCrashSafety : public QObject
{
    Q_OBJECT

    // Starts the writer and waits until it is set up, so that the kill falls among its writes.
    static void startReady(QProcess &writer, const QString &folder)
    {
        writer.start(QStringLiteral(VELLUMO_CRASHWRITER), { folder });
        QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
        QVERIFY2(writer.waitForReadyRead(60000), "the writer never got ready");
        QVERIFY(writer.peek(6) == "ready\n");
    }

private slots:
    void killedWriterLeavesWholeFiles()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QByteArray pages[3] = { "<p>before</p>", CrashVersions::pageBytes(0), CrashVersions::pageBytes(1) };
        const QByteArray indexes[3]
            = { CrashVersions::initialIndex(), CrashVersions::indexBytes(0), CrashVersions::indexBytes(1) };
        TestFiles::write(folder + u"page.htm"_s, pages[0]);
        TestFiles::write(folder + u"LINK2.INI"_s, indexes[0]);

        // How long a round (a page save and an index write) takes on this machine now.
        qint64 roundNs = 0;
        {
            QProcess writer;
            startReady(writer, folder);
            if (QTest::currentTestFailed())
                return;
            QElapsedTimer timer;
            timer.start();
            while (writer.readAllStandardOutput().count('\n') < 1 && timer.elapsed() < 60000)
                writer.waitForReadyRead(100);
            QByteArray printed;
            timer.restart();
            while (printed.count('\n') < 3 && timer.elapsed() < 60000) {
                writer.waitForReadyRead(100);
                printed += writer.readAllStandardOutput();
            }
            roundNs = timer.nsecsElapsed() / 3;
            writer.kill();
            writer.waitForFinished();
            QVERIFY2(printed.count('\n') >= 3, "the writer finished no rounds");
        }

        QRandomGenerator random(20261208);
        const int kills = 200;
        int roundsSeen = 0, midRound = 0;
        for (int kill = 0; kill < kills; ++kill) {
            QProcess writer;
            startReady(writer, folder);
            if (QTest::currentTestFailed())
                return;
            // The kill lands anywhere in the first three rounds.
            QThread::usleep(random.bounded(qint64(1), 3 * roundNs / 1000));
            QCOMPARE(writer.state(), QProcess::Running);
            writer.kill();
            QVERIFY(writer.waitForFinished());
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            const QByteArray printed = writer.readAllStandardOutput();
            roundsSeen += printed.count('\n') - (printed.startsWith("ready\n") ? 1 : 0);
            QVERIFY2(writer.readAllStandardError().isEmpty(), "the writer reported an error");

            const QByteArray page = TestFiles::read(folder + u"page.htm"_s);
            const QByteArray index = TestFiles::read(folder + u"LINK2.INI"_s);
            QVERIFY2(page == pages[0] || page == pages[1] || page == pages[2],
                qPrintable(u"kill %1: the page is %2 bytes, no whole version"_s.arg(kill).arg(page.size())));
            const int indexVersion = index == indexes[1] ? 1 : index == indexes[2] ? 2 : index == indexes[0] ? 0 : -1;
            QVERIFY2(indexVersion >= 0,
                qPrintable(u"kill %1: LINK2.INI is %2 bytes, no whole version"_s.arg(kill).arg(index.size())));
            // The counter and its entry always agree.
            const IniDocument read(index);
            if (indexVersion > 0)
                QCOMPARE(read.read(u"崩溃测试"_s, u"TOTAL"_s), QString::number(indexVersion));
            QCOMPARE(read.read(u"system"_s, u"类别0特效0"_s), u"1"_s);
            if (page != pages[0] && indexVersion > 0 && (page == pages[1]) != (indexVersion == 1))
                ++midRound;
        }
        // The files left behind by killed saves are the writer's temporary ones only.
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : left)
            QVERIFY2(name == u"page.htm"_s || name == u"LINK2.INI"_s || name.startsWith(u"page.htm."_s)
                    || name.startsWith(u"LINK2.INI."_s),
                qPrintable(name));
        qInfo("kills survived: %d; rounds finished before the kills: %d; kills between a page save and its index "
              "write: %d; temporary files left by killed saves: %lld",
            kills, roundsSeen, midRound, qlonglong(left.size() - 2));
        QVERIFY2(roundsSeen > 0, "no kill came after a finished round");
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
