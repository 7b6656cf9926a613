#include "mainwindowfixture.h"

#include "editor/browserview.h"
#include "editor/document.h"
#include "editor/scintilladocumentview.h"
#include "widgets/flatlineedit.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
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
        w.RichEdit1->setText(u"abc 中文"_s);
        f.clipboard.setText(u"before"_s);
        w.RichEdit1->setSelection(0, 0, 0, 0);
        w.C1->trigger();
        w.X2->trigger();
        QCOMPARE(f.clipboard.text(), u"before"_s);
        w.RichEdit1->setSelection(0, 4, 0, 6);
        w.C1->trigger();
        QCOMPARE(f.clipboard.text(), u"中文"_s);
        w.RichEdit1->setSelection(0, 0, 0, 4);
        w.N11->trigger(); // the context menu's cut
        QCOMPARE(f.clipboard.text(), u"abc "_s);
        QCOMPARE(w.RichEdit1->text(), u"中文"_s);
        f.clipboard.setText(u"x\ny"_s);
        w.A2->trigger();
        w.V1->trigger();
        QCOMPARE(w.RichEdit1->text(), u"x\r\ny"_s);
        w.U1->trigger();
        QCOMPARE(w.RichEdit1->text(), u"中文"_s);
    }

    void ctrlYCutsInTheEditor()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        w.RichEdit1->setText(u"cut me"_s);
        w.RichEdit1->setFocus();
        w.RichEdit1->setSelection(0, 0, 0, 3);
        QTest::keyClick(w.RichEdit1, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.RichEdit1->text(), u" me"_s);
        QCOMPARE(f.clipboard.text(), u"cut"_s);
    }

    void editsSetTheFlagAndTheCaptionNamesTheFile()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        QCOMPARE(w.windowTitle(), u"新文件"_s);
        QVERIFY(!w.RichEdit1->isModified());
        w.RichEdit1->insert(u"x"_s);
        QVERIFY(w.RichEdit1->isModified());
        f.dialogs.expect(ScriptedDialogs::Kind::SaveFile, f.folder() + u"page.htm"_s);
        w.S1->trigger();
        QCOMPARE(w.windowTitle(), f.folder() + u"page.htm"_s);
        QVERIFY(!w.RichEdit1->isModified());
    }

    void closingWithAnUnsavedPageThatIsNotSavedStaysOpen()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.RichEdit1->insert(u"x"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::SaveFile, QString());
        w.X1->trigger();
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
        QVERIFY(w.RichEdit1->lexer());
        const auto emptyAndStartANewPage = [&] {
            w.RichEdit1->selectAll();
            w.RichEdit1->removeSelectedText();
            QVERIFY(w.RichEdit1->isModified());
            f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
            w.N1->trigger();
            QCOMPARE(w.RichEdit1->text(), u"<html>\r\n</html>"_s);
            QVERIFY(!w.RichEdit1->isModified());
            QVERIFY(!w.RichEdit1->isUndoAvailable());
            QVERIFY(w.RichEdit1->lexer());
            QCOMPARE(w.RichEdit1->wrapMode(), QsciScintilla::WrapWord);
        };
        // The emptied start-up page is filled again as it is.
        emptyAndStartANewPage();
        // A large page goes without colouring and wrapping; emptied, the next page gets both back.
        f.put(u"large.htm"_s, QByteArray(ScintillaDocumentView::LargePage + 16, 'a'));
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"large.htm"_s);
        w.O1->trigger();
        QVERIFY(!w.RichEdit1->lexer());
        QCOMPARE(w.RichEdit1->wrapMode(), QsciScintilla::WrapNone);
        emptyAndStartANewPage();
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
        w.O1->trigger();
        w.PageControl1->setCurrentIndex(1);
        QVERIFY(w.WebBrowser1);
        const QString preview = f.folder() + u"site/TEM~~CHO.HTM"_s;
        QCOMPARE(w.ADDEdit->text(), preview);
        QVERIFY(QFile::exists(preview));
        auto *view = w.WebBrowser1->widget()->findChild<QWebEngineView *>();
        QVERIFY(view);
        QTRY_COMPARE_WITH_TIMEOUT(pageText(view).trimmed(), u"网页特效"_s, 30000);
        bool pictureShown = false;
        view->page()->runJavaScript(u"document.images[0].complete && document.images[0].naturalWidth"_s,
                                    [&](const QVariant &v) { pictureShown = v.toInt() == 40; });
        QTRY_VERIFY_WITH_TIMEOUT(pictureShown, 10000);
        QVERIFY(!w.RichEdit1->isModified());

        // Any address typed is shown as it reads.
        f.put(u"other.htm"_s, "<html><body>other page</body></html>");
        w.ADDEdit->setText(f.folder() + u"other.htm"_s);
        w.BitBtn1->click();
        QTRY_COMPARE_WITH_TIMEOUT(pageText(view).trimmed(), u"other page"_s, 30000);
    }

    void externalPreviewGoesToTheShell()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.N3->trigger();
        QCOMPARE(f.shell.opened, QStringList{f.folder() + u"TEM~~CHO.HTM"_s});
        QVERIFY(QFile::exists(f.folder() + u"TEM~~CHO.HTM"_s));
        // A preview that cannot be written opens nothing.
        f.shell.opened.clear();
        w.setWindowTitle(f.folder() + u"gone/page.htm"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Error);
        w.N3->trigger();
        QCOMPARE(f.dialogs.calls.last().text, u"Cannot create file "_s + f.folder() + u"gone/TEM~~CHO.HTM."_s);
        QVERIFY(f.shell.opened.isEmpty());
    }
};

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
