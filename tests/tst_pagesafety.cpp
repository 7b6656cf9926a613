// The page in the editor survives what goes wrong around it: an open that fails part-way, a page too
// large for the editor, another program changing its file.
#include "mainwindowfixture.h"

#include "editor/document.h"
#include "editor/recoveryfolder.h"
#include "editor/recoverykeeper.h"
#include "editor/scintilladocumentview.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ScriptedFileSystem::ReadFault)

namespace {
// What the user sees of the page and can do with it.
struct Seen
{
    QString text;
    QString title;
    bool modified = false;
    bool undoable = false;
    int line = 0;
    int index = 0;
    bool coloured = false;

    static Seen of(MainWindow &window)
    {
        auto *editor = control<QsciScintilla>(window, u"RichEdit1"_s);
        Seen seen { editor->text(), shownTitle(window), editor->isModified(), editor->isUndoAvailable() };
        editor->getCursorPosition(&seen.line, &seen.index);
        // The colouring works on the page: "<html>" is coloured as a tag.
        editor->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        seen.coloured = editor->lexer() && editor->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 1UL) != 0;
        return seen;
    }
    bool operator==(const Seen &other) const
    {
        return text == other.text && title == other.title && modified == other.modified && undoable == other.undoable
            && line == other.line && index == other.index && coloured == other.coloured;
    }
};

char *toString(const Seen &seen)
{
    return QTest::toString(u"%1 [%2]%3%4 at %5:%6%7"_s.arg(seen.title, seen.text.left(60))
                               .arg(seen.modified ? u" modified"_s : QString())
                               .arg(seen.undoable ? u" undoable"_s : QString())
                               .arg(seen.line)
                               .arg(seen.index)
                               .arg(seen.coloured ? u" coloured"_s : QString()));
}

QByteArray lines(const QString &line, qint64 size)
{
    const QByteArray one = Ansi::encode(line);
    return one.repeated(int(size / one.size() + 1));
}
}

