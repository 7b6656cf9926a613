#include "mainwindowfixture.h"

#include "editor/finddialog.h"
#include "editor/replacedialog.h"
#include "editor/scintillasearchtarget.h"
#include "editor/searchcontroller.h"
#include "platform/qtdialogs.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
using Base = QsciScintillaBase;

std::optional<QString> noPicture(QWidget *, const QString &, const QString &, const QString &)
{
    return std::nullopt;
}

// Closes each message box with Enter, as users do, once the box has the keyboard, and keeps its text.
// It also stands in for the window manager, which the offscreen platform lacks: a box that closes
// gives the keyboard to the window it was shown over.
class BoxCloser : public QObject
{
public:
    BoxCloser() { qApp->installEventFilter(this); }
    ~BoxCloser() override { qApp->removeEventFilter(this); }

    QStringList texts;
    // Boxes whose keyboard was elsewhere when they were to be closed; they were closed without a key.
    QStringList problems;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (!box)
            return false;
        if (event->type() == QEvent::WindowActivate && !m_seen.contains(box)) {
            m_seen.append(box);
            QTimer::singleShot(0, box, [this, box] { close(box); });
        } else if (event->type() == QEvent::Hide && box->parentWidget()) {
            box->parentWidget()->window()->activateWindow();
        }
        return false;
    }

private:
    void close(QMessageBox *box)
    {
        texts << box->text();
        QWidget *keyboard = QApplication::focusWidget();
        if (!keyboard || keyboard->window() != box) {
            problems << box->text();
            box->accept();
            return;
        }
        QTest::keyClick(keyboard, Qt::Key_Return);
    }

    QList<QPointer<QMessageBox>> m_seen;
};
}

class TestSearchWindows : public QObject
{
    Q_OBJECT

    // The main window's editor holding a freshly loaded page, with a search controller of its own.
    struct Run
    {
        MainWindowFixture f;
        QsciScintilla *editor = nullptr;
        SearchController *search = nullptr;
        FindDialog *find = nullptr;
        ReplaceDialog *replace = nullptr;

        // dialogs: the search's boxes, the scripted ones when not given.
        explicit Run(const QString &text, Dialogs *dialogs = nullptr)
        {
            MainWindow &window = f.create();
            window.show();
            editor = control<QsciScintilla>(window, u"RichEdit1"_s);
            editor->setText(text);
            editor->SendScintilla(Base::SCI_EMPTYUNDOBUFFER);
            editor->setModified(false);
            search = new SearchController(editor, dialogs ? *dialogs : f.dialogs, f.files, f.placementFile(), &window);
            find = search->findDialog();
            replace = search->replaceDialog();
        }
        // The selection in bytes, as "start+length".
        QString selection() const
        {
            const long start = editor->SendScintilla(Base::SCI_GETSELECTIONSTART);
            return u"%1+%2"_s.arg(start).arg(editor->SendScintilla(Base::SCI_GETSELECTIONEND) - start);
        }
        void select(long from, long to)
        {
            editor->SendScintilla(Base::SCI_SETSEL, static_cast<unsigned long>(from), to);
        }
        // The box the next press must show.
        void expectNotice() { f.dialogs.expect(ScriptedDialogs::Kind::Notice); }
        QString lastNotice() const
        {
            if (f.dialogs.calls.isEmpty())
                return u"<none>"_s;
            const ScriptedDialogs::Call &call = f.dialogs.calls.last();
            return u"[%1] %2 %3"_s.arg(call.caption, call.text).arg(int(call.icon));
        }
    };
    static QString notice(const QString &text, MessageIcon icon) { return u"[] %1 %2"_s.arg(text).arg(int(icon)); }

