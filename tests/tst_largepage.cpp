// Large pages and pages with a line of megabytes: both are shown plain and come back from a save as
// they were read; and a guard against a step per edit that grows with the page coming back: a
// keystroke deep in a 4 MB page may cost more than one in a small page, but never twenty times as much.
#include "mainwindowfixture.h"

#include "editor/scintilladocumentview.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QLabel>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
QByteArray page(qint64 size)
{
    const QByteArray line = Ansi::encode(u"<p class=\"demo\">网页特效示例文字 effect 演示内容</p>\r\n"_s);
    QByteArray bytes;
    bytes.reserve(size + line.size());
    while (bytes.size() < size)
        bytes += line;
    return bytes;
}

// A page as a minifier leaves it: one line, a little longer than the editor colours and wraps.
QByteArray oneLongLine(const QByteArray &piece)
{
    QByteArray bytes = "<html><script>";
    while (bytes.size() <= ScintillaDocumentView::LongLine)
        bytes += piece;
    return bytes + "</script></html>";
}
}

class TestLargePage : public QObject
{
    Q_OBJECT

    // The quickest of keystrokes typed at the end of the page, each until it is painted: a step that
    // grows with the page is in every keystroke, while a busy machine only slows some of them.
    static double keystrokeMs(MainWindowFixture &f, const QString &path)
    {
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, path);
        f.window->openPage();
        auto *editor = control<QsciScintilla>(*f.window, u"RichEdit1"_s);
        editor->setFocus();
        // A page just opened is wrapped into screen lines in the background, a piece at a time; the
        // keystrokes are measured once that is done.
        const auto screenLines = [editor] {
            return editor->SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE,
                static_cast<unsigned long>(editor->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT)));
        };
        for (int same = 0, i = 0; same < 5 && i < 2000; ++i) {
            const long before = screenLines();
            QTest::qWait(5);
            same = screenLines() == before ? same + 1 : 0;
        }
        std::vector<double> times;
        for (int i = 0; i < 15; ++i) {
            editor->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
            QCoreApplication::processEvents();
            editor->viewport()->repaint();
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(editor, Qt::Key_X);
            editor->viewport()->repaint();
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        return *std::min_element(times.begin(), times.end());
    }

private slots:
    void aPageOfOneLongLineIsShownPlainAndSavedAsItWasRead_data()
    {
        QTest::addColumn<QByteArray>("page");
        const QString piece = u"var s=\"网页特效\";function f(a){return a*2;}"_s;
        QTest::newRow("GB18030") << oneLongLine(Ansi::encode(piece));
        QTest::newRow("UTF-8") << oneLongLine(piece.toUtf8());
    }
    void aPageOfOneLongLineIsShownPlainAndSavedAsItWasRead()
    {
        QFETCH(QByteArray, page);
        QVERIFY(page.size() < ScintillaDocumentView::LargePage);
        MainWindowFixture f;
        f.put(u"long.htm"_s, page);
        f.putText(u"short.htm"_s, u"<html>\r\n<p>短网页</p>\r\n</html>"_s);
        MainWindow &w = f.create();
        w.show();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        QVERIFY(editor->lexer());
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"long.htm"_s);
        control<QAction>(w, u"O1"_s)->trigger();
        QVERIFY(!editor->lexer());
        QCOMPARE(editor->wrapMode(), QsciScintilla::WrapNone);
        QCOMPARE(editor->lines(), 1);
        QCOMPARE(editor->text(0).left(25), u"<html><script>var s=\"网页特效"_s);
        QVERIFY(editor->text().endsWith(u"return a*2;}</script></html>"_s));
        QCOMPARE(editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 0L);
        // The status strip says why the page is plain.
        auto *place = control<QLabel>(w, u"CaretPlace"_s);
        QTRY_COMPARE(place->text(), u"行 1，列 1 · 大网页：不着色、不换行"_s);

        // A character typed and taken back leaves the page as it was read, byte for byte.
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_X);
        QCOMPARE(editor->text(0).left(7), u"x<html>"_s);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QVERIFY(editor->isModified());
        control<QAction>(w, u"S1"_s)->trigger();
        QVERIFY(!editor->isModified());
        QCOMPARE(TestFiles::read(f.folder() + u"long.htm"_s), page);

        // The next page of short lines is coloured and wrapped again.
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"short.htm"_s);
        control<QAction>(w, u"O1"_s)->trigger();
        QVERIFY(f.dialogs.allAnswersUsed());
        QCOMPARE(editor->text(), u"<html>\r\n<p>短网页</p>\r\n</html>"_s);
        QVERIFY(editor->lexer());
        QCOMPARE(editor->wrapMode(), QsciScintilla::WrapWord);
        QTRY_COMPARE(place->text(), u"行 1，列 1"_s);
    }

    void aKeystrokeDeepInAPageCostsNoScanOfIt()
    {
        MainWindowFixture f;
        f.put(u"small.htm"_s, page(10 << 10));
        f.put(u"large.htm"_s, page(4 << 20));
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const double small = keystrokeMs(f, f.folder() + u"small.htm"_s);
        // Leaving the typed-in small page asks whether to save it.
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        const double large = keystrokeMs(f, f.folder() + u"large.htm"_s);
        qInfo("keystroke: %.2f ms on 10 KB, %.2f ms on 4 MB", small, large);
        QVERIFY2(large <= 20 * qMax(small, 0.05), qPrintable(u"%1 ms against %2 ms"_s.arg(large).arg(small)));
    }
};

QTEST_MAIN(TestLargePage)
#include "tst_largepage.moc"
