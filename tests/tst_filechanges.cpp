#include "library/inicache.h"
#include "library/inifile.h"
#include "platform/filechanges.h"
#include "platform/localfilesystem.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

#include <functional>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// Every version of the file has the same size, so that only its bytes tell them apart.
const QByteArray Before("[S]\r\nk=1\r\n");
const QByteArray After("[S]\r\nk=2\r\n");

// Runs a shell script in another process, with args as $1, $2, ...; fails the test unless it succeeds.
void shell(const QString &script, const QStringList &args = {})
{
    QProcess process;
    process.start(u"sh"_s, QStringList{u"-c"_s, script, u"sh"_s} + args);
    QVERIFY(process.waitForFinished());
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             process.readAllStandardError().constData());
}

// Changes the bytes in place: same inode, same size.
void overwrite(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QCOMPARE(file.write(bytes), bytes.size());
}

using Step = std::function<void(const QString &root)>;
}
Q_DECLARE_METATYPE(Step)

class TestFileChanges : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    LocalFileSystem m_files;
    QString m_mounted;
    QString root() const { return m_dir->path(); }
    QString at(const QString &relative) const { return m_dir->filePath(relative); }

    void seenAtTheNextAccess(bool elsewhere)
    {
        QFETCH(QString, path);
        QFETCH(Step, prepare);
        QFETCH(Step, change);
        QFETCH(QString, expected);
        const auto inTurn = [elsewhere](const std::function<void()> &access) {
            if (elsewhere)
                std::thread(access).join();
            else
                access();
        };
        const auto read = [&](IniFile &file) {
            QString value;
            inTurn([&] { value = file.readString(u"S"_s, u"k"_s); });
            return value;
        };
        const auto countOf = [&](const QString &of) {
            std::optional<quint64> count;
            inTurn([&] { count = m_files.changeCount(of); });
            return count;
        };
        prepare(root());
        if (QTest::currentTestFailed())
            return;
        IniFile file(m_files, at(path));
        QCOMPARE(read(file), u"1"_s);
        // The reads now rest on the count alone: it must not have moved for them.
        const std::optional<quint64> count = countOf(file.path());
        QVERIFY(count);
        QCOMPARE(read(file), u"1"_s);
        QCOMPARE(countOf(file.path()), count);
        change(root());
        if (QTest::currentTestFailed())
            return;
        if (QByteArray(QTest::currentDataTag()).contains("mounted") && m_mounted.isEmpty())
            QSKIP("mounting needs privileges this run lacks");
        QCOMPARE(read(file), expected);
        // Whatever the file now is, it is watched in its turn.
        TestFiles::write(file.path(), "[S]\r\nk=3\r\n");
        QCOMPARE(read(file), u"3"_s);
    }

