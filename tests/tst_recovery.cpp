// Recovery copies without a display: what a copy holds, the folder shared by running programs, the
// offer at start, the keeper's timing, and a page opened while another program has unsaved changes of it.
#include "editor/document.h"
#include "editor/recoverycopy.h"
#include "editor/recoveryfolder.h"
#include "editor/recoverykeeper.h"
#include "editor/recoveryoffer.h"
#include "editor/stringdocumentview.h"
#include "platform/localfilesystem.h"
#include "support/scripteddialogs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "testfiles.h"

using namespace Qt::StringLiterals;
using Kind = ScriptedDialogs::Kind;

Q_DECLARE_METATYPE(PageEncoding)
Q_DECLARE_METATYPE(LineEnds)

namespace {
RecoveryCopy copyOf(const QString &path, const QByteArray &text, qint64 writtenMs = 1700000000000)
{
    RecoveryCopy copy;
    copy.pagePath = path;
    copy.utf8 = text;
    copy.written = QDateTime::fromMSecsSinceEpoch(writtenMs, Qt::UTC);
    return copy;
}

// A page on a view of its own, beside a recovery folder, as a window keeps them.
struct KeptPage
{
    QTemporaryDir dir;
    LocalFileSystem files;
    ScriptedDialogs dialogs { [](const QString &what) { QFAIL(qPrintable(what)); } };
    StringDocumentView view;
    Document document { view, dialogs, files, dir.path() + u'/' };
    RecoveryFolder folder { files, dir.filePath(u"recovery"_s) };
};
}

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void aCopyReadsBackAsItWasWritten_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<PageEncoding>("encoding");
        QTest::addColumn<LineEnds>("lineEnds");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("new page") << QString() << PageEncoding::Gb18030 << LineEnds::CrLf << QByteArray("<p>x</p>\r\n");
        QTest::newRow("Chinese name, UTF-8 with mark, LF")
            << u"/home/用户/页 面.htm"_s << PageEncoding::Utf8Bom << LineEnds::Lf << u"你好"_s.toUtf8();
        // A name may hold what the header is made of.
        QTest::newRow("line break, = and % in the name")
            << u"/tmp/a\nb=c%20d\n\n.htm"_s << PageEncoding::Utf8 << LineEnds::CrLf << QByteArray("text");
        // The text may look like a header and hold empty lines and NULs.
        QTest::newRow("text like a header") << u"/p.htm"_s << PageEncoding::Gb18030 << LineEnds::CrLf
                                            << QByteArray("\n\nVELLUMO RECOVERY 1\npage=/etc/passwd\n\n\0end", 42);
        // Each line keeps its own break; a page reopened in another encoding keeps it.
        QTest::newRow("Big5, mixed breaks, CR for new lines")
            << u"/p.htm"_s << PageEncoding(u"Big5"_s, false) << LineEnds::Cr << QByteArray("a\rb\r\nc\nd\r\r\n");
        QTest::newRow("UTF-16 BE with its mark")
            << u"/p.htm"_s << PageEncoding::Utf16Be << LineEnds::CrLf << u"你好"_s.toUtf8();
        QTest::newRow("empty text") << u"/p.htm"_s << PageEncoding::Utf8 << LineEnds::Lf << QByteArray();
    }
    void aCopyReadsBackAsItWasWritten()
    {
        QFETCH(QString, path);
        QFETCH(PageEncoding, encoding);
        QFETCH(LineEnds, lineEnds);
        QFETCH(QByteArray, text);
        RecoveryCopy copy = copyOf(path, text, 1765330000123);
        copy.encoding = encoding;
        copy.lineEnds = lineEnds;
        const std::optional<RecoveryCopy> back = RecoveryCopy::fromBytes(copy.toBytes());
        QVERIFY(back);
        QCOMPARE(back->pagePath, path);
        QCOMPARE(back->encoding, encoding);
        QCOMPARE(back->lineEnds, lineEnds);
        QCOMPARE(back->written, copy.written);
        QCOMPARE(back->utf8, text);
        const std::optional<RecoveryCopy> header = RecoveryCopy::headerFrom(copy.toBytes().left(200));
        QVERIFY(header);
        QCOMPARE(header->pagePath, path);
    }

    // Copies written before each line kept its own break held CR LF throughout, the page's line ends
    // telling how to save it.
    void aCopyOfTheFirstKindReadsAsThePageHadIt_data()
    {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QByteArray>("lineEnds");
        QTest::addColumn<PageEncoding>("readEncoding");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("UTF-8 with a mark, LF") << QByteArray("utf-8-bom") << QByteArray("lf") << PageEncoding::Utf8Bom
                                               << u"<p>你好</p>\n<p>二</p>"_s.toUtf8();
        QTest::newRow("GB18030, CR LF") << QByteArray("gb18030") << QByteArray("crlf") << PageEncoding::Gb18030
                                        << u"<p>你好</p>\r\n<p>二</p>"_s.toUtf8();
    }
    void aCopyOfTheFirstKindReadsAsThePageHadIt()
    {
        QFETCH(QByteArray, encoding);
        QFETCH(QByteArray, lineEnds);
        QFETCH(PageEncoding, readEncoding);
        QFETCH(QByteArray, text);
        const QByteArray bytes = "VELLUMO RECOVERY 1\npage=/%E9%A1%B5.htm\nencoding=" + encoding
            + "\nline-ends=" + lineEnds + "\nwritten=1765330000123\n\n" + u"<p>你好</p>\r\n<p>二</p>"_s.toUtf8();
        const std::optional<RecoveryCopy> copy = RecoveryCopy::fromBytes(bytes);
        QVERIFY(copy);
        QCOMPARE(copy->pagePath, u"/页.htm"_s);
        QCOMPARE(copy->encoding, readEncoding);
        QCOMPARE(copy->utf8, text);
    }

    void whatIsNoCopyIsNotTakenForOne_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = copyOf(u"/p.htm"_s, "text").toBytes();
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a page") << QByteArray("<html></html>");
        QTest::newRow("cut in the header") << good.left(good.indexOf("encoding") + 5);
        QTest::newRow("unknown encoding") << QByteArray(good).replace("GB18030", "no-such-encoding");
        QTest::newRow("no time") << QByteArray(good).replace("written=", "when=");
        QTest::newRow("time no number") << QByteArray(good).replace("written=1", "written=x");
        QTest::newRow("another format") << QByteArray(good).replace("RECOVERY 2", "RECOVERY 3");
        QTest::newRow("a mark line ends in the first kind")
            << QByteArray(good).replace("RECOVERY 2", "RECOVERY 1").replace("line-ends=crlf", "line-ends=cr");
    }
    void whatIsNoCopyIsNotTakenForOne()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!RecoveryCopy::fromBytes(bytes));
    }

    void eachProgramKeepsItsOwnCopyAndOnlyGoneProgramsCopiesAreLeftBehind()
    {
        QTemporaryDir dir;
        LocalFileSystem files;
        const QString folder = dir.filePath(u"recovery"_s);
        RecoveryFolder mine(files, folder), other(files, folder);
        QVERIFY(mine.claim());
        QVERIFY(other.claim());
        QVERIFY(mine.copyPath() != other.copyPath());
        QCOMPARE(QFile::permissions(folder) & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
        QVERIFY(mine.write(copyOf(u"/a.htm"_s, "mine")));
        QVERIFY(other.write(copyOf(u"/b.htm"_s, "other's")));
        // A program that was killed: its copy stays, its lock went with it.
        {
            RecoveryFolder killed(files, folder);
            QVERIFY(killed.claim());
            QVERIFY(killed.write(copyOf(u"/c.htm"_s, "killed", 1700000000000)));
        }
        TestFiles::write(folder + u"/998-deadbeef.recovery"_s, copyOf(QString(), "older", 1600000000000).toBytes());
        TestFiles::write(folder + u"/997-deadbeef.recovery"_s, "damaged");

        // A running program's copy is live; a gone one's, and this program's own, are not.
        QVERIFY(mine.liveCopyOf(u"/b.htm"_s));
        QVERIFY(!mine.liveCopyOf(u"/a.htm"_s));
        QVERIFY(!mine.liveCopyOf(u"/c.htm"_s));

        const QList<RecoveryFolder::Left> left = mine.leftBehind();
        QCOMPARE(left.size(), 2);
        QCOMPARE(left[0].header.pagePath, u"/c.htm"_s); // newest first
        QCOMPARE(mine.read(left[0])->utf8, QByteArray("killed"));
        QCOMPARE(left[1].header.pagePath, QString());
        // While this program offers them, another starting beside it does not.
        QVERIFY(other.leftBehind().isEmpty());
        mine.discard(left[1]);
        QVERIFY(!QFile::exists(folder + u"/998-deadbeef.recovery"_s));
        QVERIFY(QFile::exists(folder + u"/997-deadbeef.recovery"_s));
    }

    void theOfferRestoresRemovesOrKeepsEachCopy_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QByteArray>("restored");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<bool>("toldOfTheRest");
        QTest::newRow("yes to the newest")
            << QStringList { u"yes"_s } << QByteArray("new") << QStringList { u"old"_s } << true;
        QTest::newRow("no, then yes") << QStringList { u"no"_s, u"yes"_s } << QByteArray("old") << QStringList()
                                      << false;
        QTest::newRow("closed, then no") << QStringList { u"dismiss"_s, u"no"_s } << QByteArray()
                                         << QStringList { u"new"_s } << false;
        QTest::newRow("no to both") << QStringList { u"no"_s, u"no"_s } << QByteArray() << QStringList() << false;
    }
    void theOfferRestoresRemovesOrKeepsEachCopy()
    {
        QFETCH(QStringList, answers);
        QFETCH(QByteArray, restored);
        QFETCH(QStringList, kept);
        QFETCH(bool, toldOfTheRest);
        QTemporaryDir dir;
        LocalFileSystem files;
        TestFiles::write(dir.filePath(u"1-a.recovery"_s), copyOf(u"/new.htm"_s, "new", 1700000002000).toBytes());
        TestFiles::write(dir.filePath(u"2-b.recovery"_s), copyOf(QString(), "old", 1700000001000).toBytes());
        RecoveryFolder folder(files, dir.path());
        QVERIFY(folder.claim());
        ScriptedDialogs dialogs([](const QString &what) { QFAIL(qPrintable(what)); });
        for (const QString &answer : answers)
            dialogs.expect(Kind::Question, answer);
        if (toldOfTheRest)
            dialogs.expect(Kind::Message);
        QByteArray got;
        RecoveryOffer::run(folder, dialogs, [&got](const RecoveryCopy &copy) { got = copy.utf8; });
        QVERIFY(dialogs.allAnswersUsed());
        QCOMPARE(got, restored);
        const QString written
            = QDateTime::fromMSecsSinceEpoch(1700000002000, Qt::UTC).toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
        QCOMPARE(dialogs.calls[0].text,
            u"上次没有保存的网页可以恢复：\n/new.htm\n恢复副本写于 "_s + written
                + u"\n是否恢复？选“否”将删除这份恢复副本。"_s);
        if (answers.size() > 1)
            QVERIFY(dialogs.calls[1].text.contains(u"新文件"_s));
        QCOMPARE(dialogs.calls.size(), answers.size() + (toldOfTheRest ? 1 : 0));
        if (toldOfTheRest)
            QCOMPARE(dialogs.calls.last().text, u"还有 1 份恢复副本，下次启动时再提供。"_s);
        QStringList left;
        for (const RecoveryFolder::Left &copy : folder.leftBehind())
            left << QString::fromUtf8(folder.read(copy)->utf8);
        QCOMPARE(left, kept);
    }

    void theCopyFollowsTheUnsavedChanges()
    {
        KeptPage kept;
        auto &[dir, files, dialogs, view, document, folder] = kept;
        const QString page = dir.filePath(u"page.htm"_s);
        TestFiles::write(page, "<p>saved</p>");
        document.openPageAt(page);
        QVERIFY(folder.claim());
        RecoveryKeeper keeper(
            folder, [&document](QByteArray reuse) { return document.recoverySnapshot(std::move(reuse)); },
            [&view] { return view.isModified(); });
        keeper.setIntervals(100, 400, 1000);
        QSignalSpy written(&keeper, &RecoveryKeeper::copyWritten);

        // Typing that goes on writes at least once in the longest interval.
        QElapsedTimer typing;
        typing.start();
        while (written.isEmpty() && typing.elapsed() < 2000) {
            view.type("x");
            keeper.pageChanged();
            QTest::qWait(40);
        }
        QCOMPARE(written.size(), 1);
        QVERIFY2(typing.elapsed() < 400 + 400, qPrintable(QString::number(typing.elapsed())));
        // A page over the small size is copied less often while typing goes on.
        view.type(QByteArray(RecoveryKeeper::SmallPage, 'y'));
        keeper.pageChanged();
        QTRY_COMPARE_WITH_TIMEOUT(written.size(), 2, 1000);
        typing.restart();
        while (written.size() == 2 && typing.elapsed() < 3000) {
            view.type("x");
            keeper.pageChanged();
            QTest::qWait(40);
        }
        QCOMPARE(written.size(), 3);
        QVERIFY2(
            typing.elapsed() >= 900 && typing.elapsed() < 1000 + 400, qPrintable(QString::number(typing.elapsed())));
        // A pause writes what was typed since.
        view.type("<b>last</b>");
        keeper.pageChanged();
        QTRY_COMPARE_WITH_TIMEOUT(written.size(), 4, 1000);
        std::optional<RecoveryCopy> copy = RecoveryCopy::fromBytes(*files.readAll(folder.copyPath()));
        QVERIFY(copy);
        QCOMPARE(copy->pagePath, page);
        QVERIFY(copy->utf8.endsWith("<b>last</b>"));
        // Nothing more is written while nothing changes.
        QVERIFY(!keeper.writeScheduled());

        // Saved: the copy goes at once.
        document.savePage();
        keeper.pageStateChanged();
        keeper.waitForDisk();
        QVERIFY(!QFile::exists(folder.copyPath()));
    }

    // A large page's copy is taken on the window's thread; made in the last copy's memory it costs a
    // copy, not the fresh memory's faults. The memory goes with the unsaved changes.
    void eachCopyIsMadeInTheLastCopysMemory()
    {
        KeptPage kept;
        auto &[dir, files, dialogs, view, document, folder] = kept;
        QVERIFY(folder.claim());
        // Where each buffer's bytes are.
        QList<quintptr> given;
        QList<quintptr> made;
        RecoveryKeeper keeper(
            folder,
            [&](QByteArray reuse) {
                given << (reuse.capacity() > 0 ? quintptr(reuse.constData()) : 0);
                std::optional<RecoveryCopy> copy = document.recoverySnapshot(std::move(reuse));
                made << (copy ? quintptr(copy->utf8.constData()) : 0);
                return copy;
            },
            [&view] { return view.isModified(); });
        QSignalSpy written(&keeper, &RecoveryKeeper::copyWritten);
        view.type(QByteArray(100000, 'x'));
        keeper.writeNow();
        QTRY_COMPARE(written.size(), 1);
        view.type("y");
        keeper.writeNow();
        QTRY_COMPARE(written.size(), 2);
        QCOMPARE(given.size(), 2);
        QCOMPARE(given[0], quintptr(0));
        QCOMPARE(given[1], made[0]);
        QCOMPARE(made[1], made[0]);
        std::optional<RecoveryCopy> copy = RecoveryCopy::fromBytes(*files.readAll(folder.copyPath()));
        QVERIFY(copy);
        QCOMPARE(copy->utf8, QByteArray(100000, 'x') + "y");

        keeper.discard();
        keeper.waitForDisk();
        view.type("z");
        keeper.writeNow();
        QTRY_COMPARE(written.size(), 3);
        QCOMPARE(given.last(), quintptr(0));
    }

    // The first copy of a large page has no last copy to be made in: its memory is made ready on the
    // disk's thread once the page changes. A small page's copy costs nothing and gets none; once a copy
    // is kept, each comes back for the next and nothing more is made ready.
    void theFirstCopyOfALargePageIsMadeInMemoryMadeReady_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<bool>("readied");
        QTest::newRow("large") << RecoveryKeeper::SmallPage + 1 << true;
        QTest::newRow("small") << RecoveryKeeper::SmallPage << false;
    }
    void theFirstCopyOfALargePageIsMadeInMemoryMadeReady()
    {
        QFETCH(qsizetype, size);
        QFETCH(bool, readied);
        KeptPage kept;
        auto &[dir, files, dialogs, view, document, folder] = kept;
        QVERIFY(folder.claim());
        qsizetype given = -1;
        int sizesAsked = 0;
        RecoveryKeeper keeper(
            folder,
            [&](QByteArray reuse) {
                given = reuse.capacity();
                return document.recoverySnapshot(std::move(reuse));
            },
            [&view] { return view.isModified(); },
            [&] {
                ++sizesAsked;
                return view.utf8Size();
            });
        QSignalSpy written(&keeper, &RecoveryKeeper::copyWritten);
        view.type(QByteArray(size, 'x'));
        keeper.pageChanged();
        keeper.waitForDisk();
        QCoreApplication::processEvents(); // what the disk's thread handed back
        keeper.writeNow();
        QTRY_COMPARE(written.size(), 1);
        QCOMPARE(given >= size, readied);
        QCOMPARE(given == 0, !readied);

        // Typing goes on while a copy is on its way to the disk with the memory it will bring back.
        const int askedBefore = sizesAsked;
        keeper.writeNow();
        view.type("y");
        keeper.pageChanged();
        QCOMPARE(sizesAsked, askedBefore);
        QTRY_COMPARE(written.size(), 2);
    }

    void aPageAnotherRunningProgramHasUnsavedChangesOfIsSaidBeforeItOpens_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("opened");
        QTest::newRow("open it all the same") << u"yes"_s << true;
        QTest::newRow("no") << u"no"_s << false;
        QTest::newRow("question closed") << u"dismiss"_s << false;
    }
    void aPageAnotherRunningProgramHasUnsavedChangesOfIsSaidBeforeItOpens()
    {
        QFETCH(QString, answer);
        QFETCH(bool, opened);
        QTemporaryDir dir;
        LocalFileSystem files;
        const QString page = dir.filePath(u"shared.htm"_s);
        const QString unshared = dir.filePath(u"unshared.htm"_s);
        TestFiles::write(page, "<p>on disk</p>");
        TestFiles::write(unshared, "<p>nobody else</p>");
        RecoveryFolder other(files, dir.filePath(u"recovery"_s)), mine(files, dir.filePath(u"recovery"_s));
        QVERIFY(other.claim());
        QVERIFY(mine.claim());
        const RecoveryCopy theirs = copyOf(page, "<p>typed there</p>", 1765330000000);
        QVERIFY(other.write(theirs));

        ScriptedDialogs dialogs([](const QString &what) { QFAIL(qPrintable(what)); });
        StringDocumentView view;
        Document document(view, dialogs, files, dir.path() + u'/');
        document.setRecoveryFolder(&mine);
        // A page no other program has changes of opens without a word.
        document.openPageAt(unshared);
        QCOMPARE(view.caption(), unshared);
        QVERIFY(dialogs.calls.isEmpty());

        dialogs.expect(Kind::Question, answer);
        document.openPageAt(page);
        QVERIFY(dialogs.allAnswersUsed());
        QCOMPARE(dialogs.calls.last().text,
            u"另一个正在运行的 Vellumo 中有此网页未保存的修改（恢复副本写于 "_s
                + theirs.written.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s) + u"）：\n"_s + page
                + u"\n两边各自保存时，后保存的会覆盖先保存的。是否仍要打开？"_s);
        QCOMPARE(view.caption(), opened ? page : unshared);
        QCOMPARE(view.text, opened ? QByteArray("<p>on disk</p>") : QByteArray("<p>nobody else</p>"));
    }

    void aRestoredPageIsUnsavedUnderItsNameAndSavedInItsEncoding()
    {
        QTemporaryDir dir;
        LocalFileSystem files;
        ScriptedDialogs dialogs([](const QString &what) { QFAIL(qPrintable(what)); });
        StringDocumentView view;
        Document document(view, dialogs, files, dir.path() + u'/');
        document.showDefaultPage();
        const QString page = dir.filePath(u"恢复.htm"_s);
        RecoveryCopy copy = copyOf(page, u"<p>你好</p>\n<p>二</p>"_s.toUtf8());
        copy.encoding = PageEncoding::Utf8Bom;
        copy.lineEnds = LineEnds::Lf;
        document.restore(copy);
        QCOMPARE(view.caption(), page);
        QVERIFY(view.isModified());
        QVERIFY(document.recoverySnapshot());
        document.savePage();
        QVERIFY(!view.isModified());
        QCOMPARE(TestFiles::read(page), QByteArray("\xEF\xBB\xBF") + u"<p>你好</p>\n<p>二</p>"_s.toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
