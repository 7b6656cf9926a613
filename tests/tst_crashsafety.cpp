// The writer killed with SIGKILL at random moments while it saves a large page and rewrites LINK2.INI,
// or while it installs an update package: each file is always a whole version, never a mix or a
// cut-off one, and never seen under its name before it is whole.
#include "library/inicache.h"
#include "library/inidocument.h"
#include "library/packageinstaller.h"
#include "platform/folderlock.h"
#include "platform/localfilesystem.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "crashsafety/versions.h"
#include "testfiles.h"

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

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
    void killedWriterLeavesWholeFiles_data()
    {
        QTest::addColumn<bool>("linked");
        QTest::newRow("a page replaced by a new file") << false;
        // A second hard link makes each save rewrite the page in place.
        QTest::newRow("a hard-linked page rewritten in place") << true;
    }
    void killedWriterLeavesWholeFiles()
    {
        QFETCH(bool, linked);
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QString pagePath = folder + u"page.htm"_s;
        const QString otherPath = folder + u"other.htm"_s;
        const QByteArray pages[3] = { "<p>before</p>", CrashVersions::pageBytes(0), CrashVersions::pageBytes(1) };
        const QByteArray indexes[3]
            = { CrashVersions::initialIndex(), CrashVersions::indexBytes(0), CrashVersions::indexBytes(1) };
        TestFiles::write(pagePath, pages[0]);
        TestFiles::write(folder + u"LINK2.INI"_s, indexes[0]);
        if (linked)
            QCOMPARE(::link(QFile::encodeName(pagePath).constData(), QFile::encodeName(otherPath).constData()), 0);

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
        int roundsSeen = 0, midRound = 0, putBack = 0;
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

            QByteArray page = TestFiles::read(pagePath);
            const QByteArray index = TestFiles::read(folder + u"LINK2.INI"_s);
            const auto whole = [&pages](const QByteArray &bytes) {
                return bytes == pages[0] || bytes == pages[1] || bytes == pages[2];
            };
            if (linked) {
                // In place, the page is a whole version, or the one synced copy beside it holds the
                // version it had, and the page is put back from it.
                const QStringList copies
                    = QDir(folder).entryList({ u".page.htm.vellumo-*"_s }, QDir::Files | QDir::Hidden);
                QVERIFY2(copies.size() <= 1, qPrintable(copies.join(u' ')));
                if (!whole(page)) {
                    QVERIFY2(copies.size() == 1,
                        qPrintable(u"kill %1: the page is %2 bytes and has no copy"_s.arg(kill).arg(page.size())));
                    page = TestFiles::read(folder + copies.first());
                    QVERIFY2(whole(page), qPrintable(u"kill %1: the copy is no whole version"_s.arg(kill)));
                    TestFiles::write(pagePath, page);
                    ++putBack;
                }
                for (const QString &copy : copies)
                    QVERIFY(QFile::remove(folder + copy));
                struct stat pageStat, otherStat;
                QCOMPARE(::stat(QFile::encodeName(pagePath).constData(), &pageStat), 0);
                QCOMPARE(::stat(QFile::encodeName(otherPath).constData(), &otherStat), 0);
                QCOMPARE(pageStat.st_ino, otherStat.st_ino);
                QCOMPARE(pageStat.st_nlink, nlink_t(2));
            }
            QVERIFY2(whole(page),
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
            QVERIFY2(name == u"page.htm"_s || name == u"LINK2.INI"_s || (linked && name == u"other.htm"_s)
                    || name.startsWith(u".page.htm.vellumo-"_s) || name.startsWith(u".LINK2.INI.vellumo-"_s),
                qPrintable(name));
        qInfo("kills survived: %d; rounds finished before the kills: %d; kills between a page save and its index "
              "write: %d; temporary files left by killed saves: %lld; pages put back from their copy: %d",
            kills, roundsSeen, midRound, qlonglong(left.filter(QRegularExpression(u"^\\."_s)).size()), putBack);
        QVERIFY2(roundsSeen > 0, "no kill came after a finished round");
    }

    void killedInstallShowsNoPartFile()
    {
        QTemporaryDir dir;
        const QString app = dir.path() + u"/app/"_s;
        const QString package = dir.path() + u"/pkg/崩溃.gx"_s;
        const QString category = app + u"崩溃测试/"_s;
        TestFiles::write(app + u"LINK1.INI"_s, Ansi::encode(u"[COMBOX]\r\nTOTAL=1\r\nL1=崩溃测试\r\n"_s));
        const QByteArray indexBefore = Ansi::encode(u"[崩溃测试]\r\nTOTAL=0\r\n[system]\r\n"_s);
        const QByteArray indexAfter
            = Ansi::encode(u"[崩溃测试]\r\nTOTAL=1\r\nl1=崩溃\r\n[system]\r\n崩溃测试崩溃=1\r\n"_s);
        QVERIFY(QDir().mkpath(category));
        // Files of a few megabytes, so that kills land in the middle of their copies.
        QMap<QString, QByteArray> files;
        for (const QString &name : { u"崩溃.txt"_s, u"图.gif"_s, u"脚本.js"_s }) {
            QByteArray bytes;
            for (int line = 0; bytes.size() < 4 * 1024 * 1024; ++line)
                bytes += (name + u" 第%1行\r\n"_s.arg(line)).toUtf8();
            files.insert(name, bytes);
            TestFiles::write(dir.path() + u"/pkg/"_s + name, bytes);
        }
        TestFiles::write(package,
            Ansi::encode(u"[files]\r\nname=崩溃\r\nflistno=1\r\nflist=崩溃测试\r\nft=3\r\nftname1=崩溃.txt\r\n"
                         "ftname2=图.gif\r\nftname3=脚本.js\r\n"_s));
        const auto reset = [&] {
            TestFiles::write(app + u"LINK2.INI"_s, indexBefore);
            for (const QString &name : files.keys())
                QFile::remove(category + name);
        };
        const auto run = [&](QProcess &writer) {
            writer.start(QStringLiteral(VELLUMO_CRASHWRITER), { u"install"_s, app, package });
            QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
            QVERIFY2(writer.waitForReadyRead(60000), "the writer never got ready");
            QVERIFY(writer.peek(6) == "ready\n");
        };

        // How long an install takes on this machine now.
        qint64 installNs = 0;
        {
            reset();
            QProcess writer;
            run(writer);
            if (QTest::currentTestFailed())
                return;
            QElapsedTimer timer;
            timer.start();
            QVERIFY(writer.waitForFinished(60000));
            installNs = timer.nsecsElapsed();
            QCOMPARE(writer.readAllStandardError(), QByteArray());
            QCOMPARE(TestFiles::read(app + u"LINK2.INI"_s), indexAfter);
        }

        QRandomGenerator random(20261209);
        const int kills = 100;
        int midCopy = 0, installedBeforeKill = 0;
        for (int kill = 0; kill < kills; ++kill) {
            reset();
            QProcess writer;
            run(writer);
            if (QTest::currentTestFailed())
                return;
            QThread::usleep(random.bounded(qint64(1), installNs / 1000));
            writer.kill();
            QVERIFY(writer.waitForFinished());
            if (writer.exitStatus() == QProcess::NormalExit)
                ++installedBeforeKill;

            // Under its own name a file is whole or not there; a cut copy lies under a hidden name.
            QStringList temporaries;
            for (const QString &name : QDir(category).entryList(QDir::Files | QDir::Hidden)) {
                if (name.startsWith(u'.') && name.contains(u".vellumo-"_s)) {
                    temporaries << name;
                    continue;
                }
                QVERIFY2(files.contains(name), qPrintable(name));
                QVERIFY2(TestFiles::read(category + name) == files.value(name),
                    qPrintable(u"kill %1: %2 is %3 bytes, not whole"_s.arg(kill).arg(name).arg(
                        QFileInfo(category + name).size())));
            }
            if (!temporaries.isEmpty())
                ++midCopy;
            for (QString &name : temporaries)
                name.prepend(category);
            // The index is whole too; a kill in its write leaves a temporary beside it.
            const QByteArray index = TestFiles::read(app + u"LINK2.INI"_s);
            QVERIFY2(index == indexBefore || index == indexAfter, qPrintable(u"kill %1: LINK2.INI cut"_s.arg(kill)));
            for (const QString &name : QDir(app).entryList(QDir::Files | QDir::Hidden))
                if (name.startsWith(u".LINK2.INI.vellumo-"_s))
                    temporaries << app + name;

            // The next install, from wherever the killed one stopped, goes through.
            IniCache::instance().clear();
            LocalFileSystem local;
            const PackageInstaller::Outcome outcome = PackageInstaller(local, app).installAll({ package });
            QVERIFY2(outcome.end
                    == (index == indexAfter ? PackageInstaller::End::AlreadyInstalled
                                            : PackageInstaller::End::Installed),
                qPrintable(u"kill %1: %2"_s.arg(kill).arg(outcome.refusal)));
            for (auto it = files.begin(); it != files.end(); ++it)
                QVERIFY(TestFiles::read(category + it.key()) == it.value());
            QCOMPARE(TestFiles::read(app + u"LINK2.INI"_s), indexAfter);

            // What the kill left goes at the next start: it is older than that start.
            const timeval past[2] = { { time(nullptr) - 60, 0 }, { time(nullptr) - 60, 0 } };
            for (const QString &path : temporaries)
                QCOMPARE(::utimes(QFile::encodeName(path).constData(), past), 0);
            QCOMPARE(FolderLock::clearStaleTemporaries(app), int(temporaries.size()));
            QCOMPARE(QDir(category).entryList(QDir::Files | QDir::Hidden).size(), files.size());
            QCOMPARE(QDir(app).entryList(QDir::Files | QDir::Hidden),
                (QStringList { FolderLock::fileName(), u"LINK1.INI"_s, u"LINK2.INI"_s }));
        }
        qInfo("install kills: %d; in the middle of a copy: %d; after the install ended: %d", kills, midCopy,
            installedBeforeKill);
        QVERIFY2(midCopy > 0, "no kill came in the middle of a copy");
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