private slots:
    void init()
    {
        IniCache::instance().clear();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        if (!m_mounted.isEmpty())
            QProcess::execute(u"umount"_s, {m_mounted});
        m_mounted.clear();
        m_dir.reset();
    }

    void changeIsSeenByTheNextAccess_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<Step>("prepare");
        QTest::addColumn<Step>("change");
        QTest::addColumn<QString>("expected");

        const QString file = u"a/b/test.ini"_s;
        const Step plain = [](const QString &root) { TestFiles::write(root + u"/a/b/test.ini"_s, Before); };

        QTest::newRow("rewritten in place at once")
            << file << plain << Step([](const QString &root) { TestFiles::write(root + u"/a/b/test.ini"_s, After); })
            << u"2"_s;
        QTest::newRow("bytes changed without truncating")
            << file << plain << Step([](const QString &root) { overwrite(root + u"/a/b/test.ini"_s, After); })
            << u"2"_s;
        QTest::newRow("rewritten by another process")
            << file << plain
            << Step([](const QString &root) {
                   shell(u"printf '[S]\\r\\nk=2\\r\\n' > \"$1\""_s, {root + u"/a/b/test.ini"_s});
               })
            << u"2"_s;
        QTest::newRow("bytes changed by another process")
            << file << plain
            << Step([](const QString &root) {
                   shell(u"printf 2 | dd of=\"$1\" bs=1 seek=7 conv=notrunc status=none"_s,
                         {root + u"/a/b/test.ini"_s});
               })
            << u"2"_s;
        QTest::newRow("truncated")
            << file << plain << Step([](const QString &root) { QVERIFY(QFile::resize(root + u"/a/b/test.ini"_s, 5)); })
            << QString();
        QTest::newRow("replaced by a rename")
            << file << plain
            << Step([](const QString &root) {
                   QSaveFile save(root + u"/a/b/test.ini"_s);
                   QVERIFY(save.open(QIODevice::WriteOnly));
                   save.write(After);
                   QVERIFY(save.commit());
               })
            << u"2"_s;
        QTest::newRow("replaced by mv in another process")
            << file << plain
            << Step([](const QString &root) {
                   TestFiles::write(root + u"/new.ini"_s, After);
                   shell(u"mv \"$1\" \"$2\""_s, {root + u"/new.ini"_s, root + u"/a/b/test.ini"_s});
               })
            << u"2"_s;
        QTest::newRow("deleted")
            << file << plain << Step([](const QString &root) { QVERIFY(QFile::remove(root + u"/a/b/test.ini"_s)); })
            << QString();
        QTest::newRow("deleted and written again")
            << file << plain
            << Step([](const QString &root) {
                   QVERIFY(QFile::remove(root + u"/a/b/test.ini"_s));
                   TestFiles::write(root + u"/a/b/test.ini"_s, After);
               })
            << u"2"_s;
        QTest::newRow("replaced by a file of another spelling")
            << u"a/b/LINK2.INI"_s
            << Step([](const QString &root) {
                   TestFiles::write(root + u"/a/b/LINK2.INI"_s, Before);
                   TestFiles::write(root + u"/a/b/other.ini"_s, After);
               })
            << Step([](const QString &root) {
                   QVERIFY(QFile::remove(root + u"/a/b/LINK2.INI"_s));
                   QVERIFY(QFile::rename(root + u"/a/b/other.ini"_s, root + u"/a/b/link2.ini"_s));
               })
            << u"2"_s;
        QTest::newRow("changed through a hard link in another folder")
            << file
            << Step([](const QString &root) {
                   TestFiles::write(root + u"/a/b/test.ini"_s, Before);
                   QVERIFY(QDir().mkpath(root + u"/elsewhere"_s));
                   QCOMPARE(::link(QFile::encodeName(root + u"/a/b/test.ini"_s).constData(),
                                   QFile::encodeName(root + u"/elsewhere/alias.ini"_s).constData()),
                            0);
               })
            << Step([](const QString &root) { overwrite(root + u"/elsewhere/alias.ini"_s, After); }) << u"2"_s;
        QTest::newRow("its folder renamed away and another put in its place")
            << file
            << Step([](const QString &root) {
                   TestFiles::write(root + u"/a/b/test.ini"_s, Before);
                   TestFiles::write(root + u"/a/c/test.ini"_s, After);
               })
            << Step([](const QString &root) {
                   QVERIFY(QDir().rename(root + u"/a/b"_s, root + u"/a/old"_s));
                   QVERIFY(QDir().rename(root + u"/a/c"_s, root + u"/a/b"_s));
               })
            << u"2"_s;
        QTest::newRow("a folder further up renamed away and another put in its place")
            << file
            << Step([](const QString &root) {
                   TestFiles::write(root + u"/a/b/test.ini"_s, Before);
                   TestFiles::write(root + u"/c/b/test.ini"_s, After);
               })
            << Step([](const QString &root) {
                   shell(u"mv \"$1/a\" \"$1/old\" && mv \"$1/c\" \"$1/a\""_s, {root});
               })
            << u"2"_s;
        QTest::newRow("a link on the way pointed elsewhere")
            << u"a/link/test.ini"_s
            << Step([](const QString &root) {
                   TestFiles::write(root + u"/a/one/test.ini"_s, Before);
                   TestFiles::write(root + u"/a/two/test.ini"_s, After);
                   QVERIFY(QFile::link(u"one"_s, root + u"/a/link"_s));
               })
            << Step([](const QString &root) { shell(u"ln -sfn two \"$1/a/link\""_s, {root}); }) << u"2"_s;
        QTest::newRow("a link to the file changed through its target")
            << u"a/b/link.ini"_s
            << Step([](const QString &root) {
                   TestFiles::write(root + u"/target/test.ini"_s, Before);
                   QDir().mkpath(root + u"/a/b"_s);
                   QVERIFY(QFile::link(root + u"/target/test.ini"_s, root + u"/a/b/link.ini"_s));
               })
            << Step([](const QString &root) { TestFiles::write(root + u"/target/test.ini"_s, After); }) << u"2"_s;
        QTest::newRow("a file system mounted over a folder on the way")
            << file << plain
            << Step([this](const QString &root) {
                   if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"none"_s, root + u"/a"_s}) != 0)
                       return;
                   m_mounted = root + u"/a"_s;
                   TestFiles::write(root + u"/a/b/test.ini"_s, After);
               })
            << u"2"_s;
    }

    void changeIsSeenByTheNextAccess() { seenAtTheNextAccess(false); }

    // Threads other than the one the process-wide instance was made in ask the kernel instead.
    void changeIsSeenByTheNextAccessFromAnotherThread_data() { changeIsSeenByTheNextAccess_data(); }
    void changeIsSeenByTheNextAccessFromAnotherThread() { seenAtTheNextAccess(true); }

    void countStaysWhileTheFileDoesNotChange_data()
    {
        QTest::addColumn<Step>("act");
        QTest::newRow("the file read") << Step([](const QString &root) {
            QCOMPARE(TestFiles::read(root + u"/a/b/test.ini"_s), Before);
        });
        QTest::newRow("another file of its folder written")
            << Step([](const QString &root) { TestFiles::write(root + u"/a/b/other.ini"_s, After); });
        QTest::newRow("a file written in a folder on the way")
            << Step([](const QString &root) { TestFiles::write(root + u"/a/other.ini"_s, After); });
        QTest::newRow("another folder made beside one on the way")
            << Step([](const QString &root) { QVERIFY(QDir().mkpath(root + u"/a/c/d"_s)); });
    }

    void countStaysWhileTheFileDoesNotChange()
    {
        QFETCH(Step, act);
        const QString path = at(u"a/b/test.ini"_s);
        TestFiles::write(path, Before);
        const std::optional<quint64> count = m_files.changeCount(path);
        QVERIFY(count);
        act(root());
        QCOMPARE(m_files.changeCount(path), count);
    }

    void everyOneOfManyFilesIsSeenChanged()
    {
        // More files than either cache holds, so that the oldest are dropped and taken up again.
        const int files = FileChanges::MaxPaths + IniCache::MaxFiles;
        const auto name = [this](int n) { return at(u"many/%1.ini"_s.arg(n, 4, 10, QChar(u'0'))); };
        for (int n = 0; n < files; ++n)
            TestFiles::write(name(n), Before);
        for (int round = 0; round < 2; ++round)
            for (int n = 0; n < files; ++n)
                QCOMPARE(IniFile(m_files, name(n)).readString(u"S"_s, u"k"_s), u"1"_s);
        for (int n = 0; n < files; ++n) {
            IniFile file(m_files, name(n));
            QCOMPARE(file.readString(u"S"_s, u"k"_s), u"1"_s);
            overwrite(name(n), After);
            QCOMPARE(file.readString(u"S"_s, u"k"_s), u"2"_s);
        }
    }

    void writeByTheProgramThenByAnotherProcess()
    {
        const QString path = at(u"test.ini"_s);
        TestFiles::write(path, Before);
        IniFile file(m_files, path);
        QCOMPARE(file.readString(u"S"_s, u"k"_s), u"1"_s);
        file.writeString(u"S"_s, u"k"_s, u"3"_s);
        QCOMPARE(file.readString(u"S"_s, u"k"_s), u"3"_s);
        shell(u"printf '[S]\\r\\nk=4\\r\\n' > \"$1\""_s, {path});
        QCOMPARE(file.readString(u"S"_s, u"k"_s), u"4"_s);
    }

    void noticesTakenByAnotherThreadStillCount()
    {
        // Another thread has no shared ring to read; it asks the kernel, and its reading of the
        // notices must not hide them from this thread.
        const QString path = at(u"a/test.ini"_s);
        TestFiles::write(path, Before);
        const std::optional<quint64> first = m_files.changeCount(path);
        QVERIFY(first);
        overwrite(path, After);
        std::optional<quint64> there;
        std::thread([&] { there = m_files.changeCount(path); }).join();
        QVERIFY(there);
        QVERIFY(*there != *first);
        const std::optional<quint64> here = m_files.changeCount(path);
        QVERIFY(here);
        QVERIFY(*here != *first);
        overwrite(path, Before);
        std::optional<quint64> again;
        std::thread([&] { again = m_files.changeCount(path); }).join();
        QVERIFY(again && *again != *there);
    }

    void lostNoticesCountAsChanges()
    {
        FileChanges changes;
        const QString path = at(u"test.ini"_s);
        TestFiles::write(path, Before);
        const std::optional<quint64> count = changes.changeCount(path);
        QVERIFY(count);
        // More notices than the kernel queues, all about other files: the queue overflows.
        QFile queued(u"/proc/sys/fs/inotify/max_queued_events"_s);
        QVERIFY(queued.open(QIODevice::ReadOnly));
        const int limit = queued.readAll().trimmed().toInt();
        QVERIFY(limit > 0);
        const QByteArray one = QFile::encodeName(at(u"one.ini"_s));
        const QByteArray two = QFile::encodeName(at(u"two.ini"_s));
        const int fds[2] = {::open(one.constData(), O_WRONLY | O_CREAT, 0644),
                            ::open(two.constData(), O_WRONLY | O_CREAT, 0644)};
        QVERIFY(fds[0] >= 0 && fds[1] >= 0);
        // Alternating, so that no notice repeats the one before it and none is merged.
        for (int n = 0; n <= limit; ++n)
            QCOMPARE(::write(fds[n % 2], "x", 1), ssize_t(1));
        ::close(fds[0]);
        ::close(fds[1]);
        QVERIFY(changes.changeCount(path) != count);
    }

    void changeWithoutNoticeIsSeenWithinASecond()
    {
        // A write through a shared memory map raises no notice; only the periodic look finds it.
        const QString path = at(u"test.ini"_s);
        TestFiles::write(path, Before);
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
        QVERIFY(fd >= 0);
        void *map = ::mmap(nullptr, size_t(Before.size()), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        ::close(fd);
        QVERIFY(map != MAP_FAILED);
        IniFile file(m_files, path);
        QCOMPARE(file.readString(u"S"_s, u"k"_s), u"1"_s);
        static_cast<char *>(map)[7] = '2';
        QTest::qSleep(int(FileChanges::RecheckAfter.count()) + 100);
        const QString seen = file.readString(u"S"_s, u"k"_s);
        // Letting the map go closes the file, which does raise a notice: only after the read.
        ::munmap(map, size_t(Before.size()));
        QCOMPARE(seen, u"2"_s);
    }

    void countCannotBeTold_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("maxWatches");
        QTest::addColumn<bool>("withoutInotify");
        QTest::addColumn<bool>("told");

        QTest::newRow("a watchable file") << u"a/b/test.ini"_s << FileChanges::DefaultMaxWatches << false << true;
        QTest::newRow("a missing file in an existing folder")
            << u"a/b/none.ini"_s << FileChanges::DefaultMaxWatches << false << true;
        QTest::newRow("relative path") << QString() << FileChanges::DefaultMaxWatches << false << false;
        QTest::newRow("folder missing") << u"a/none/test.ini"_s << FileChanges::DefaultMaxWatches << false << false;
        QTest::newRow("a file on the way") << u"a/b/test.ini/x.ini"_s << FileChanges::DefaultMaxWatches << false
                                           << false;
        QTest::newRow("no watch left") << u"a/b/test.ini"_s << 2 << false << false;
        QTest::newRow("no inotify") << u"a/b/test.ini"_s << FileChanges::DefaultMaxWatches << true << false;
    }

    void countCannotBeTold()
    {
        QFETCH(QString, path);
        QFETCH(int, maxWatches);
        QFETCH(bool, withoutInotify);
        QFETCH(bool, told);
        TestFiles::write(at(u"a/b/test.ini"_s), Before);
        std::unique_ptr<FileChanges> changes;
        if (withoutInotify) {
            // No descriptor left: inotify cannot be opened.
            rlimit old;
            QCOMPARE(getrlimit(RLIMIT_NOFILE, &old), 0);
            const int lowest = ::dup(0);
            QVERIFY(lowest >= 0);
            ::close(lowest);
            rlimit tight = old;
            tight.rlim_cur = rlim_t(lowest);
            QCOMPARE(setrlimit(RLIMIT_NOFILE, &tight), 0);
            changes = std::make_unique<FileChanges>(maxWatches);
            QCOMPARE(setrlimit(RLIMIT_NOFILE, &old), 0);
        } else {
            changes = std::make_unique<FileChanges>(maxWatches);
        }
        const QString asked = path.isEmpty() ? u"a/b/test.ini"_s : at(path);
        QCOMPARE(changes->changeCount(asked).has_value(), told);
        // Asked again, the answer stands.
        QCOMPARE(changes->changeCount(asked).has_value(), told);
    }
};

QTEST_APPLESS_MAIN(TestFileChanges)
#include "tst_filechanges.moc"
