// Every write of the program on a real, small file system filled to its last page: the old file stays
// byte for byte, no temporary file is left, the user reads the usual error and nothing is reported
// done. Each command then runs again once the filler is gone and succeeds, so every case shows that
// it really met the full disk.
#include "editor/document.h"
#include "editor/stringdocumentview.h"
#include "library/effectindex.h"
#include "library/inicache.h"
#include "library/mainindex.h"
#include "library/skinregistry.h"
#include "platform/ansi.h"
#include "platform/errorguard.h"
#include "platform/folderlock.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"
#include "support/scripteddialogs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

#include <functional>
#include <memory>

#include <cerrno>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Kind = ScriptedDialogs::Kind;

namespace {
using IndexWrite = std::function<void(FileSystem &files, const QString &applicationFolder)>;

const QString Category = u"简单复制"_s;
const QString Effect = u"问候"_s;
// The package of one simple-copy effect, as the install reads it and as pack writes it.
const QString PackageText = u"[files]\r\nname=问候\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=问候.txt\r\n"_s;
const QString EffectText = u"<p>你好，欢迎光临</p>\r\n"_s;

QByteArray ansi(const QString &text)
{
    return Ansi::encode(text);
}

qint64 pageSize()
{
    return qint64(::sysconf(_SC_PAGESIZE));
}

// A folder's entries by name. The folder's lock file is made by the first locked write and stays there
// by design, so it is no leftover.
QStringList entries(const QString &folder)
{
    QStringList names
        = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    names.removeAll(FolderLock::fileName());
    return names;
}

// The message of the error the write raised; empty when it raised none.
QString errorOf(const std::function<void()> &write)
{
    try {
        write();
    } catch (const VellumoError &e) {
        return e.message();
    }
    return {};
}

struct ToolRun
{
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VELLUMO_LIBRARY_TOOL), arguments);
    ToolRun run;
    run.finished = process.waitForFinished(60000);
    run.status = process.exitStatus();
    run.code = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
}
Q_DECLARE_METATYPE(IndexWrite)