class TestPageSafety : public QObject
{
    Q_OBJECT

private slots:
    // Pages in every encoding and line-end shape, through the real editor: opened, a character typed
    // and taken back, saved. Each comes back byte for byte and shows its text.
    void pagesComeBackByteForByte_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("format");
        QTest::newRow("Notepad's Unicode")
            << u"utf16le-notepad.htm"_s << u"<html>\r\n<body>\r\n<p>中文 记事本 😀</p>\r\n</body>\r\n</html>\r\n"_s
            << u"UTF-16 LE BOM · CR LF"_s;
        QTest::newRow("UTF-16 BE") << u"utf16be.htm"_s << u"<p>中文</p>\n<p>第二行</p>\n"_s << u"UTF-16 BE BOM · LF"_s;
        QTest::newRow("mixed line ends") << u"mixed-line-ends.htm"_s
                                         << u"<html>\r\n<body>\n<p>一</p>\r<p>二</p>\r\n</body>\n</html>"_s
                                         << u"GB18030 · CR LF（混合）"_s;
        QTest::newRow("CR CR LF") << u"cr-cr-lf.htm"_s << u"<p>一</p>\r\r\n<p>二</p>\r\r\n"_s
                                  << u"GB18030 · CR LF（混合）"_s;
        QTest::newRow("CR only") << u"cr-only.htm"_s << u"<p>一</p>\r<p>二</p>\r<p>三</p>\r"_s << u"UTF-8 · CR"_s;
        QTest::newRow("UTF-8 labelled GB2312")
            << u"utf8-labelled-gb2312.htm"_s << u"<meta charset=\"gb2312\">\r\n<p>标错了的网页</p>\r\n"_s
            << u"UTF-8 · CR LF"_s;
        QTest::newRow("short UTF-8, one stray byte")
            << u"short-utf8-stray-byte.htm"_s << u"<p>网页\uFFFD特效</p>"_s << u"UTF-8 · CR LF"_s;
    }
    void pagesComeBackByteForByte()
    {
        QFETCH(QString, file);
        QFETCH(QString, shown);
        QFETCH(QString, format);
        const QString source = QFINDTESTDATA(u"fixtures/pages/"_s + file);
        QVERIFY(!source.isEmpty());
        MainWindowFixture f;
        const QByteArray bytes = TestFiles::read(source);
        f.put(file, bytes);
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        const bool damaged = shown.contains(QChar(QChar::ReplacementCharacter));
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + file);
        if (damaged)
            f.dialogs.expect(ScriptedDialogs::Kind::Message);
        control<QAction>(w, u"O1"_s)->trigger();
        QCOMPARE(editor->text(), shown);
        QCOMPARE(control<QLabel>(w, u"PageFormat"_s)->text(), format);
        editor->setCursorPosition(0, 1);
        QTest::keyClicks(editor, u"x"_s);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QVERIFY(editor->isModified());
        // A page whose bytes did not all read is written only when the user says so.
        if (damaged)
            f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        control<QAction>(w, u"S1"_s)->trigger();
        QCOMPARE(TestFiles::read(f.folder() + file), bytes);
        QCOMPARE(editor->isModified(), damaged);
        QVERIFY(f.dialogs.allAnswersUsed());
    }

    // The page in the editor, its name and its flag, its undo history, its caret and its colouring
    // stay as they were when the next page fails part-way through its reading; Save then writes it.
    void aFailedOpenLeavesThePageInTheEditorAsItWas_data()
    {
        QTest::addColumn<ScriptedFileSystem::ReadFault>("fault");
        QTest::addColumn<int>("reading"); // the first tells the encoding, the second fills the editor
        // The page that fails, and how far into it; a large page and one of a long line are shown plain
        // while they are read, the long line only once it is read that far.
        QTest::addColumn<QByteArray>("next");
        QTest::addColumn<qint64>("faultAt");
        using Fault = ScriptedFileSystem::ReadFault;
        const QByteArray small = lines(u"<p>另一个网页的一行</p>\r\n"_s, 20000);
        const QByteArray large = lines(u"<p>另一个网页的一行</p>\r\n"_s, ScintillaDocumentView::LargePage + (1 << 20));
        // A megabyte of the file is more than a megabyte of text: its characters take a third more room
        // as UTF-8.
        const QByteArray longLine = lines(u"<p>另一个网页的一行</p>"_s, ScintillaDocumentView::LongLine);
        QTest::newRow("read fails") << Fault::Fails << 2 << small << 5000LL;
        QTest::newRow("file cut short") << Fault::CutShort << 2 << small << 5000LL;
        QTest::newRow("file cut short before it is loaded") << Fault::CutShort << 1 << small << 5000LL;
        QTest::newRow("out of memory") << Fault::OutOfMemory << 2 << small << 5000LL;
        QTest::newRow("large page cut short") << Fault::CutShort << 2 << large << 5000LL;
        QTest::newRow("large page out of memory") << Fault::OutOfMemory << 2 << large << 5000LL;
        QTest::newRow("long line cut short") << Fault::CutShort << 2 << longLine << qint64(longLine.size() - 1000);
    }
    void aFailedOpenLeavesThePageInTheEditorAsItWas()
    {
        QFETCH(ScriptedFileSystem::ReadFault, fault);
        QFETCH(int, reading);
        QFETCH(QByteArray, next);
        QFETCH(qint64, faultAt);
        MainWindowFixture f;
        f.put(u"page.htm"_s, lines(u"<html>\r\n<p>原来的网页</p>\r\n</html>\r\n"_s, 0));
        f.put(u"next.htm"_s, next);
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"page.htm"_s);
        control<QAction>(w, u"O1"_s)->trigger();
        editor->setCursorPosition(1, 3);
        editor->insert(u"改"_s);
        editor->setCursorPosition(2, 2);
        const Seen before = Seen::of(w);
        QVERIFY(before.modified && before.undoable && before.coloured);

        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"next.htm"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Error);
        f.files.faultReading(reading, fault, faultAt);
        control<QAction>(w, u"O1"_s)->trigger();
        QVERIFY(f.dialogs.allAnswersUsed());
        QCOMPARE(f.dialogs.calls.last().text,
            fault == ScriptedFileSystem::ReadFault::OutOfMemory
                ? u"Out of memory."_s
                : u"Cannot open file %1."_s.arg(f.folder() + u"next.htm"_s));
        QCOMPARE(Seen::of(w), before);
        QCOMPARE(editor->wrapMode(), QsciScintilla::WrapWord);

        control<QAction>(w, u"S1"_s)->trigger();
        QCOMPARE(TestFiles::read(f.folder() + u"page.htm"_s), Ansi::encode(before.text));
        editor->undo();
        QCOMPARE(editor->text(), u"<html>\r\n<p>原来的网页</p>\r\n</html>\r\n"_s);
    }

    // Coming back to the program after another program appended to the page's file asks about it: Yes
    // shows the file, No keeps the text as unsaved, dismissing leaves it to Save to ask. A return while
    // a box of the program's own is open asks once that box is closed, and closing a box is no return.
    void anOutsideChangeIsAskedAboutWhenTheUserComesBack_data()
    {
        QTest::addColumn<bool>("boxOpen");
        QTest::addColumn<QString>("answer");
        QTest::newRow("yes") << false << u"yes"_s;
        QTest::newRow("no") << false << u"no"_s;
        QTest::newRow("dismissed") << false << u"dismiss"_s;
        QTest::newRow("while a box is open, yes") << true << u"yes"_s;
    }
    void anOutsideChangeIsAskedAboutWhenTheUserComesBack()
    {
        QFETCH(bool, boxOpen);
        QFETCH(QString, answer);
        MainWindowFixture f;
        const QString page = f.folder() + u"page.htm"_s;
        f.putText(u"page.htm"_s, u"<p>原来的网页</p>\r\n"_s);
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, page);
        control<QAction>(w, u"O1"_s)->trigger();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        {
            QFile file(page);
            QVERIFY(file.open(QIODevice::Append));
            file.write(Ansi::encode(u"<p>另一个程序加的一行</p>\r\n"_s));
        }
        QDialog box(&w);
        if (boxOpen) {
            box.setModal(true);
            box.show();
            QVERIFY(QTest::qWaitForWindowActive(&box));
        }
        f.dialogs.expect(ScriptedDialogs::Kind::Question, answer);
        // The user went to another program and came back.
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        if (boxOpen) {
            QCOMPARE(f.dialogs.calls.size(), 1);
            box.close();
            w.activateWindow();
            QTRY_VERIFY(w.isActiveWindow());
        }
        QTRY_COMPARE(f.dialogs.calls.size(), 2);
        QCOMPARE(f.dialogs.calls[1].text,
            u"网页文件已被其他程序修改：\n"_s + page + u"\n是否重新载入？选“否”则保留编辑器中的内容。"_s);
        if (answer == u"yes"_s) {
            QCOMPARE(editor->text(), u"<p>原来的网页</p>\r\n<p>另一个程序加的一行</p>\r\n"_s);
            QCOMPARE(shownTitle(w), page);
        } else {
            QCOMPARE(editor->text(), u"<p>原来的网页</p>\r\n"_s);
            QCOMPARE(shownTitle(w), answer == u"no"_s ? page + u'*' : page);
        }

        // A box of the program's own opened and closed is no return.
        QDialog other(&w);
        other.setModal(true);
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        other.close();
        w.activateWindow();
        QTRY_VERIFY(w.isActiveWindow());
        // As the window system tells the window it is active again, whether or not it did here.
        QEvent activated(QEvent::ActivationChange);
        QApplication::sendEvent(&w, &activated);
        QCOMPARE(f.dialogs.calls.size(), 2);

        // Save writes the text shown, and the page is saved; asking first only over a change the user
        // has not decided on.
        const bool undecided = answer == u"dismiss"_s;
        if (undecided)
            f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        control<QAction>(w, u"S1"_s)->trigger();
        QCOMPARE(TestFiles::read(page), Ansi::encode(editor->text()));
        QCOMPARE(shownTitle(w), page);
        QCOMPARE(f.dialogs.calls.size(), undecided ? 3 : 2);
        if (undecided)
            QCOMPARE(f.dialogs.calls[2].text, u"网页文件已被其他程序修改：\n"_s + page + u"\n是否仍要覆盖？"_s);
    }

    // A page larger than the editor holds is refused by its size, before a byte of it is read, and the
    // page in the editor stays. The files are sparse: their size costs nothing.
    void aPageTooLargeForTheEditorIsRefusedBeforeItIsRead_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("a UTF-8 mark and a byte past what it holds") << ScintillaDocumentView::Capacity + 4;
        QTest::newRow("3 GiB") << (qint64(3) << 30);
    }
    void aPageTooLargeForTheEditorIsRefusedBeforeItIsRead()
    {
        QFETCH(qint64, size);
        MainWindowFixture f;
        f.put(u"huge.htm"_s, QByteArray());
        QVERIFY(QFile::resize(f.folder() + u"huge.htm"_s, size));
        MainWindow &w = f.create();
        control<QsciScintilla>(w, u"RichEdit1"_s)->insert(u"<p>typed</p>"_s);
        const Seen before = Seen::of(w);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"huge.htm"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Message);
        f.files.readings = 0;
        control<QAction>(w, u"O1"_s)->trigger();
        QCOMPARE(f.dialogs.calls.last().text,
            u"网页文件太大，编辑器容纳不下，没有打开：\n"_s + f.folder()
                + u"huge.htm\n编辑器最多容纳 2147483647 字节的网页。"_s);
        QCOMPARE(f.files.readings, 0);
        QCOMPARE(Seen::of(w), before);
    }

    // The page in the window keeps its recovery copy while it has unsaved changes: written once
    // typing pauses and not again while nothing changes, gone when the page is back to its file,
    // saved, or its changes are thrown away on purpose; kept when the save question is closed.
    void theWindowsPageKeepsItsRecoveryCopyWhileItHasUnsavedChanges()
    {
        // The folder outlives the window, as in the program.
        QTemporaryDir data;
        LocalFileSystem files;
        RecoveryFolder folder(files, data.path());
        QVERIFY(folder.claim());
        MainWindowFixture f;
        f.put(u"page.htm"_s, "<html>\r\n<p>saved</p>\r\n</html>\r\n");
        MainWindow &w = f.create();
        w.keepRecoveryCopies(folder);
        // Changes are told with the view's updates, which come with its painting.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        RecoveryKeeper &keeper = *w.recoveryKeeper();
        QSignalSpy written(&keeper, &RecoveryKeeper::copyWritten);
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        const auto copied = [&folder]() -> QByteArray {
            const std::optional<RecoveryCopy> copy = RecoveryCopy::fromBytes(TestFiles::read(folder.copyPath()));
            return copy ? copy->utf8 : QByteArray("(none)");
        };
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"page.htm"_s);
        control<QAction>(w, u"O1"_s)->trigger();
        QVERIFY(!QFile::exists(folder.copyPath()));

        editor->setFocus();
        editor->setCursorPosition(1, 3);
        QTest::keyClicks(editor, u"abc"_s);
        QTRY_VERIFY_WITH_TIMEOUT(copied().contains("<p>abcsaved</p>"), RecoveryKeeper::PauseMs + 1000);
        keeper.waitForDisk();
        QCoreApplication::processEvents();
        const int writes = written.size();
        QVERIFY(writes >= 1);
        // Painting the page, which colours it, is no change.
        editor->viewport()->repaint();
        QCoreApplication::processEvents();
        QVERIFY(!keeper.writeScheduled());
        QCOMPARE(written.size(), writes);

        // Undone back to the file: nothing to recover.
        for (int i = 0; i < 3; ++i)
            editor->undo();
        QVERIFY(!editor->isModified());
        keeper.waitForDisk();
        QVERIFY(!QFile::exists(folder.copyPath()));

        QTest::keyClicks(editor, u"d"_s);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.copyPath()), RecoveryKeeper::PauseMs + 1000);
        control<QAction>(w, u"S1"_s)->trigger();
        keeper.waitForDisk();
        QVERIFY(!QFile::exists(folder.copyPath()));
        QCOMPARE(TestFiles::read(f.folder() + u"page.htm"_s), QByteArray("<html>\r\n<p>dsaved</p>\r\n</html>\r\n"));

        // New with the question closed: the page and its copy stay. With No: both go.
        QTest::keyClicks(editor, u"e"_s);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.copyPath()), RecoveryKeeper::PauseMs + 1000);
        f.put(u"lines.txt"_s, "<p>new</p>");
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"dismiss"_s);
        control<QAction>(w, u"N1"_s)->trigger();
        keeper.waitForDisk();
        QVERIFY(copied().contains("<p>desaved</p>"));
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        control<QAction>(w, u"N1"_s)->trigger();
        QCOMPARE(editor->text(), u"<p>new</p>"_s);
        keeper.waitForDisk();
        QVERIFY(!QFile::exists(folder.copyPath()));

        // Closing the window: the same.
        QTest::keyClicks(editor, u"f"_s);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.copyPath()), RecoveryKeeper::PauseMs + 1000);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"dismiss"_s);
        QVERIFY(!w.close());
        keeper.waitForDisk();
        QVERIFY(QFile::exists(folder.copyPath()));
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        QVERIFY(w.close());
        keeper.waitForDisk();
        QVERIFY(!QFile::exists(folder.copyPath()));
        QVERIFY(f.dialogs.allAnswersUsed());
    }

    // A restored page shows as unsaved under its name, and undo cannot make it look saved.
    void aRestoredPageStaysUnsavedWhateverUndoDoes()
    {
        QTemporaryDir data;
        LocalFileSystem files;
        RecoveryFolder folder(files, data.path());
        QVERIFY(folder.claim());
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.keepRecoveryCopies(folder);
        RecoveryCopy copy;
        copy.pagePath = f.folder() + u"gone.htm"_s;
        copy.utf8 = "<p>restored</p>";
        copy.written = QDateTime::currentDateTimeUtc();
        w.restorePage(copy);
        // Its own copy is there before the one it came from may go.
        QCOMPARE(RecoveryCopy::fromBytes(TestFiles::read(folder.copyPath()))->utf8, QByteArray("<p>restored</p>"));
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        QCOMPARE(shownTitle(w), f.folder() + u"gone.htm*"_s);
        QTest::keyClicks(editor, u"x"_s);
        editor->undo();
        QCOMPARE(editor->text(), u"<p>restored</p>"_s);
        QCOMPARE(shownTitle(w), f.folder() + u"gone.htm*"_s);
        w.recoveryKeeper()->waitForDisk();
        QVERIFY(QFile::exists(folder.copyPath()));
        // Saved, it is a page like any other.
        control<QAction>(w, u"S1"_s)->trigger();
        QCOMPARE(TestFiles::read(f.folder() + u"gone.htm"_s), QByteArray("<p>restored</p>"));
        QCOMPARE(shownTitle(w), f.folder() + u"gone.htm"_s);
        w.recoveryKeeper()->waitForDisk();
        QVERIFY(!QFile::exists(folder.copyPath()));
    }
};

QTEST_MAIN(TestPageSafety)
#include "tst_pagesafety.moc"