    // Key by key: keyClicks takes Latin-1 only.
    static void type(QLineEdit *edit, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // A click on the box's caption: a box laid out wider than its caption takes no click beside it.
    static void tick(QCheckBox *box)
    {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->sizeHint().width() / 2, box->height() / 2));
    }
    static void press(QPushButton *button)
    {
        QVERIFY(button->isVisible() && button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    // The editor's own search scans the bytes itself where that cannot change a result; every place
    // it finds is the one Scintilla's search finds on the same text.
    void findingFindsWhatScintillaFinds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("range");
        // Where Scintilla's gap is put first (-1: at the end): the page's bytes then lie in two stretches.
        QTest::addColumn<int>("gap");
        const QString page = u"<P>网页 Effect 特效 effect EFFECTS efFect</p>\r\n<b>Ke\u212Ay 键 ſign ıd</b>"_s;
        QTest::newRow("any case") << page << u"EFFECT"_s << false << false << 0 << 999 << -1;
        QTest::newRow("any case from inside") << page << u"effect"_s << false << false << 12 << 999 << -1;
        QTest::newRow("matching case") << page << u"efFect"_s << true << false << 0 << 999 << -1;
        QTest::newRow("whole word skips EFFECTS") << page << u"effects"_s << false << true << 0 << 999 << -1;
        QTest::newRow("whole word") << page << u"effect"_s << false << true << 20 << 999 << -1;
        QTest::newRow("cut off by the range") << page << u"effect"_s << false << false << 30 << 5 << -1;
        QTest::newRow("not there") << page << u"effectz"_s << false << false << 0 << 999 << -1;
        QTest::newRow("tags") << page << u"</P>"_s << false << false << 0 << 999 << -1;
        // Characters from outside ASCII that a Unicode case folding brings onto i, k and s: Scintilla's
        // folding leaves them apart from the letters, and so does the search of the bytes.
        QTest::newRow("kelvin sign") << page << u"KEKY"_s << false << false << 0 << 999 << -1;
        QTest::newRow("long s") << page << u"SIGN"_s << false << false << 0 << 999 << -1;
        QTest::newRow("dotless i") << page << u"ID"_s << false << false << 0 << 999 << -1;
        // Scintilla folds one character at a time: ligatures are no letters, and İ is not i.
        QTest::newRow("ligature ff") << u"a e\uFB00ect b"_s << u"EFFECT"_s << false << false << 0 << 999 << -1;
        QTest::newRow("dotted capital I") << u"a L\u0130NE b"_s << u"line"_s << false << false << 0 << 999 << -1;
        QTest::newRow("ASCII match before a long s")
            << u"<p>class</p> cla\u017F\u017F"_s << u"CLASS"_s << false << false << 0 << 999 << -1;
        QTest::newRow("long s before an ASCII match")
            << u"cla\u017F\u017F <p>class</p>"_s << u"CLASS"_s << false << false << 0 << 999 << -1;
        QTest::newRow("long s far before the ASCII match")
            << u"\u017F "_s + u"x"_s.repeated(200) + u" class"_s << u"CLASS"_s << false << false << 0 << 999 << -1;
        QTest::newRow("dotless i right before the match")
            << u"d\u0131v<div>"_s << u"DIV"_s << false << false << 0 << 999 << -1;
        QTest::newRow("dotless i as a whole word")
            << u"divs d\u0131v div"_s << u"div"_s << false << true << 0 << 999 << -1;
        QTest::newRow("kelvin sign behind the range start")
            << u"\u212Aey key"_s << u"KEY"_s << false << false << 3 << 999 << -1;
        QTest::newRow("kelvin sign, gap inside") << u"ab \u212Aey"_s << u"KEY"_s << false << false << 0 << 999 << 4;
        QTest::newRow("chinese") << page << u"特效 e"_s << false << false << 0 << 999 << -1;
        // "Effect" takes bytes 10 to 16 and the second "effect" 24 to 30.
        QTest::newRow("gap inside the match") << page << u"EFFECT"_s << false << false << 0 << 999 << 12;
        QTest::newRow("gap inside, matching case") << page << u"Effect"_s << true << false << 0 << 999 << 13;
        QTest::newRow("gap at the match's start") << page << u"EFFECT"_s << false << false << 0 << 999 << 10;
        QTest::newRow("gap at the match's end") << page << u"EFFECT"_s << false << false << 0 << 999 << 16;
        QTest::newRow("gap inside, whole word") << page << u"effect"_s << false << true << 20 << 999 << 26;
        QTest::newRow("gap before the start") << page << u"effect"_s << false << false << 12 << 999 << 5;
        QTest::newRow("gap inside, not there") << page << u"effectz"_s << false << false << 0 << 999 << 12;
    }

    void findingFindsWhatScintillaFinds()
    {
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(int, start);
        QFETCH(int, range);
        QFETCH(int, gap);
        QsciScintilla editor;
        editor.setUtf8(true);
        editor.setText(text);
        if (gap >= 0) {
            editor.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(gap), "#");
            editor.SendScintilla(QsciScintillaBase::SCI_DELETERANGE, static_cast<unsigned long>(gap), 1L);
            QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION), long(gap));
        }
        const QByteArray bytes = needle.toUtf8();
        const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(start),
            static_cast<long>(qMin<long>(length, start + range)));
        editor.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS,
            static_cast<unsigned long>((matchCase ? QsciScintillaBase::SCFIND_MATCHCASE : 0)
                | (wholeWord ? QsciScintillaBase::SCFIND_WHOLEWORD : 0)));
        const long expected = editor.SendScintilla(
            QsciScintillaBase::SCI_SEARCHINTARGET, static_cast<uintptr_t>(bytes.size()), bytes.constData());
        ScintillaSearchTarget target(&editor);
        SearchOptions options;
        options.matchCase = matchCase;
        options.wholeWord = wholeWord;
        const long gapBefore = editor.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION);
        QCOMPARE(target.find(needle, start, range, options), qsizetype(expected));
        // Finding never moves the page's text about.
        QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION), gapBefore);
    }

    void bothWindowsStayOpenBesideThePage()
    {
        Run run { QString() };
        run.search->showFind();
        run.search->showReplace();
        QVERIFY(QTest::qWaitForWindowExposed(run.find) && QTest::qWaitForWindowExposed(run.replace));
        QCOMPARE(run.find->windowTitle(), u"查找"_s);
        QCOMPARE(run.replace->windowTitle(), u"替换"_s);
        QVERIFY(!run.find->isModal() && !run.replace->isModal());
        auto *replaceAll = control<QPushButton>(*run.replace, u"Button3"_s);
        // Nothing to search for yet.
        QVERIFY(!control<QPushButton>(*run.find, u"Button1"_s)->isEnabled() && !replaceAll->isEnabled());
        type(control<QLineEdit>(*run.replace, u"Edit1"_s), u"x"_s);
        QVERIFY(replaceAll->isEnabled());
        QTest::mouseClick(control<QPushButton>(*run.find, u"Button2"_s), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(*run.replace, u"Button4"_s), Qt::LeftButton);
        QVERIFY(!run.find->isVisible() && !run.replace->isVisible());
    }

    void findWindowSelectsSuccessiveMatches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<QStringList>("options"); // the buttons clicked first
        // The selections, in bytes, of Find Next presses in a row; the last one reports "本次查找完畢".
        QTest::addColumn<QStringList>("found");
        const QStringList none, matchCase { u"CheckBox1"_s }, wholeWord { u"CheckBox2"_s }, up { u"RadioButton1"_s };
        QTest::newRow("case ignored") << u"Cat cat CAT"_s << 0 << u"cat"_s << none
                                      << QStringList { u"0+3"_s, u"4+3"_s, u"8+3"_s };
        QTest::newRow("match case") << u"Cat cat CAT"_s << 0 << u"cat"_s << matchCase << QStringList { u"4+3"_s };
        QTest::newRow("whole word") << u"concat cat cats cat_ cat"_s << 0 << u"cat"_s << wholeWord
                                    << QStringList { u"7+3"_s, u"21+3"_s };
        QTest::newRow("Chinese in bytes")
            << u"中文字，中文"_s << 0 << u"中文"_s << none << QStringList { u"0+6"_s, u"12+6"_s };
        QTest::newRow("Chinese whole word")
            << u"中文字，中文"_s << 0 << u"中文"_s << wholeWord << QStringList { u"12+6"_s };
        QTest::newRow("from the caret, across lines")
            << u"ab\r\nab\r\nab"_s << 5 << u"ab"_s << none << QStringList { u"8+2"_s };
        QTest::newRow("up still searches forward")
            << u"ab ab ab"_s << 3 << u"ab"_s << up << QStringList { u"3+2"_s, u"6+2"_s };
    }
    void findWindowSelectsSuccessiveMatches()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QString, searched);
        QFETCH(QStringList, options);
        QFETCH(QStringList, found);
        Run run(text);
        run.select(caret, caret);
        run.search->showFind();
        auto *findNext = control<QPushButton>(*run.find, u"Button1"_s);
        type(control<QLineEdit>(*run.find, u"Edit1"_s), searched);
        for (const QString &name : options)
            control<QAbstractButton>(*run.find, name)->click();
        for (const QString &selection : found) {
            press(findNext);
            QCOMPARE(run.selection(), selection);
            QCOMPARE(run.editor->selectedText().toCaseFolded(), searched.toCaseFolded());
        }
        QCOMPARE(run.editor->window()->focusWidget(), run.editor);
        run.expectNotice();
        press(findNext);
        QCOMPARE(run.lastNotice(), notice(u"本次查找完畢"_s, MessageIcon::Error));
        QCOMPARE(run.selection(), found.last());
        QCOMPARE(run.editor->text(), text);
    }

    // Enter in the Find or Replace window, pressed again and again as users do, keeps searching: the
    // keyboard stays in the window and the page is never typed into.
    void enterKeepsSearchingInTheSearchWindows_data()
    {
        QTest::addColumn<bool>("replaceWindow");
        QTest::newRow("Find") << false;
        QTest::newRow("Replace") << true;
    }
    void enterKeepsSearchingInTheSearchWindows()
    {
        QFETCH(bool, replaceWindow);
        Run run(u"ab ab ab"_s);
        QVERIFY(QTest::qWaitForWindowActive(run.f.window.get()));
        QDialog *dialog = replaceWindow ? static_cast<QDialog *>(run.replace) : run.find;
        replaceWindow ? run.search->showReplace() : run.search->showFind();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
        type(control<QLineEdit>(*dialog, u"Edit1"_s), u"ab"_s);
        for (const QString &selection : { u"0+2"_s, u"3+2"_s, u"6+2"_s }) {
            QWidget *keyboard = QApplication::focusWidget();
            QVERIFY2(keyboard && keyboard->window() == dialog,
                qPrintable(u"before the press for %1 the keyboard is in %2"_s.arg(selection,
                    keyboard ? keyboard->objectName() + u" of "_s + keyboard->window()->objectName() : u"nothing"_s)));
            QTest::keyClick(keyboard, Qt::Key_Return);
            // Whatever the press asked of the window system has arrived before the next press.
            QCoreApplication::processEvents();
            QCOMPARE(run.selection(), selection);
        }
        QCOMPARE(run.editor->text(), u"ab ab ab"_s);
        QVERIFY(!run.editor->isModified());
    }

    // After a search box closed, the keyboard is where the user pressed Enter: the next Enter there
    // searches again and never types a line break over the page's selection.
    void enterAfterASearchBoxStaysInTheSearchWindow_data()
    {
        QTest::addColumn<bool>("replaceWindow");
        QTest::addColumn<QString>("button"); // the button the keyboard is on; none for the search text
        QTest::addColumn<QString>("searched");
        QTest::addColumn<QString>("box");
        QTest::newRow("Find finds nothing") << false << QString() << u"html"_s << u"本次查找完畢"_s;
        QTest::newRow("Replace finds nothing") << true << u"Button2"_s << u"html"_s << u"本次搜索完畢"_s;
        QTest::newRow("Replace All") << true << u"Button3"_s << u"zz"_s << u"替換完畢"_s;
        QTest::newRow("Find Next in the Replace window") << true << QString() << u"html"_s << u"本次查找完畢"_s;
    }
    void enterAfterASearchBoxStaysInTheSearchWindow()
    {
        QFETCH(bool, replaceWindow);
        QFETCH(QString, button);
        QFETCH(QString, searched);
        QFETCH(QString, box);
        const QString page = u"<p>x</p>\r\n</html>"_s;
        QtDialogs boxes(u"Vellumo"_s, noPicture);
        Run run(page, &boxes);
        boxes.setParent(run.f.window.get());
        QVERIFY(QTest::qWaitForWindowActive(run.f.window.get()));
        // The last "html" is selected: nothing follows it.
        run.select(12, 16);
        run.editor->setFocus();
        QDialog *dialog = replaceWindow ? static_cast<QDialog *>(run.replace) : run.find;
        replaceWindow ? run.search->showReplace() : run.search->showFind();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
        type(control<QLineEdit>(*dialog, u"Edit1"_s), searched);
        if (replaceWindow)
            type(control<QLineEdit>(*dialog, u"Edit2"_s), u"!"_s);
        if (!button.isEmpty())
            control<QPushButton>(*dialog, button)->setFocus(Qt::TabFocusReason);
        BoxCloser closer;
        for (int press = 1; press <= 2; ++press) {
            QWidget *keyboard = QApplication::focusWidget();
            QVERIFY(keyboard);
            QTest::keyClick(keyboard, Qt::Key_Return);
            // Whatever closing the box asked of the window system has arrived before the next press.
            QCoreApplication::processEvents();
            QCOMPARE(run.editor->text(), page);
            QVERIFY(!run.editor->isModified());
            QCOMPARE(closer.texts, QStringList(press, box));
            QCOMPARE(closer.problems, QStringList());
        }
        QCOMPARE(run.selection(), u"12+4"_s);
        QCOMPARE(QApplication::activeWindow(), dialog);
    }

    void f3RepeatsWhatWasUsedLast()
    {
        Run run(u"ab ab 中文 ab ab"_s);
        // Nothing to repeat yet: the Find window opens.
        run.search->findNext();
        QVERIFY(run.find->isVisible());
        type(control<QLineEdit>(*run.find, u"Edit1"_s), u"ab"_s);
        press(control<QPushButton>(*run.find, u"Button1"_s));
        QTest::mouseClick(control<QPushButton>(*run.find, u"Button2"_s), Qt::LeftButton);
        run.search->findNext();
        QCOMPARE(run.selection(), u"3+2"_s);
        QVERIFY(!run.find->isVisible());

        // A replacement only typed is not yet a replacement made: F3 still finds.
        run.search->showReplace();
        auto *replacement = control<QLineEdit>(*run.replace, u"Edit2"_s);
        type(control<QLineEdit>(*run.replace, u"Edit1"_s), u"ab"_s);
        type(replacement, u"替"_s);
        run.select(0, 0);
        run.search->findNext();
        QCOMPARE(run.editor->text(), u"ab ab 中文 ab ab"_s);
        QCOMPARE(run.selection(), u"0+2"_s);
        run.select(3, 5);

        // The occurrence F3 selected stays; Replace takes the next one and selects its replacement.
        press(control<QPushButton>(*run.replace, u"Button2"_s));
        QCOMPARE(run.editor->text(), u"ab ab 中文 替 ab"_s);
        QCOMPARE(run.editor->selectedText(), u"替"_s);
        run.search->findNext();
        QCOMPARE(run.editor->text(), u"ab ab 中文 替 替"_s);
        QCOMPARE(run.selection(), u"17+3"_s);
        run.expectNotice();
        run.search->findNext();
        QCOMPARE(run.lastNotice(), notice(u"本次搜索完畢"_s, MessageIcon::Warning));

        // Find forgets the replacement, in the Replace window too; F3 finds again.
        run.search->showFind();
        QVERIFY(replacement->text().isEmpty());
        run.select(0, 0);
        run.search->findNext();
        QCOMPARE(run.editor->text(), u"ab ab 中文 替 替"_s);
        QCOMPARE(run.selection(), u"0+2"_s);
        QVERIFY(run.editor->isModified());
    }

    void replaceWindowFindNextFillsTheFindWindow()
    {
        Run run(u"cat Cat CAT"_s);
        auto *findText = control<QLineEdit>(*run.find, u"Edit1"_s);
        auto *findWholeWord = control<QCheckBox>(*run.find, u"CheckBox2"_s);
        run.search->showFind();
        type(findText, u"dog"_s);
        findWholeWord->click();
        run.search->showReplace();
        type(control<QLineEdit>(*run.replace, u"Edit1"_s), u"Cat"_s);
        control<QCheckBox>(*run.replace, u"CheckBox1"_s)->click();
        press(control<QPushButton>(*run.replace, u"Button1"_s));
        QCOMPARE(run.selection(), u"4+3"_s);
        QCOMPARE(findText->text(), u"Cat"_s);
        QVERIFY(control<QCheckBox>(*run.find, u"CheckBox1"_s)->isChecked() && !findWholeWord->isChecked());
        run.expectNotice();
        press(control<QPushButton>(*run.find, u"Button1"_s));
        QCOMPARE(run.lastNotice(), notice(u"本次查找完畢"_s, MessageIcon::Error));
    }

    // With 循环查找 ticked, a search that reaches the end of the page goes on from its start; without it the
    // match above the caret is not found.
    void wrapAroundFindsAMatchAboveTheCaret_data()
    {
        QTest::addColumn<bool>("replaceWindow");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<QString>("notice"); // the box shown, "<none>" for none
        QTest::addColumn<QString>("selection"); // in bytes
        QTest::addColumn<QString>("text");
        const QString page = u"ab 中文 cd"_s;
        const QString found = u"<none>"_s, notFound = notice(u"本次查找完畢"_s, MessageIcon::Error);
        QTest::newRow("Find, off") << false << u"Button1"_s << false << notFound << u"12+0"_s << page;
        QTest::newRow("Find, on") << false << u"Button1"_s << true << found << u"0+2"_s << page;
        QTest::newRow("Replace window's Find Next, off")
            << true << u"Button1"_s << false << notFound << u"12+0"_s << page;
        QTest::newRow("Replace window's Find Next, on") << true << u"Button1"_s << true << found << u"0+2"_s << page;
        QTest::newRow("Replace, off") << true << u"Button2"_s << false
                                      << notice(u"本次搜索完畢"_s, MessageIcon::Warning) << u"12+0"_s << page;
        QTest::newRow("Replace, on") << true << u"Button2"_s << true << found << u"0+3"_s << u"替 中文 cd"_s;
    }
    void wrapAroundFindsAMatchAboveTheCaret()
    {
        QFETCH(bool, replaceWindow);
        QFETCH(QString, button);
        QFETCH(bool, wrap);
        QFETCH(QString, notice);
        QFETCH(QString, selection);
        QFETCH(QString, text);
        Run run(u"ab 中文 cd"_s);
        run.select(12, 12);
        QDialog *dialog = replaceWindow ? static_cast<QDialog *>(run.replace) : run.find;
        replaceWindow ? run.search->showReplace() : run.search->showFind();
        auto *wrapBox = control<QCheckBox>(*dialog, u"CheckBox3"_s);
        QCOMPARE(wrapBox->text(), u"循环查找"_s);
        QVERIFY(!wrapBox->isChecked());
        if (wrap)
            tick(wrapBox);
        QCOMPARE(wrapBox->isChecked(), wrap);
        type(control<QLineEdit>(*dialog, u"Edit1"_s), u"ab"_s);
        if (replaceWindow)
            type(control<QLineEdit>(*dialog, u"Edit2"_s), u"替"_s);
        if (notice != u"<none>"_s)
            run.expectNotice();
        press(control<QPushButton>(*dialog, button));
        QCOMPARE(run.lastNotice(), notice);
        QCOMPARE(run.selection(), selection);
        QCOMPARE(run.editor->text(), text);
    }

    // The choice is the user's, not the window's: both windows show it, and the next main window (the
    // next run) starts with it.
    void wrapAroundIsRememberedByANewWindow()
    {
        Run run(u"ab"_s);
        run.search->showFind();
        auto *findWrap = control<QCheckBox>(*run.find, u"CheckBox3"_s);
        auto *replaceWrap = control<QCheckBox>(*run.replace, u"CheckBox3"_s);
        const auto nextWindowWraps = [&run] {
            MainWindow next(run.f.platform, run.f.dir.path(), run.f.placementFile());
            control<QAction>(next, u"F2"_s)->trigger();
            auto *find = next.findChild<FindDialog *>();
            control<QAction>(next, u"R1"_s)->trigger();
            auto *replace = next.findChild<ReplaceDialog *>();
            if (!find || !replace)
                return u"no windows"_s;
            return u"%1 %2"_s.arg(control<QCheckBox>(*find, u"CheckBox3"_s)->isChecked())
                .arg(control<QCheckBox>(*replace, u"CheckBox3"_s)->isChecked());
        };
        QCOMPARE(nextWindowWraps(), u"0 0"_s);
        tick(findWrap);
        QVERIFY(findWrap->isChecked() && replaceWrap->isChecked());
        QVERIFY(QString::fromUtf8(TestFiles::read(run.f.placementFile())).contains(u"[search]\r\nwrap=1\r\n"_s));
        QCOMPARE(nextWindowWraps(), u"1 1"_s);
        run.search->showReplace();
        tick(replaceWrap);
        QVERIFY(!findWrap->isChecked() && !replaceWrap->isChecked());
        QCOMPARE(nextWindowWraps(), u"0 0"_s);
    }

    // The Replace window opens with the Find window's text; once open, it keeps what is typed into it.
    void replaceWindowTakesTheFindText()
    {
        Run run(u"ab"_s);
        auto *replaceText = control<QLineEdit>(*run.replace, u"Edit1"_s);
        run.search->showReplace();
        type(replaceText, u"old"_s);
        QTest::mouseClick(control<QPushButton>(*run.replace, u"Button4"_s), Qt::LeftButton);
        run.search->showFind();
        type(control<QLineEdit>(*run.find, u"Edit1"_s), u"中文"_s);
        run.search->showReplace();
        QCOMPARE(replaceText->text(), u"中文"_s);
        QCOMPARE(replaceText->selectedText(), u"中文"_s);
        type(replaceText, u"mine"_s);
        run.search->showReplace();
        QCOMPARE(replaceText->text(), u"mine"_s);
        // Find Next there gives it back to the Find window, and both go on with it.
        run.expectNotice();
        press(control<QPushButton>(*run.replace, u"Button1"_s));
        QCOMPARE(run.lastNotice(), notice(u"本次查找完畢"_s, MessageIcon::Error));
        QCOMPARE(control<QLineEdit>(*run.find, u"Edit1"_s)->text(), u"mine"_s);
    }

    void replaceAllMakesOnePassAndOneUndoStep_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QStringList>("options"); // the buttons clicked first
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("selection"); // in bytes
        const QStringList none, matchCase { u"CheckBox1"_s }, wholeWord { u"CheckBox2"_s };
        QTest::newRow("replacement holding the search text")
            << u"a a a"_s << u"a"_s << u"aa"_s << none << u"aa aa aa"_s << u"8+0"_s;
        QTest::newRow("absent text") << u"abc"_s << u"x"_s << u"y"_s << none << u"abc"_s << u"1+1"_s;
        QTest::newRow("match case") << u"Ab ab AB"_s << u"ab"_s << u"c"_s << matchCase << u"Ab c AB"_s << u"4+0"_s;
        QTest::newRow("whole word") << u"<p>cat concat\r\ncat</p>"_s << u"cat"_s << u"dog"_s << wholeWord
                                    << u"<p>dog concat\r\ndog</p>"_s << u"18+0"_s;
        // Replaced one by one, the first replacement's last letter makes the second "a-" part of a word.
        QTest::newRow("whole word right behind a replacement")
            << u"a-a-"_s << u"a-"_s << u"x"_s << wholeWord << u"xa-"_s << u"1+0"_s;
        const QString far(300, u'-');
        QTest::newRow("far apart and close together")
            << u"cat"_s + far + u"cat cat\r\ncat"_s + far << u"cat"_s << u"dog!"_s << none
            << u"dog!"_s + far + u"dog! dog!\r\ndog!"_s + far << u"%1+0"_s.arg(4 + 300 + 11 + 4);
        QTest::newRow("Chinese") << u"<p>一</p>\r\n<p>二</p>"_s << u"p>"_s << u"段落>"_s << none
                                 << u"<段落>一</段落>\r\n<段落>二</段落>"_s << u"42+0"_s;
    }
    void replaceAllMakesOnePassAndOneUndoStep()
    {
        QFETCH(QString, text);
        QFETCH(QString, searched);
        QFETCH(QString, replacement);
        QFETCH(QStringList, options);
        QFETCH(QString, result);
        QFETCH(QString, selection);
        Run run(text);
        run.select(1, 2);
        run.search->showReplace();
        type(control<QLineEdit>(*run.replace, u"Edit1"_s), searched);
        type(control<QLineEdit>(*run.replace, u"Edit2"_s), replacement);
        for (const QString &name : options)
            control<QAbstractButton>(*run.replace, name)->click();
        run.expectNotice();
        press(control<QPushButton>(*run.replace, u"Button3"_s));
        QCOMPARE(run.lastNotice(), notice(u"替換完畢"_s, MessageIcon::None));
        QCOMPARE(run.editor->text(), result);
        QCOMPARE(run.selection(), selection);
        QCOMPARE(run.editor->isModified(), result != text);
        QCOMPARE(run.editor->wrapMode(), QsciScintilla::WrapWord);
        run.editor->undo();
        QCOMPARE(run.editor->text(), text);
        QVERIFY(!run.editor->isUndoAvailable());
    }

    void replaceAllOverSeveralMegabytes()
    {
        // 4 MB of page with 300,000 occurrences.
        const int lines = 100000;
        QString text;
        text.reserve(lines * 40);
        for (int i = 0; i < lines; ++i)
            text += u"<td class=\"cell\">单元 cell cells</td>\r\n"_s;
        Run run(text);
        const long bytes = run.editor->SendScintilla(Base::SCI_GETLENGTH);
        QVERIFY(bytes > 4000000);
        run.search->showReplace();
        type(control<QLineEdit>(*run.replace, u"Edit1"_s), u"cell"_s);
        type(control<QLineEdit>(*run.replace, u"Edit2"_s), u"格子"_s);
        auto *replaceAll = control<QPushButton>(*run.replace, u"Button3"_s);
        run.expectNotice();
        QElapsedTimer timer;
        timer.start();
        press(replaceAll);
        const qint64 elapsed = timer.elapsed();
        qInfo("Replace All of %d occurrences in %ld bytes: %lld ms", 3 * lines, bytes, elapsed);
        QCOMPARE(run.lastNotice(), notice(u"替換完畢"_s, MessageIcon::None));
        const QString after = run.editor->text();
        QCOMPARE(after.count(u"格子"_s), 3 * lines);
        QVERIFY(!after.contains(u"cell"_s));
        QCOMPARE(run.selection(), u"%1+0"_s.arg(run.editor->SendScintilla(Base::SCI_GETLENGTH) - 8));
        // A linear pass takes well under a second; one whose steps grow with the page takes hours.
        QVERIFY2(elapsed < 15000, qPrintable(u"%1 ms"_s.arg(elapsed)));
    }
};

QTEST_MAIN(TestSearchWindows)
#include "tst_searchwindows.moc"