class TestFullDisk : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_mountPoint;
    std::unique_ptr<QTemporaryDir> m_outside;
    QString m_mounted;
    LocalFileSystem m_files;

    QString disk() const { return m_mounted; }
    // The folder under test; the filler lies beside it, so the folder holds only what a case put there.
    QString app() const { return m_mounted + u"/app/"_s; }
    QString filler() const { return m_mounted + u"/filler"_s; }
    QString outside() const { return m_outside->path() + u'/'; }

    static QString mountSmallDisk(const QString &at)
    {
        QProcess mount;
        mount.start(u"mount"_s, { u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=256k"_s, u"tmpfs"_s, at });
        if (!mount.waitForFinished())
            return mount.errorString();
        if (mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
            return QString::fromLocal8Bit(mount.readAllStandardError()).trimmed();
        return {};
    }

    qint64 freePages() const
    {
        struct statvfs st;
        if (::statvfs(QFile::encodeName(disk()).constData(), &st) != 0)
            return -1;
        return qint64(st.f_bfree) * qint64(st.f_frsize) / pageSize();
    }

    // Writes the filler until the disk refuses, so that exactly keepFree pages stay free.
    void fill(int keepFree = 0)
    {
        const QString reserve = disk() + u"/reserve"_s;
        if (keepFree > 0)
            TestFiles::write(reserve, QByteArray(keepFree * pageSize(), 'r'));
        const int fd = ::open(QFile::encodeName(filler()).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0);
        const QByteArray chunk(1 << 16, 'f');
        int refusal = 0;
        // Far more than the disk holds: a size the mount ignored ends the loop as well.
        for (qint64 written = 0; written < (qint64(1) << 24);) {
            const ssize_t n = ::write(fd, chunk.constData(), size_t(chunk.size()));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                refusal = errno;
                break;
            }
            written += n;
        }
        QCOMPARE(::close(fd), 0);
        QCOMPARE(refusal, ENOSPC);
        if (keepFree > 0)
            QVERIFY(QFile::remove(reserve));
        QCOMPARE(freePages(), qint64(keepFree));
    }

    void makeRoom()
    {
        QVERIFY(QFile::remove(filler()));
        QVERIFY(freePages() > 16);
    }

    // The application folder the package installs into, on the small disk.
    void layOutApplication(const QByteArray &effectIndex)
    {
        TestFiles::write(app() + u"LINK1.INI"_s, ansi(u"[COMBOX]\r\nTOTAL=1\r\nL1=简单复制\r\n"_s));
        TestFiles::write(app() + u"LINK2.INI"_s, effectIndex);
        QVERIFY(QDir().mkpath(app() + Category));
    }

private slots:
    void initTestCase()
    {
        QTemporaryDir probe;
        QVERIFY(probe.isValid());
        const QString refusal = mountSmallDisk(probe.path());
        if (!refusal.isEmpty())
            QSKIP(qPrintable(u"mounting a small file system is not allowed here: "_s + refusal));
        QCOMPARE(QProcess::execute(u"umount"_s, { probe.path() }), 0);
        QVERIFY2(QFileInfo(QStringLiteral(VELLUMO_LIBRARY_TOOL)).isExecutable(), VELLUMO_LIBRARY_TOOL);
    }

    void init()
    {
        IniCache::instance().clear();
        m_outside = std::make_unique<QTemporaryDir>();
        QVERIFY(m_outside->isValid());
        m_mountPoint = std::make_unique<QTemporaryDir>();
        QVERIFY(m_mountPoint->isValid());
        const QString refusal = mountSmallDisk(m_mountPoint->path());
        QVERIFY2(refusal.isEmpty(), qPrintable(refusal));
        m_mounted = m_mountPoint->path();
        QVERIFY(QDir().mkpath(app()));
    }

    void cleanup()
    {
        if (!m_mounted.isEmpty())
            QCOMPARE(QProcess::execute(u"umount"_s, { m_mounted }), 0);
        m_mounted.clear();
        m_mountPoint.reset();
        m_outside.reset();
    }

    void pageSaveLeavesTheOldPage_data()
    {
        QTest::addColumn<bool>("saveAs");
        // A second hard link makes the save rewrite the page in place.
        QTest::addColumn<bool>("linked");
        QTest::addColumn<int>("keepFree");
        QTest::addColumn<int>("addedLines");
        QTest::newRow("save") << false << false << 0 << 1;
        QTest::newRow("save as, over the same page") << true << false << 0 << 1;
        QTest::newRow("in place: no room for the copy") << false << true << 0 << 1;
        // The copy takes the free page; the page's growth by another finds none.
        QTest::newRow("in place: room for the copy, none for the new text") << false << true << 1 << 400;
    }
    void pageSaveLeavesTheOldPage()
    {
        QFETCH(bool, saveAs);
        QFETCH(bool, linked);
        QFETCH(int, keepFree);
        QFETCH(int, addedLines);
        const QString page = app() + u"page.htm"_s;
        const QByteArray old
            = ansi(u"<html>\r\n<head><meta charset=\"gb2312\"></head>\r\n<body>旧的网页</body>\r\n</html>\r\n"_s);
        const QString added = u"<p>新的段落</p>\r\n"_s.repeated(addedLines);
        TestFiles::write(page, old);
        QStringList pageEntries { u"page.htm"_s };
        if (linked) {
            QCOMPARE(
                ::link(QFile::encodeName(page).constData(), QFile::encodeName(app() + u"other.htm"_s).constData()), 0);
            pageEntries.prepend(u"other.htm"_s);
        }
        QStringList unexpected;
        ScriptedDialogs dialogs([&](const QString &what) { unexpected << what; });
        StringDocumentView view;
        Document document(view, dialogs, m_files, app());
        document.showDefaultPage();
        dialogs.expect(Kind::OpenFile, page);
        QVERIFY(ErrorGuard::run(dialogs, [&] { document.openPage(); }));
        view.type(added.toUtf8());
        const auto save = [&](bool fails) {
            if (saveAs) {
                dialogs.expect(Kind::SaveFile, page);
                dialogs.expect(Kind::Question, u"yes"_s);
            }
            if (fails)
                dialogs.expect(Kind::Error);
            dialogs.calls.clear();
            return ErrorGuard::run(dialogs, [&] { saveAs ? document.savePageAs() : document.savePage(); });
        };

        fill(keepFree);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!save(true));
        QVERIFY(dialogs.allAnswersUsed());
        QCOMPARE(unexpected, QStringList());
        QCOMPARE(dialogs.calls.last().kind, Kind::Error);
        QCOMPARE(dialogs.calls.last().text, u"Cannot create file "_s + page + u'.');
        QCOMPARE(TestFiles::read(page), old);
        QCOMPARE(entries(app()), pageEntries);
        QCOMPARE(freePages(), qint64(keepFree));
        QVERIFY(view.isModified());
        QCOMPARE(view.caption(), page);

        makeRoom();
        // No error box this time: one would be an unexpected dialog.
        QVERIFY(save(false));
        QCOMPARE(TestFiles::read(page), old + ansi(added));
        if (linked)
            QCOMPARE(TestFiles::read(app() + u"other.htm"_s), old + ansi(added));
        QCOMPARE(entries(app()), pageEntries);
        QVERIFY(!view.isModified());
        QVERIFY(dialogs.allAnswersUsed());
        QCOMPARE(unexpected, QStringList());
    }

    void indexWriteLeavesTheOldIndex_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<IndexWrite>("write");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("LINK2.INI: an effect appended")
            << u"LINK2.INI"_s << ansi(u"[简单复制]\r\nTOTAL=0\r\n[system]\r\n"_s)
            << IndexWrite([](FileSystem &files, const QString &app) {
                   EffectIndex(files, app).append(Category, Effect, u"1"_s);
               })
            << ansi(u"[简单复制]\r\nTOTAL=1\r\nl1=问候\r\n[system]\r\n简单复制问候=1\r\n"_s);
        const QString mainIndex
            = u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=\r\nNAME=\r\n[model]\r\nTOTAL=0\r\nmfile0=/t/一.htm\r\n"_s;
        QTest::newRow("MAIN.INI: the skin set")
            << u"MAIN.INI"_s << ansi(mainIndex) << IndexWrite([](FileSystem &files, const QString &app) {
                   MainIndex(files, app).setSkin(u"/p/主.jpg"_s, u"/p/状态.jpg"_s, u"蓝天"_s);
               })
            << ansi(u"[MAIN]\r\nMAINFORMIMG=/p/主.jpg\r\nLIMG=/p/状态.jpg\r\nNAME=蓝天\r\n[model]\r\nTOTAL=0\r\n"
                    "mfile0=/t/一.htm\r\n"_s);
        QTest::newRow("MAIN.INI: a template added")
            << u"MAIN.INI"_s << ansi(mainIndex) << IndexWrite([](FileSystem &files, const QString &app) {
                   MainIndex(files, app).addTemplate(u"/t/二.htm"_s);
               })
            << ansi(u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=\r\nNAME=\r\n[model]\r\nTOTAL=1\r\nmfile0=/t/一.htm\r\n"
                    "mfile1=/t/二.htm\r\n"_s);
        QTest::newRow("SINKNAME: a skin added")
            << u"SINKNAME"_s << ansi(u"[S]\r\nTOTAL=1\r\n[S1]\r\nSNAME=蓝天\r\nSPDIR=/p/m.jpg\r\nSLDIR=/p/s.jpg\r\n"_s)
            << IndexWrite([](FileSystem &files, const QString &app) {
                   SkinRegistry(files, app).add({ u"夜空"_s, u"/p/n.jpg"_s, u"/p/ns.jpg"_s });
               })
            << ansi(u"[S]\r\nTOTAL=2\r\n[S1]\r\nSNAME=蓝天\r\nSPDIR=/p/m.jpg\r\nSLDIR=/p/s.jpg\r\n"
                    "[S2]\r\nSNAME=夜空\r\nSPDIR=/p/n.jpg\r\nSLDIR=/p/ns.jpg\r\n"_s);
    }
    void indexWriteLeavesTheOldIndex()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, before);
        QFETCH(IndexWrite, write);
        QFETCH(QByteArray, after);
        TestFiles::write(app() + file, before);

        fill();
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(errorOf([&] { write(m_files, app()); }), u"Unable to write to "_s + app() + file);
        QCOMPARE(TestFiles::read(app() + file), before);
        QCOMPARE(entries(app()), QStringList { file });
        QCOMPARE(freePages(), 0);

        makeRoom();
        QCOMPARE(errorOf([&] { write(m_files, app()); }), QString());
        QCOMPARE(TestFiles::read(app() + file), after);
        QCOMPARE(entries(app()), QStringList { file });
    }

    void packageInstallLeavesNothingBehind_data()
    {
        QTest::addColumn<QString>("indexBefore");
        QTest::addColumn<int>("keepFree");
        QTest::addColumn<QString>("error");

        const QString index = u"[简单复制]\r\nTOTAL=0\r\n[system]\r\n"_s;
        QTest::newRow("no room for the effect's file") << index << 0 << u"Cannot create file app/简单复制/问候.txt"_s;
        // A LINK2.INI of three pages and one page free: the file is copied, the index cannot follow.
        QString notes = u"[备注]\r\n"_s;
        for (int n = 1; notes.size() < 3 * pageSize(); ++n)
            notes += u"n%1=这一行只是为了让索引文件变大\r\n"_s.arg(n);
        QTest::newRow("room for the effect's file, none for the index")
            << notes + index << 1 << u"Unable to write to app/LINK2.INI"_s;
    }
    void packageInstallLeavesNothingBehind()
    {
        QFETCH(QString, indexBefore);
        QFETCH(int, keepFree);
        QFETCH(QString, error);
        const QString package = outside() + u"pkg/问候.gx"_s;
        TestFiles::write(package, ansi(PackageText));
        TestFiles::write(outside() + u"pkg/问候.txt"_s, ansi(EffectText));
        const QByteArray before = ansi(indexBefore);
        layOutApplication(before);
        const QStringList command { u"-C"_s, app(), u"install"_s, package };
        const QStringList appEntries { u"LINK1.INI"_s, u"LINK2.INI"_s, Category };

        fill(keepFree);
        if (QTest::currentTestFailed())
            return;
        const ToolRun failed = runTool(command);
        QVERIFY2(failed.finished && failed.status == QProcess::NormalExit, failed.err.constData());
        QVERIFY2(failed.code != 0, failed.err.constData());
        const QString expected = u"vellumo-library: "_s + QString(error).replace(u"app/"_s, app()) + u'\n';
        QVERIFY2(failed.err.contains(expected.toUtf8()), failed.err.constData());
        QCOMPARE(failed.out, QByteArray());
        QCOMPARE(TestFiles::read(app() + u"LINK2.INI"_s), before);
        QCOMPARE(entries(app()), appEntries);
        QCOMPARE(entries(app() + Category), QStringList());
        // A copied file that was taken back gave its page back.
        QCOMPARE(freePages(), qint64(keepFree));

        makeRoom();
        const ToolRun done = runTool(command);
        QVERIFY2(done.finished && done.status == QProcess::NormalExit, done.err.constData());
        QCOMPARE(done.code, 0);
        QCOMPARE(done.out, u"installed 简单复制/问候\n"_s.toUtf8());
        QCOMPARE(TestFiles::read(app() + u"LINK2.INI"_s),
            ansi(
                QString(indexBefore)
                    .replace(u"TOTAL=0\r\n[system]\r\n"_s, u"TOTAL=1\r\nl1=问候\r\n[system]\r\n简单复制问候=1\r\n"_s)));
        QCOMPARE(entries(app()), appEntries);
        QCOMPARE(entries(app() + Category), QStringList { u"问候.txt"_s });
        QCOMPARE(TestFiles::read(app() + u"简单复制/问候.txt"_s), ansi(EffectText));
    }

    void packLeavesNoPackageBehind_data()
    {
        QTest::addColumn<bool>("olderPackage");
        QTest::addColumn<QString>("error");
        QTest::newRow("into an empty folder") << false << u"cannot copy lib/简单复制/问候.txt to out/问候.txt"_s;
        QTest::newRow("over an older package and its file") << true << u"Unable to write to out/问候.gx"_s;
    }
    void packLeavesNoPackageBehind()
    {
        QFETCH(bool, olderPackage);
        QFETCH(QString, error);
        const QString library = outside() + u"lib/"_s;
        TestFiles::write(library + u"LINK1.INI"_s, ansi(u"[COMBOX]\r\nTOTAL=1\r\nL1=简单复制\r\n"_s));
        TestFiles::write(
            library + u"LINK2.INI"_s, ansi(u"[简单复制]\r\nTOTAL=1\r\nL1=问候\r\n[system]\r\n简单复制问候=1\r\n"_s));
        TestFiles::write(library + u"简单复制/问候.txt"_s, ansi(EffectText));
        const QString out = disk() + u"/out/"_s;
        QVERIFY(QDir().mkpath(out));
        // An older package of the effect: its file is the same, its list of files is not.
        const QByteArray older = ansi(u"[files]\r\nname=问候\r\nflistno=1\r\nflist=简单复制\r\nft=0\r\n"_s);
        QStringList outEntries;
        if (olderPackage) {
            TestFiles::write(out + u"问候.gx"_s, older);
            TestFiles::write(out + u"问候.txt"_s, ansi(EffectText));
            outEntries = QStringList { u"问候.gx"_s, u"问候.txt"_s };
        }
        const QStringList command { u"-C"_s, library, u"pack"_s, Category, Effect, u"-o"_s, out + u"问候.gx"_s };

        fill();
        if (QTest::currentTestFailed())
            return;
        const ToolRun failed = runTool(command);
        QVERIFY2(failed.finished && failed.status == QProcess::NormalExit, failed.err.constData());
        QVERIFY2(failed.code != 0, failed.err.constData());
        const QString expected
            = u"vellumo-library: "_s + QString(error).replace(u"lib/"_s, library).replace(u"out/"_s, out) + u'\n';
        QVERIFY2(failed.err.contains(expected.toUtf8()), failed.err.constData());
        QCOMPARE(failed.out, QByteArray());
        QCOMPARE(entries(out), outEntries);
        QCOMPARE(TestFiles::read(out + u"问候.gx"_s), olderPackage ? older : QByteArray("<missing>"));
        QCOMPARE(freePages(), 0);

        makeRoom();
        const ToolRun done = runTool(command);
        QVERIFY2(done.finished && done.status == QProcess::NormalExit, done.err.constData());
        QCOMPARE(done.code, 0);
        QCOMPARE(done.out, (u"packed 简单复制/问候 into "_s + out + u"问候.gx\n"_s).toUtf8());
        QCOMPARE(entries(out), (QStringList { u"问候.gx"_s, u"问候.txt"_s }));
        QCOMPARE(TestFiles::read(out + u"问候.gx"_s), ansi(PackageText));
        QCOMPARE(TestFiles::read(out + u"问候.txt"_s), ansi(EffectText));
    }
};

QTEST_APPLESS_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
