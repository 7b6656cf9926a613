#include "mainwindowfixture.h"

#include "editor/document.h"
#include "editor/scintilladocumentview.h"
#include "platform/ansi.h"
#include "widgets/flatlineedit.h"
#include "widgets/uistyle.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace {
QString pageText(QWebEngineView *view)
{
    QString text;
    bool done = false;
    view->page()->runJavaScript(u"document.body ? document.body.innerText : ''"_s, [&](const QVariant &v) {
        text = v.toString();
        done = true;
    });
    QSignalSpy wait(view, &QObject::destroyed);
    for (int i = 0; i < 100 && !done; ++i)
        wait.wait(100);
    return text;
}
}

class TestEditorWindow : public QObject
{
    Q_OBJECT

private slots:
    void clipboardCommands()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        auto *copy = control<QAction>(w, u"C1"_s);
        editor->setText(u"abc 中文"_s);
        f.clipboard.setText(u"before"_s);
        editor->setSelection(0, 0, 0, 0);
        copy->trigger();
        control<QAction>(w, u"X2"_s)->trigger();
        QCOMPARE(f.clipboard.text(), u"before"_s);
        editor->setSelection(0, 4, 0, 6);
        copy->trigger();
        QCOMPARE(f.clipboard.text(), u"中文"_s);
        editor->setSelection(0, 0, 0, 4);
        control<QAction>(w, u"N11"_s)->trigger(); // the context menu's cut
        QCOMPARE(f.clipboard.text(), u"abc "_s);
        QCOMPARE(editor->text(), u"中文"_s);
        f.clipboard.setText(u"x\ny"_s);
        control<QAction>(w, u"A2"_s)->trigger();
        control<QAction>(w, u"V1"_s)->trigger();
        QCOMPARE(editor->text(), u"x\r\ny"_s);
        control<QAction>(w, u"U1"_s)->trigger();
        QCOMPARE(editor->text(), u"中文"_s);
    }

    void ctrlYCutsInTheEditor()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        editor->setText(u"cut me"_s);
        editor->setFocus();
        editor->setSelection(0, 0, 0, 3);
        QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(editor->text(), u" me"_s);
        QCOMPARE(f.clipboard.text(), u"cut"_s);
    }

    void editsSetTheFlagAndTheCaptionNamesTheFile()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        QCOMPARE(shownTitle(w), u"新文件"_s);
        QVERIFY(!editor->isModified() && !w.isWindowModified());
        editor->insert(u"x"_s);
        QVERIFY(editor->isModified());
        // The title shows that the page has unsaved changes; the caption stays the page's name, so
        // Save still asks where a new page goes.
        QCOMPARE(shownTitle(w), u"新文件*"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::SaveFile, f.folder() + u"page.htm"_s);
        control<QAction>(w, u"S1"_s)->trigger();
        QCOMPARE(shownTitle(w), f.folder() + u"page.htm"_s);
        QVERIFY(!editor->isModified() && !w.isWindowModified());
        // Typed, then undone back to the saved page: no marker.
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_A);
        QCOMPARE(shownTitle(w), f.folder() + u"page.htm*"_s);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shownTitle(w), f.folder() + u"page.htm"_s);
    }

    // Replace All changes the page without a keystroke in it; the title still tells.
    void replaceAllMarksThePageUnsaved()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        QVERIFY(!w.isWindowModified());
        control<QAction>(w, u"R1"_s)->trigger();
        auto *replace = w.findChild<QDialog *>(u"ReplaceDialog"_s);
        QVERIFY(replace);
        control<QLineEdit>(*replace, u"Edit1"_s)->setText(u"html"_s);
        control<QLineEdit>(*replace, u"Edit2"_s)->setText(u"HTML"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Notice);
        QTest::mouseClick(control<QPushButton>(*replace, u"Button3"_s), Qt::LeftButton);
        QVERIFY(editor->text().contains(u"HTML"_s));
        QCOMPARE(shownTitle(w), u"新文件*"_s);
    }

    // A right-click in the page opens its menu with the top edge centred on the mouse.
    void contextMenuOpensCentredOnTheMouse()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        auto *menu = control<QMenu>(w, u"PopupMenu1"_s);
        const QPoint at = editor->viewport()->rect().center();
        const QPoint mouse = editor->viewport()->mapToGlobal(at);
        // What the window system sends for a right-click.
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, mouse);
        QCoreApplication::sendEvent(editor->viewport(), &click);
        QTRY_VERIFY(menu->isVisible());
        // Qt's menus sit a pixel above the point they are given.
        QVERIFY(qAbs(menu->geometry().top() - mouse.y()) <= 1);
        QVERIFY2(qAbs(menu->geometry().center().x() - mouse.x()) <= 2,
            qPrintable(u"menu %1..%2, mouse at %3"_s.arg(menu->geometry().left())
                           .arg(menu->geometry().right())
                           .arg(mouse.x())));
        menu->close();
    }

    void aNewPageFromATemplateKeepsItsTextAndEncoding()
    {
        MainWindowFixture f;
        const QByteArray gb = Ansi::encode(u"<html><body>两栏布局</body></html>\r\n"_s);
        const QByteArray utf8 = u"\uFEFF<html><body>简洁文章</body></html>\n"_s.toUtf8();
        f.put(u"模板/两栏.htm"_s, gb);
        f.put(u"模板/简洁.htm"_s, utf8);
        f.putText(u"MAIN.INI"_s,
            u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=\r\n[model]\r\nTOTAL=1\r\nmfile0=%1模板/两栏.htm\r\nmfile1=%1模板/简洁.htm\r\n"_s
                .arg(f.folder()));
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        auto *templates = control<QMenu>(w, u"NewFromTemplate1"_s);
        QCOMPARE(control<QMenu>(w, u"F1"_s)->actions().at(1)->menu(), templates);
        emit templates->aboutToShow();
        QCOMPARE(templates->actions().size(), 2);
        QCOMPARE(templates->actions().at(0)->text(), u"两栏.htm"_s);

        // The same question as New about the changed page.
        editor->insert(u"x"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        templates->actions().at(1)->trigger();
        QCOMPARE(f.dialogs.calls.last().text, u"网页文件已经被修改，是否要进行存盘"_s);
        QCOMPARE(editor->text(), u"<html><body>简洁文章</body></html>\n"_s); // its own line break
        QCOMPARE(editor->eolMode(), QsciScintilla::EolUnix); // and for the lines the user adds
        QCOMPARE(shownTitle(w), u"新文件"_s);
        QVERIFY(!editor->isModified());
        // Saved, it is written in the template's encoding.
        f.dialogs.expect(ScriptedDialogs::Kind::SaveFile, f.folder() + u"new.htm"_s);
        control<QAction>(w, u"S1"_s)->trigger();
        QCOMPARE(TestFiles::read(f.folder() + u"new.htm"_s), utf8);

        emit templates->aboutToShow();
        templates->actions().at(0)->trigger();
        QCOMPARE(editor->text(), u"<html><body>两栏布局</body></html>\r\n"_s);
        QCOMPARE(editor->eolMode(), QsciScintilla::EolWindows);
        f.dialogs.expect(ScriptedDialogs::Kind::SaveFile, f.folder() + u"gb.htm"_s);
        control<QAction>(w, u"S1"_s)->trigger();
        QCOMPARE(TestFiles::read(f.folder() + u"gb.htm"_s), gb);

        // Without templates the menu says how to add one.
        f.putText(u"MAIN.INI"_s, u"[model]\r\nTOTAL=-1\r\n"_s);
        emit templates->aboutToShow();
        QCOMPARE(templates->actions().size(), 1);
        QVERIFY(!templates->actions().at(0)->isEnabled());
    }

    void closingWithAnUnsavedPageThatIsNotSavedStaysOpen()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        control<QsciScintilla>(w, u"RichEdit1"_s)->insert(u"x"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::SaveFile, QString());
        control<QAction>(w, u"X1"_s)->trigger();
        QVERIFY(w.isVisible());
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        w.close();
        QVERIFY(!w.isVisible());
    }

    void pagesAfterAnEmptiedOrALargePageAreColouredAndFresh()
    {
        MainWindowFixture f;
        f.putText(u"lines.txt"_s, u"<html>\r\n</html>"_s);
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        QVERIFY(editor->lexer());
        const auto emptyAndStartANewPage = [&] {
            editor->selectAll();
            editor->removeSelectedText();
            QVERIFY(editor->isModified());
            f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
            control<QAction>(w, u"N1"_s)->trigger();
            QCOMPARE(editor->text(), u"<html>\r\n</html>"_s);
            QVERIFY(!editor->isModified());
            QVERIFY(!editor->isUndoAvailable());
            QVERIFY(editor->lexer());
            QCOMPARE(editor->wrapMode(), QsciScintilla::WrapWord);
        };
        // The emptied start-up page is filled again as it is.
        emptyAndStartANewPage();
        // A large page goes without colouring and wrapping; emptied, the next page gets both back.
        f.put(u"large.htm"_s, QByteArray(ScintillaDocumentView::LargePage + 16, 'a'));
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"large.htm"_s);
        control<QAction>(w, u"O1"_s)->trigger();
        QVERIFY(!editor->lexer());
        QCOMPARE(editor->wrapMode(), QsciScintilla::WrapNone);
        // Without colouring the text keeps the editor's font.
        char family[128] = {};
        editor->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, QsciScintillaBase::STYLE_DEFAULT, family);
        QCOMPARE(QString::fromUtf8(family), UiStyle::fixedFont(12).family());
        QCOMPARE(editor->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, QsciScintillaBase::STYLE_DEFAULT),
            long(UiStyle::fixedFont(12).pointSize()));
        emptyAndStartANewPage();
    }

    void colouringKnowsHtml5()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        const QByteArray page = "<nav data-id=\"1\" aria-label=\"x\"><section hidden><blink>";
        editor->setText(QString::fromLatin1(page));
        editor->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
        const auto styleAt = [&](const char *word) {
            return int(editor->SendScintilla(
                QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(page.indexOf(word))));
        };
        QCOMPARE(styleAt("nav"), int(QsciLexerHTML::Tag));
        QCOMPARE(styleAt("section"), int(QsciLexerHTML::Tag));
        QCOMPARE(styleAt("hidden"), int(QsciLexerHTML::Attribute));
        QCOMPARE(styleAt("blink"), int(QsciLexerHTML::UnknownTag));
        // Attributes the author names freely are not painted as mistakes.
        QsciLexer *lexer = editor->lexer();
        QCOMPARE(lexer->color(styleAt("data-id")), lexer->color(QsciLexerHTML::Attribute));
        QCOMPARE(lexer->color(styleAt("aria-label")), lexer->color(QsciLexerHTML::Attribute));
    }

    // A page without a file is previewed from the application folder, with a note on its effects'
    // files, and its preview goes when the program ends.
    void anUnsavedPageIsPreviewedWithANote()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        control<QTabWidget>(w, u"PageControl1"_s)->setCurrentIndex(1);
        auto *note = control<QLabel>(w, u"UnsavedPreviewNote"_s);
        QVERIFY(note->isVisible());
        QCOMPARE(
            note->text(), u"这个网页还没有保存。特效需要的图片和脚本，要等网页保存到它们所在的文件夹后才能显示。"_s);
        QVERIFY(QFile::exists(f.folder() + u"TEM~~CHO.HTM"_s));
        QVERIFY(w.close());
        QVERIFY(!QFile::exists(f.folder() + u"TEM~~CHO.HTM"_s));
    }

    void previewTabShowsThePageBesideItsFile()
    {
        MainWindowFixture f;
        // A GB2312 page that names no charset, with a picture beside it.
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QDir().mkpath(f.folder() + u"site"_s);
        QVERIFY(picture.save(f.folder() + u"site/dot.png"_s));
        f.put(u"site/page.htm"_s, Ansi::encode(u"<html><body><p>网页特效</p><img src=\"dot.png\"></body></html>"_s));
        MainWindow &w = f.create();
        w.show();
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"site/page.htm"_s);
        control<QAction>(w, u"O1"_s)->trigger();
        control<QTabWidget>(w, u"PageControl1"_s)->setCurrentIndex(1);
        // Entering the preview tab makes the browser.
        auto *browser = control<QWidget>(w, u"WebBrowser1"_s);
        auto *address = control<FlatLineEdit>(w, u"ADDEdit"_s);
        const QString preview = f.folder() + u"site/TEM~~CHO.HTM"_s;
        QCOMPARE(address->text(), preview);
        QVERIFY(QFile::exists(preview));
        auto *view = browser->findChild<QWebEngineView *>();
        QVERIFY(view);
        QTRY_COMPARE_WITH_TIMEOUT(pageText(view).trimmed(), u"网页特效"_s, 30000);
        bool pictureShown = false;
        view->page()->runJavaScript(u"document.images[0].complete && document.images[0].naturalWidth"_s,
            [&](const QVariant &v) { pictureShown = v.toInt() == 40; });
        QTRY_VERIFY_WITH_TIMEOUT(pictureShown, 10000);
        QVERIFY(!control<QsciScintilla>(w, u"RichEdit1"_s)->isModified());
        QVERIFY(!control<QLabel>(w, u"UnsavedPreviewNote"_s)->isVisible());
        // Back on the page, the preview file goes: it is not to be uploaded with the site.
        control<QTabWidget>(w, u"PageControl1"_s)->setCurrentIndex(0);
        QVERIFY(!QFile::exists(preview));
        control<QTabWidget>(w, u"PageControl1"_s)->setCurrentIndex(1);
        QVERIFY(QFile::exists(preview));

        // Any address typed is shown as it reads.
        f.put(u"other.htm"_s, "<html><body>other page</body></html>");
        address->setText(f.folder() + u"other.htm"_s);
        control<QPushButton>(w, u"BitBtn1"_s)->click();
        QTRY_COMPARE_WITH_TIMEOUT(pageText(view).trimmed(), u"other page"_s, 30000);

        // An address that cannot be opened gets the program's own page, in Chinese.
        address->setText(f.folder() + u"gone/nothing.htm"_s);
        control<QPushButton>(w, u"BitBtn1"_s)->click();
        QTRY_VERIFY_WITH_TIMEOUT(pageText(view).startsWith(u"无法打开这个地址"_s), 30000);
        QVERIFY(pageText(view).contains(u"gone/nothing.htm"_s));
    }

    // A page labelled GB2312 holding what only GB18030 has: the preview shows what the editor shows.
    void thePreviewShowsWhatTheEditorShows()
    {
        MainWindowFixture f;
        f.put(u"page.htm"_s,
            Ansi::encode(u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
                         "</head><body><p>网页 © € 😀</p></body></html>"_s));
        MainWindow &w = f.create();
        w.show();
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"page.htm"_s);
        control<QAction>(w, u"O1"_s)->trigger();
        QVERIFY(control<QsciScintilla>(w, u"RichEdit1"_s)->text().contains(u"网页 © € 😀"_s));
        control<QTabWidget>(w, u"PageControl1"_s)->setCurrentIndex(1);
        auto *view = control<QWidget>(w, u"WebBrowser1"_s)->findChild<QWebEngineView *>();
        QVERIFY(view);
        QTRY_COMPARE_WITH_TIMEOUT(pageText(view).trimmed(), u"网页 © € 😀"_s, 30000);
        // The page's own file is as it was.
        QCOMPARE(TestFiles::read(f.folder() + u"page.htm"_s),
            Ansi::encode(u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
                         "</head><body><p>网页 © € 😀</p></body></html>"_s));
    }

    void goButtonShowsTheTypedAddressAlsoWhenNoPreviewCouldBeWritten()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        // A page whose folder is gone: entering the tab cannot write the preview, so no browser is made.
        QVERIFY(QDir().mkpath(f.folder() + u"gone"_s));
        f.dialogs.expect(ScriptedDialogs::Kind::SaveFile, f.folder() + u"gone/page.htm"_s);
        control<QAction>(w, u"A1"_s)->trigger();
        QVERIFY(QDir(f.folder() + u"gone"_s).removeRecursively());
        f.dialogs.expect(ScriptedDialogs::Kind::Error);
        control<QTabWidget>(w, u"PageControl1"_s)->setCurrentIndex(1);
        QVERIFY(!w.findChild<QWebEngineView *>());
        const int calls = f.dialogs.calls.size();

        f.put(u"other.htm"_s, "<html><body>other page</body></html>");
        auto *address = control<FlatLineEdit>(w, u"ADDEdit"_s);
        address->setText(f.folder() + u"other.htm"_s);
        QTest::mouseClick(control<QPushButton>(w, u"BitBtn1"_s), Qt::LeftButton);
        auto *view = w.findChild<QWebEngineView *>();
        QVERIFY(view);
        QTRY_COMPARE_WITH_TIMEOUT(pageText(view).trimmed(), u"other page"_s, 30000);
        QCOMPARE(address->text(), f.folder() + u"other.htm"_s);
        QCOMPARE(f.dialogs.calls.size(), calls);
        QVERIFY(!QFile::exists(f.folder() + u"TEM~~CHO.HTM"_s));
    }

    void externalPreviewGoesToTheShell()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        auto *preview = control<QAction>(w, u"N3"_s);
        preview->trigger();
        QCOMPARE(f.shell.opened, QStringList { f.folder() + u"TEM~~CHO.HTM"_s });
        QVERIFY(QFile::exists(f.folder() + u"TEM~~CHO.HTM"_s));
        // A preview that cannot be written opens nothing.
        f.shell.opened.clear();
        QVERIFY(QDir().mkpath(f.folder() + u"gone"_s));
        f.dialogs.expect(ScriptedDialogs::Kind::SaveFile, f.folder() + u"gone/page.htm"_s);
        control<QAction>(w, u"A1"_s)->trigger();
        QVERIFY(QDir(f.folder() + u"gone"_s).removeRecursively());
        f.dialogs.expect(ScriptedDialogs::Kind::Error);
        preview->trigger();
        QCOMPARE(f.dialogs.calls.last().text, u"Cannot create file "_s + f.folder() + u"gone/TEM~~CHO.HTM."_s);
        QVERIFY(f.shell.opened.isEmpty());
    }
};

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
