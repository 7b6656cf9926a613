#include "mainwindowfixture.h"

#include "effects/imageeffectwindow.h"
#include "effects/menueffectwindow.h"
#include "effects/texteffectwindow.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatlineedit.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {
const QString Link1 = u"[COMBOX]\r\nTOTAL=4\r\nL1=图片特效\r\nL2=简单复制\r\nL3=空类\r\nL4=请选择...\r\n"_s;
const QString Link2
    = u"[图片特效]\r\nTOTAL=2\r\nl1=渐变\r\nl2=轮换\r\n[简单复制]\r\nTOTAL=3\r\nl1=返回顶部\r\nl2=不在\r\nl3=返回顶部\r\n"
      "[空类]\r\nTOTAL=0\r\n[system]\r\n图片特效渐变=2\r\n图片特效轮换=01\r\n简单复制返回顶部=1\r\n"
      "简单复制不在=1\r\n"_s;
}

class TestEffectPanel : public QObject
{
    Q_OBJECT

    void library(MainWindowFixture &f)
    {
        f.putText(u"LINK1.INI"_s, Link1);
        f.putText(u"LINK2.INI"_s, Link2);
        f.put(u"简单复制/返回顶部.txt"_s, Ansi::encode(u"<a href=\"#\">顶部</a>\n<script>\rvar x;\r\n</script>"_s));
        f.putText(u"图片特效/渐变"_s, u"[file]\r\nimgfilet=0\r\nhbu=无需图片\r\n"_s);
    }
    // The same library with no two lines alike, so that which line was taken can be told.
    void distinctLibrary(MainWindowFixture &f)
    {
        library(f);
        f.putText(u"LINK2.INI"_s,
            QString(Link2).replace(u"l2=轮换"_s, u"l2=返回轮换"_s).replace(u"l3=返回顶部"_s, u"l3=返回首页"_s)
                + u"简单复制返回首页=1\r\n"_s);
        f.put(u"简单复制/返回首页.txt"_s, Ansi::encode(u"<a href=\"/\">首页</a>"_s));
    }
    static FlatComboBox *categoryBox(MainWindow &w) { return control<FlatComboBox>(w, u"ComboBox1"_s); }
    static FlatComboBox *effectBox(MainWindow &w) { return control<FlatComboBox>(w, u"ComboBox3"_s); }
    static FlatLineEdit *searchBox(MainWindow &w) { return control<FlatLineEdit>(w, u"Edit1"_s); }
    static QListWidget *resultList(MainWindow &w) { return control<QListWidget>(w, u"ListBox1"_s); }

    void choose(MainWindow &w, int index)
    {
        FlatComboBox *categories = categoryBox(w);
        categories->setCurrentIndex(index);
        emit categories->activated(index);
    }
    // A double-click on the result list, which starts the selected line's effect wherever it lands.
    static void doubleClickResults(MainWindow &w)
    {
        QWidget *viewport = resultList(w)->viewport();
        QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(1, 1), viewport->mapToGlobal(QPointF(1, 1)),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &click);
    }
    QStringList effectItems(MainWindow &w)
    {
        FlatComboBox *effects = effectBox(w);
        QStringList items;
        for (int i = 0; i < effects->count(); ++i)
            items << effects->itemText(i);
        return items;
    }
    QStringList results(MainWindow &w)
    {
        QListWidget *list = resultList(w);
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }

private slots:
    void choosingACategoryLoadsItsEffects()
    {
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        FlatComboBox *effects = effectBox(w);
        effects->setEditText(u"old"_s);
        choose(w, 0);
        QCOMPARE(effectItems(w), (QStringList { u"渐变"_s, u"轮换"_s }));
        QCOMPARE(effects->currentText(), QString());
        // The pseudo category leaves the list as it is and empties the text.
        effects->setEditText(u"渐变"_s);
        choose(w, 3);
        QCOMPARE(effectItems(w), (QStringList { u"渐变"_s, u"轮换"_s }));
        QCOMPARE(effects->currentText(), QString());
        // A category without effects empties both.
        choose(w, 2);
        QCOMPARE(effectItems(w), QStringList());
        QCOMPARE(effects->currentText(), QString());
    }

    void typingACategoryOnlyEmptiesTheEffectText()
    {
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        choose(w, 0);
        FlatComboBox *effects = effectBox(w);
        effects->setEditText(u"渐变"_s);
        typeInto(categoryBox(w)->lineEdit(), u"图"_s);
        QCOMPARE(effects->currentText(), QString());
        QCOMPARE(effectItems(w).size(), 2);
    }

    // Chooses a category the way the user does: opens the box's list and clicks the item.
    static void clickItem(FlatComboBox *box, int index)
    {
        box->showPopup();
        QAbstractItemView *list = box->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        const QPoint at = list->visualRect(box->model()->index(index, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTRY_VERIFY(!list->window()->isVisible());
    }
    static void typeInto(QWidget *widget, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    void choosingFromTheListLoadsThenEmptiesTheText()
    {
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        FlatComboBox *categories = categoryBox(w);
        FlatComboBox *effects = effectBox(w);
        clickItem(categories, 0);
        QCOMPARE(categories->currentText(), u"图片特效"_s);
        QCOMPARE(effectItems(w), (QStringList { u"渐变"_s, u"轮换"_s }));
        // The same category chosen again still empties the effect text.
        effects->setEditText(u"渐变"_s);
        clickItem(categories, 0);
        QCOMPARE(effects->currentText(), QString());
        QCOMPARE(effectItems(w), (QStringList { u"渐变"_s, u"轮换"_s }));
        // A category whose count is no number: the error box, and the effect box as it was.
        f.putText(u"LINK2.INI"_s, Link2 + u"[坏]\r\nTOTAL=abc\r\n"_s);
        categories->addItem(u"坏"_s);
        effects->setEditText(u"轮换"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Error);
        clickItem(categories, categories->count() - 1);
        QCOMPARE(f.dialogs.calls.last().text, u"'abc' is not a valid integer value."_s);
        QCOMPARE(effectItems(w), (QStringList { u"渐变"_s, u"轮换"_s }));
        QCOMPARE(effects->currentText(), u"轮换"_s);
    }

    void typingACategoryNeverLoadsItsList()
    {
        MainWindowFixture f;
        library(f);
        f.putText(u"LINK2.INI"_s, Link2 + u"[坏]\r\nTOTAL=abc\r\n"_s);
        MainWindow &w = f.create();
        FlatComboBox *categories = categoryBox(w);
        categories->addItem(u"坏"_s);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        categories->setFocus();
        QTRY_VERIFY(categories->lineEdit()->hasFocus());
        // A category typed whole, then Enter, then the focus moves on: no list is loaded, and the
        // damaged count raises no error box (the scripted dialogs fail the test on one).
        for (const QString &typed : { u"图片特效"_s, u"坏"_s }) {
            categories->lineEdit()->clear();
            typeInto(categories->lineEdit(), typed);
            QCOMPARE(categories->currentText(), typed);
            QTest::keyClick(categories->lineEdit(), Qt::Key_Return);
            QCOMPARE(effectItems(w), QStringList());
            searchBox(w)->setFocus();
            QTRY_VERIFY(!categories->lineEdit()->hasFocus());
            QCoreApplication::processEvents();
            QCOMPARE(effectItems(w), QStringList());
            QVERIFY(f.dialogs.calls.isEmpty());
            categories->setFocus();
        }
    }

    void damagedCountKeepsThePreviousList()
    {
        MainWindowFixture f;
        library(f);
        f.putText(u"LINK2.INI"_s, Link2 + u"[坏]\r\nTOTAL=abc\r\n"_s);
        MainWindow &w = f.create();
        choose(w, 0);
        categoryBox(w)->setEditText(u"坏"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Error);
        emit categoryBox(w)->activated(categoryBox(w)->currentIndex());
        QCOMPARE(f.dialogs.calls.last().text, u"'abc' is not a valid integer value."_s);
        QCOMPARE(effectItems(w), (QStringList { u"渐变"_s, u"轮换"_s }));
    }

    void startingByKind_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty effect does nothing") << u"图片特效"_s << QString() << QString();
        QTest::newRow("no kind entry") << u"图片特效"_s << u"手写"_s << u"出现莫名奇妙的错误"_s;
        QTest::newRow("kind 01 does nothing") << u"图片特效"_s << u"轮换"_s << QString();
        QTest::newRow("category naming no section") << u"无此类"_s << u"渐变"_s << u"出现莫名奇妙的错误"_s;
    }
    void startingByKind()
    {
        QFETCH(QString, category);
        QFETCH(QString, effect);
        QFETCH(QString, message);
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        categoryBox(w)->setEditText(category);
        effectBox(w)->setEditText(effect);
        if (!message.isEmpty())
            f.dialogs.expect(ScriptedDialogs::Kind::Message);
        control<QToolButton>(w, u"SpeedButton7"_s)->click();
        QCOMPARE(f.dialogs.calls.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(f.dialogs.calls[0].text, message);
        QCOMPARE(f.clipboard.setCount, 0);
    }

    void simpleCopyPutsTheTextWithCrLfOnTheClipboard()
    {
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        categoryBox(w)->setEditText(u"简单复制"_s);
        effectBox(w)->setEditText(u"返回顶部"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        control<QToolButton>(w, u"SpeedButton7"_s)->click();
        QCOMPARE(f.dialogs.calls[0].caption, u"询问"_s);
        QCOMPARE(f.dialogs.calls[0].text, u"本特效不用做任何设置，直接复接便可使用，是否真的要确定"_s);
        QCOMPARE(f.dialogs.calls[0].icon, MessageIcon::Question);
        QCOMPARE(f.clipboard.text(), u"<a href=\"#\">顶部</a>\r\n<script>\r\nvar x;\r\n</script>"_s);
        QCOMPARE(f.buffers().rows, QString());
    }

    // A setup window that copied hands the keyboard back to the page; one closed without copying
    // leaves it where it was.
    void aSetupWindowThatCopiedHandsTheKeyboardBack_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::newRow("copied") << true;
        QTest::newRow("closed") << false;
    }
    void aSetupWindowThatCopiedHandsTheKeyboardBack()
    {
        QFETCH(bool, copy);
        MainWindowFixture f;
        library(f);
        f.putText(u"LINK2.INI"_s, u"[导航]\r\nTOTAL=1\r\nl1=字\r\n[system]\r\n导航字=4\r\n"_s);
        f.putText(u"导航/字"_s,
            u"[file]\r\ntxttop=<\r\ntxtbu=>\r\nft=0\r\n[list]\r\ntotal=1\r\nlist1=txt\r\n[abcd]\r\ntotal=1\r\nopen1=list\r\n"_s);
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        categoryBox(w)->setEditText(u"导航"_s);
        effectBox(w)->setEditText(u"字"_s);
        searchBox(w)->setFocus();
        QTimer::singleShot(0, [copy] {
            auto *text = qobject_cast<TextEffectWindow *>(QApplication::activeModalWidget());
            QVERIFY(text);
            if (!copy) {
                control<QToolButton>(*text, u"SpeedButton4"_s)->click();
                return;
            }
            control<FlatLineEdit>(*text, u"RFlatEdit1"_s)->setText(u"x"_s);
            control<QToolButton>(*text, u"SpeedButton3"_s)->click();
            control<QToolButton>(*text, u"SpeedButton5"_s)->click(); // no files to copy: no folder asked
        });
        control<QToolButton>(w, u"SpeedButton7"_s)->click();
        QCOMPARE(f.clipboard.text(), copy ? u"<x>"_s : QString());
        if (copy)
            QTRY_COMPARE(QApplication::focusWidget(), editor);
        else
            QVERIFY(QApplication::focusWidget() != editor);
        QVERIFY(f.dialogs.allAnswersUsed());
    }

    // After an effect the keyboard is back on the page: Ctrl+V pastes the code there, not into a box.
    void afterAnEffectCtrlVPastesIntoThePage()
    {
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        editor->setText(u"<body>\r\n</body>"_s);
        editor->setCursorPosition(1, 0);
        choose(w, 1);
        auto *effects = effectBox(w);
        effects->setCurrentIndex(0);
        emit effects->activated(0);
        effects->setFocus();
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        QTest::mouseClick(control<QToolButton>(w, u"SpeedButton7"_s), Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), editor);
        QCOMPARE(QToolTip::text(), u"特效代码已复制到剪贴板，按 Ctrl+V 粘贴到光标处。"_s);
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor->text(), u"<body>\r\n<a href=\"#\">顶部</a>\r\n<script>\r\nvar x;\r\n</script></body>"_s);
        QCOMPARE(effects->currentText(), u"返回顶部"_s);
    }

    void simpleCopyAnsweredNoOrMissingLeavesTheClipboard()
    {
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        f.clipboard.setText(u"before"_s);
        FlatComboBox *effects = effectBox(w);
        categoryBox(w)->setEditText(u"简单复制"_s);
        effects->setEditText(u"返回顶部"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        control<QToolButton>(w, u"SpeedButton7"_s)->click();
        effects->setEditText(u"不在"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Message);
        control<QToolButton>(w, u"SpeedButton7"_s)->click();
        QCOMPARE(f.dialogs.calls.last().text, u"文件不存在"_s);
        QCOMPARE(f.clipboard.text(), u"before"_s);
    }

    void searchListsResultsInOrder()
    {
        MainWindowFixture f;
        distinctLibrary(f);
        MainWindow &w = f.create();
        FlatLineEdit *search = searchBox(w);
        search->setText(u"返回"_s);
        control<QToolButton>(w, u"SpeedButton6"_s)->click();
        QCOMPARE(results(w), (QStringList { u"图片特效.返回轮换"_s, u"简单复制.返回顶部"_s, u"简单复制.返回首页"_s }));
        QVERIFY(resultList(w)->selectedItems().isEmpty());
        auto *nothingFound = control<QLabel>(w, u"NoResults"_s);
        QVERIFY(nothingFound->isHidden());
        search->setText(QString());
        control<QToolButton>(w, u"SpeedButton6"_s)->click();
        QCOMPARE(results(w), QStringList());
        QVERIFY(!nothingFound->isHidden());
        QCOMPARE(nothingFound->text(), u"请输入特效名称中的字，再查询。"_s);
    }

    // Only A-Z are made lower case, as the search folds them: full-width and accented letters are
    // found as they are typed.
    void lettersBeyondAToZAreFoundAsTyped()
    {
        MainWindowFixture f;
        library(f);
        f.putText(u"LINK2.INI"_s, QString(Link2).replace(u"l2=不在"_s, u"l2=特效ＶÉA"_s) + u"简单复制特效ＶÉA=1\r\n"_s);
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        FlatLineEdit *search = searchBox(w);
        search->setFocus();
        search->selectAll();
        QInputMethodEvent typed;
        typed.setCommitString(u"ＶÉA"_s);
        QApplication::sendEvent(search, &typed);
        QCOMPARE(search->text(), u"ＶÉa"_s);
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(results(w), QStringList { u"简单复制.特效ＶÉA"_s });
    }

    void enterInTheSearchBoxSearchesAndNothingFoundIsSaid()
    {
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        FlatLineEdit *search = searchBox(w);
        search->setFocus();
        search->selectAll();
        QTest::keyClicks(search, u"zzz"_s);
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(results(w), QStringList());
        auto *nothingFound = control<QLabel>(w, u"NoResults"_s);
        QVERIFY(nothingFound->isVisible());
        QCOMPARE(nothingFound->text(), u"没有找到名称中含有“zzz”的特效。"_s);
        search->setText(u"返回"_s);
        QTest::keyClick(search, Qt::Key_Enter);
        QCOMPARE(results(w), (QStringList { u"简单复制.返回顶部"_s, u"简单复制.返回顶部"_s }));
        QVERIFY(!nothingFound->isVisible());
    }

    void doubleClickStartsTheEffectOfTheLine()
    {
        MainWindowFixture f;
        distinctLibrary(f);
        MainWindow &w = f.create();
        choose(w, 0);
        searchBox(w)->setText(u"返回"_s);
        control<QToolButton>(w, u"SpeedButton6"_s)->click();
        resultList(w)->setCurrentRow(2);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        doubleClickResults(w);
        QCOMPARE(categoryBox(w)->currentText(), u"简单复制"_s);
        QCOMPARE(effectBox(w)->currentText(), u"返回首页"_s);
        QCOMPARE(effectItems(w), (QStringList { u"返回顶部"_s, u"不在"_s, u"返回首页"_s }));
        QCOMPARE(f.clipboard.text(), u"<a href=\"/\">首页</a>"_s);
    }

    // With the mouse, as users do: a click on the line, a click below the last row, then a
    // double-click there starts the line's effect; so does a double-click on the line itself.
    void doubleClickBelowTheRowsStartsTheSelectedLine_data()
    {
        QTest::addColumn<bool>("onTheLine");
        QTest::newRow("below the last row") << false;
        QTest::newRow("on the line") << true;
    }
    void doubleClickBelowTheRowsStartsTheSelectedLine()
    {
        QFETCH(bool, onTheLine);
        MainWindowFixture f;
        distinctLibrary(f);
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        choose(w, 0);
        searchBox(w)->setText(u"返回"_s);
        control<QToolButton>(w, u"SpeedButton6"_s)->click();
        QListWidget *list = resultList(w);
        QCOMPARE(list->count(), 3);
        const QPoint line = list->visualItemRect(list->item(2)).center();
        const QPoint below(line.x(), list->visualItemRect(list->item(2)).bottom() + 20);
        QVERIFY(!list->indexAt(below).isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line);
        QCOMPARE(list->selectedItems().size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(list->selectedItems().size(), 1);
        QCOMPARE(list->currentRow(), 2);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onTheLine ? line : below);
        QCOMPARE(f.dialogs.calls.size(), 1);
        QCOMPARE(effectBox(w)->currentText(), u"返回首页"_s);
    }

    // A count that does not convert stops the double-click at its error box, as every handler stops:
    // the effect is not started, whatever kind it has.
    void doubleClickStopsAtADamagedCount_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("kind");
        QTest::newRow("simple copy") << u"坏.返回顶部"_s << u"1"_s;
        QTest::newRow("image effect") << u"坏.渐变"_s << u"2"_s;
        QTest::newRow("no kind") << u"坏.手写"_s << QString();
    }
    void doubleClickStopsAtADamagedCount()
    {
        QFETCH(QString, line);
        QFETCH(QString, kind);
        MainWindowFixture f;
        library(f);
        const QString effect = line.mid(line.indexOf(u'.') + 1);
        // The kind goes into the section "system", which ends the index.
        f.putText(u"LINK2.INI"_s,
            Link2 + (kind.isEmpty() ? QString() : u"坏%1=%2\r\n"_s.arg(effect, kind))
                + u"[坏]\r\nTOTAL=abc\r\nl1=%1\r\n"_s.arg(effect));
        f.put(u"坏/返回顶部.txt"_s, "<b>copied</b>");
        f.putText(u"坏/渐变"_s, u"[file]\r\nimgfilet=0\r\nhbu=无需图片\r\n"_s);
        MainWindow &w = f.create();
        choose(w, 0);
        f.clipboard.setText(u"before"_s);
        QListWidget *list = resultList(w);
        list->addItem(line);
        list->setCurrentRow(0);
        // A setup window that opens is closed again, and said.
        bool windowOpened = false;
        QTimer::singleShot(0, &w, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                windowOpened = true;
                modal->close();
            }
        });
        f.dialogs.expect(ScriptedDialogs::Kind::Error);
        doubleClickResults(w);
        QCOMPARE(f.dialogs.calls.size(), 1);
        QCOMPARE(f.dialogs.calls[0].text, u"'abc' is not a valid integer value."_s);
        QVERIFY(!windowOpened);
        QCOMPARE(f.clipboard.text(), u"before"_s);
        // What the handler did before the error stays done; the effect list is the previous one.
        QCOMPARE(categoryBox(w)->currentText(), u"坏"_s);
        QCOMPARE(effectBox(w)->currentText(), effect);
        QCOMPARE(effectItems(w), (QStringList { u"渐变"_s, u"轮换"_s }));
    }

    void doubleClickWithoutSelectionDoesNothing()
    {
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        resultList(w)->addItem(u"简单复制.返回顶部"_s);
        doubleClickResults(w);
        QVERIFY(f.dialogs.calls.isEmpty());
    }

    void doubleClickOnADottedNameStartsNothing()
    {
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        QListWidget *list = resultList(w);
        list->addItem(u"简单复制.a.b"_s);
        list->setCurrentRow(0);
        doubleClickResults(w);
        // No section "简单复制.a": loading its list empties the effect text, so nothing starts.
        QCOMPARE(categoryBox(w)->currentText(), u"简单复制.a"_s);
        QCOMPARE(effectBox(w)->currentText(), QString());
        QVERIFY(f.dialogs.calls.isEmpty());
    }

    void imageEffectOpensItsWindow()
    {
        MainWindowFixture f;
        library(f);
        MainWindow &w = f.create();
        categoryBox(w)->setEditText(u"图片特效"_s);
        effectBox(w)->setEditText(u"渐变"_s);
        QString status;
        QTimer::singleShot(0, [&] {
            auto *window = qobject_cast<ImageEffectWindow *>(QApplication::activeModalWidget());
            QVERIFY(window);
            status = control<QLabel>(*window, u"spanle"_s)->text();
            control<QPushButton>(*window, u"Button6"_s)->click();
        });
        control<QToolButton>(w, u"SpeedButton7"_s)->click();
        QCOMPARE(status, u"本特效需图像文件0个，需文本文件0个。无需图片"_s);
    }

    // Kinds 3 and 4 open the menu and the text window; the menu windows of one run share whether a
    // parent menu is still needed.
    void menuAndTextEffectsOpenTheirWindows()
    {
        MainWindowFixture f;
        library(f);
        f.putText(u"LINK2.INI"_s,
            u"[导航]\r\nTOTAL=3\r\nl1=无母\r\nl2=不说\r\nl3=字\r\n[system]\r\n导航无母=3\r\n导航不说=3\r\n导航字=4\r\n"_s);
        f.putText(u"导航/无母"_s, u"[file]\r\nimgfilet=x\r\nmm=0\r\n"_s);
        f.putText(u"导航/不说"_s, u"[file]\r\nimgfilet=x\r\nhbu=第二个\r\n"_s);
        f.putText(u"导航/字"_s, u"[file]\r\nhbu=文字\r\n"_s);
        MainWindow &w = f.create();
        const auto start = [&](const QString &effect) {
            QString seen;
            QTimer::singleShot(0, [&] {
                QWidget *modal = QApplication::activeModalWidget();
                if (auto *menu = qobject_cast<MenuEffectWindow *>(modal)) {
                    seen = control<QLabel>(*menu, u"spanle"_s)->text()
                        + (menu->effect().parentMenuNeeded() ? u" 需母菜单"_s : u""_s);
                    control<QToolButton>(*menu, u"SpeedButton6"_s)->click();
                } else if (auto *text = qobject_cast<TextEffectWindow *>(modal)) {
                    seen = u"文字窗口 "_s + control<QLabel>(*text, u"spanle"_s)->text();
                    control<QToolButton>(*text, u"SpeedButton4"_s)->click();
                }
            });
            categoryBox(w)->setEditText(u"导航"_s);
            effectBox(w)->setEditText(effect);
            control<QToolButton>(w, u"SpeedButton7"_s)->click();
            return seen;
        };
        QCOMPARE(start(u"无母"_s), u"本特效需图像文件x个，需文本文件0个。"_s);
        // 不说 says nothing about a parent menu: the flag 无母 cleared stays cleared (else " 需母菜单").
        QCOMPARE(start(u"不说"_s), u"本特效需图像文件x个，需文本文件0个。第二个"_s);
        QCOMPARE(start(u"字"_s), u"文字窗口 本特效需图像文件0个，需文本文件0个。文字"_s);
    }

    // A click into the untouched "特效名称...", with or without the focus having followed the mouse there
    // first, leaves it selected: what is typed next replaces it and is what the search looks for.
    void clickIntoTheSearchHintThenTypingReplacesIt_data()
    {
        QTest::addColumn<bool>("hoverFirst");
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("click in the middle, Chinese")
            << false << QPoint(40, 9) << u"顶部"_s << u"顶部"_s << QStringList { u"简单复制.返回顶部"_s };
        QTest::newRow("hover, then click at the end, Chinese")
            << true << QPoint(180, 9) << u"顶部"_s << u"顶部"_s << QStringList { u"简单复制.返回顶部"_s };
        QTest::newRow("click at the start, letters made lower case")
            << false << QPoint(2, 9) << u"ZZ"_s << u"zz"_s << QStringList();
    }
    void clickIntoTheSearchHintThenTypingReplacesIt()
    {
        QFETCH(bool, hoverFirst);
        QFETCH(QPoint, click);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        MainWindowFixture f;
        distinctLibrary(f);
        MainWindow &w = f.create();
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        FlatLineEdit *search = searchBox(w);
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        if (hoverFirst) {
            QTest::mouseMove(search, click);
            QTRY_VERIFY(search->hasFocus());
        }
        QTest::mouseClick(search, Qt::LeftButton, {}, click);
        QVERIFY(search->hasFocus());
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, search, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QCOMPARE(search->text(), text);
        QTest::mouseClick(control<QToolButton>(w, u"SpeedButton6"_s), Qt::LeftButton);
        QCOMPARE(results(w), found);
        // What the user typed is no hint: a click places the caret in it.
        QTest::mouseClick(search, Qt::LeftButton, {}, QPoint(2, 9));
        QVERIFY(search->selectedText().isEmpty());
        QTest::keyClicks(search, u"x"_s);
        QCOMPARE(search->text(), u"x"_s + text);
    }

    void searchBoxTakesTheFocusWithItsTextSelected()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        FlatLineEdit *search = searchBox(w);
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), search->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(search, &move);
        QTRY_VERIFY(search->hasFocus());
        QCOMPARE(search->selectedText(), u"特效名称..."_s);
        QTest::keyClick(search, Qt::Key_A, Qt::ShiftModifier);
        QCOMPARE(search->text(), u"a"_s);
    }
};

QTEST_MAIN(TestEffectPanel)
#include "tst_effectpanel.moc"
