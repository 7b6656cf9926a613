// The menu and text setup windows driven through their named controls, as a user would.
#include "mainwindowfixture.h"

#include "effects/menueffectwindow.h"
#include "effects/texteffectwindow.h"
#include "platform/vellumoerror.h"
#include "widgets/colorpickerbutton.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatlineedit.h"
#include "widgets/numericedit.h"
#include "widgets/spinedit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
const QString Category = u"测试"_s;
const QString Effect = u"测试特效"_s;

QString crlf(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s).replace(u"\n"_s, u"\r\n"_s);
}
}

class TestSetupWindows : public QObject
{
    Q_OBJECT

    // One main window with the effect's definition file in a temporary application folder.
    struct Run
    {
        MainWindowFixture f;
        bool parentMenuNeeded = true;
        std::unique_ptr<SetupWindow> window;

        explicit Run(const QString &definition = {})
        {
            if (!definition.isEmpty())
                f.putText(Category + u'/' + Effect, definition);
            f.create();
        }
        template <typename Window> Window &open()
        {
            auto *made = new Window(f.setupContext(Category, Effect, &parentMenuNeeded), f.window.get());
            window.reset(made);
            made->show();
            if (!QTest::qWaitForWindowExposed(made))
                qWarning("setup window not exposed");
            return *made;
        }
        TextEffectWindow &text() { return open<TextEffectWindow>(); }
        MenuEffectWindow &menu() { return open<MenuEffectWindow>(); }
        QString picture(const QString &name)
        {
            const QString path = f.folder() + u"pics/"_s + name;
            TestFiles::write(path, "picture " + name.toUtf8());
            return path;
        }
        QStringList messages() const
        {
            QStringList texts;
            for (const ScriptedDialogs::Call &call : f.dialogs.calls)
                if (call.kind == ScriptedDialogs::Kind::Message || call.kind == ScriptedDialogs::Kind::Error)
                    texts << call.text;
            return texts;
        }
        QString rows() const { return f.buffers().rows; }
        QString snippets() const { return f.buffers().snippets; }
    };

    static void set(QWidget *widget, const QString &value)
    {
        if (auto *spin = qobject_cast<QSpinBox *>(widget))
            spin->setValue(value.toInt());
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            combo->setEditText(value);
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            edit->setText(value);
        else
            QFAIL("not a box");
    }

private slots:
    void windowsFollowTheirActions_data()
    {
        QTest::addColumn<QString>("folder");
        const QString root = QFINDTESTDATA("fixtures/setupwindows");
        QVERIFY(!root.isEmpty());
        for (const QString &name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QTest::newRow(qPrintable(name)) << root + u'/' + name;
    }

    // Each folder: the definition file and its pieces, the actions, the row buffer expected at
    // "expect-rows" and the clipboard expected at the end, byte for byte.
    void windowsFollowTheirActions()
    {
        QFETCH(QString, folder);
        Run run;
        const QStringList actions
            = QString::fromUtf8(TestFiles::read(folder + u"/actions.txt"_s)).split(u'\n', Qt::SkipEmptyParts);
        for (const QString &name : QDir(folder).entryList(QDir::Files)) {
            if (name == u"actions.txt"_s || name == u"rows.txt"_s || name == u"clipboard.txt"_s)
                continue;
            const QByteArray bytes = TestFiles::read(folder + u'/' + name);
            const bool text = name == u"effect"_s || name.endsWith(u".txt"_s);
            run.f.put(Category + u'/' + (name == u"effect"_s ? Effect : name),
                text ? Ansi::encode(QString::fromUtf8(bytes)) : bytes);
        }
        run.f.clipboard.setText(u"before"_s);
        QVERIFY(actions.first().startsWith(u"window "_s));
        SetupWindow &window = actions.first() == u"window text"_s ? static_cast<SetupWindow &>(run.text())
                                                                  : static_cast<SetupWindow &>(run.menu());
        const QString destination = run.f.folder() + u"site"_s;
        QDir().mkpath(destination);
        QStringList expectedMessages;
        for (const QString &action : actions.mid(1)) {
            const QString verb = action.section(u' ', 0, 0);
            const QString rest = action.section(u' ', 1);
            if (verb == u"set"_s) {
                auto *box = window.findChild<QWidget *>(rest.section(u' ', 0, 0));
                QVERIFY2(box, qPrintable(action));
                set(box, rest.section(u' ', 1));
            } else if (verb == u"click"_s) {
                auto *button = window.findChild<QAbstractButton *>(rest);
                QVERIFY2(button && button->isEnabled(), qPrintable(action));
                button->click();
            } else if (verb == u"pick"_s) {
                control<ColorPickerButton>(window, u"ColorPickerButton1"_s)->pick(QColor::fromString(rest));
            } else if (verb == u"picture"_s) {
                run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, run.picture(rest));
            } else if (verb == u"folder"_s) {
                run.f.dialogs.expect(ScriptedDialogs::Kind::BrowseFolder, destination);
            } else if (verb == u"message"_s) {
                run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
                expectedMessages << rest;
            } else if (verb == u"expect-rows"_s) {
                QCOMPARE(run.rows(), crlf(QString::fromUtf8(TestFiles::read(folder + u"/rows.txt"_s))));
            } else if (verb == u"copied"_s) {
                QCOMPARE(QDir(destination).entryList(QDir::Files, QDir::Name), rest.split(u' '));
            } else {
                QFAIL(qPrintable(u"unknown action "_s + action));
            }
        }
        QCOMPARE(run.messages(), expectedMessages);
        QVERIFY(run.f.dialogs.allAnswersUsed());
        QCOMPARE(run.f.clipboard.text(), crlf(QString::fromUtf8(TestFiles::read(folder + u"/clipboard.txt"_s))));
        QVERIFY(!window.isVisible()); // copying always ends the window
    }

    void textWindowOpensWithItsInputs()
    {
        Run run(u"[file]\ntxtfilet=1\ntxtfilename1=a.js\nhbu=提示\n"_s);
        run.f.buffers().rows = u"old rows"_s;
        TextEffectWindow &w = run.text();
        auto *font = control<FlatComboBox>(w, u"RFlatComboBox2"_s);
        auto *count = control<SpinEdit>(w, u"RxSpinEdit1"_s);
        QCOMPARE(w.size(), QSize(536, 302));
        QCOMPARE(control<FlatLineEdit>(w, u"RFlatEdit1"_s)->text(), u"输入要设置的文字"_s);
        QCOMPARE(control<FlatLineEdit>(w, u"v11"_s)->text(), u"#0000000"_s);
        QCOMPARE(font->currentText(), u"宋体"_s);
        QCOMPARE(count->value(), 1);
        QCOMPARE(count->minimum(), 1);
        QCOMPARE(count->maximum(), 100);
        QCOMPARE(control<QLabel>(w, u"Label4"_s)->text(), u"0"_s);
        QCOMPARE(control<QLabel>(w, u"spanle"_s)->text(), u"本特效需图像文件0个，需文本文件1个。提示"_s);
        QCOMPARE(run.rows(), QString()); // creation empties the buffers
        QVERIFY(font->findText(u"Default"_s) >= 0);
        QVERIFY(control<ColorPickerButton>(w, u"ColorPickerButton1"_s)->isEnabled() && font->isEnabled()
            && count->isEnabled());
    }

    void theTextHintIsReplacedByWhatIsTyped()
    {
        Run run(u"[file]\ntxtfilet=0\n"_s);
        TextEffectWindow &w = run.text();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *box = control<FlatLineEdit>(w, u"RFlatEdit1"_s);
        // The focus follows the mouse onto the box; the hint is selected, so typing replaces it.
        QTest::mouseMove(box, QPoint(10, 5));
        QTRY_VERIFY(box->hasFocus());
        QCOMPARE(box->selectedText(), u"输入要设置的文字"_s);
        QTest::keyClicks(box, u"Hi"_s);
        QCOMPARE(box->text(), u"Hi"_s);
        // A click places the caret and selects nothing.
        control<FlatLineEdit>(w, u"v11"_s)->setFocus(Qt::TabFocusReason);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, 5));
        QVERIFY(box->hasFocus());
        QVERIFY(box->selectedText().isEmpty());
    }

    // A click into the untouched hint, with or without the focus having followed the mouse there first,
    // leaves it selected: what is typed next replaces it.
    void clickIntoTheTextHintThenTypingReplacesIt_data()
    {
        QTest::addColumn<bool>("hoverFirst");
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<QString>("typed");
        QTest::newRow("click in the middle, Latin") << false << QPoint(60, 12) << u"Hi"_s;
        QTest::newRow("hover, then click at the end, Chinese") << true << QPoint(500, 12) << u"时钟"_s;
        QTest::newRow("click at the start, Chinese") << false << QPoint(2, 12) << u"时钟"_s;
    }
    void clickIntoTheTextHintThenTypingReplacesIt()
    {
        QFETCH(bool, hoverFirst);
        QFETCH(QPoint, click);
        QFETCH(QString, typed);
        Run run(u"[file]\ntxtfilet=0\n"_s);
        TextEffectWindow &w = run.text();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *box = control<FlatLineEdit>(w, u"RFlatEdit1"_s);
        control<FlatLineEdit>(w, u"v11"_s)->setFocus(Qt::TabFocusReason);
        if (hoverFirst) {
            QTest::mouseMove(box, click);
            QTRY_VERIFY(box->hasFocus());
        }
        QTest::mouseClick(box, Qt::LeftButton, {}, click);
        QVERIFY(box->hasFocus());
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QCOMPARE(box->text(), typed);
        // What the user typed is no hint: a click places the caret in it.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, 12));
        QVERIFY(box->selectedText().isEmpty());
        QTest::keyClicks(box, u"x"_s);
        QCOMPARE(box->text(), u"x"_s + typed);
    }

    void fontListIsSortedWithDefaultAndNoAtNames()
    {
        QCOMPARE(TextEffectWindow::fontList({ u"zeta"_s, u"@SimSun"_s, u"Alpha"_s, u"beta"_s }),
            (QStringList { u"Alpha"_s, u"beta"_s, u"Default"_s, u"zeta"_s }));
        // Families made by several foundries appear once, by the name a browser matches.
        QCOMPARE(TextEffectWindow::fontList(
                     { u"C059 [UKWN]"_s, u"C059 [urw]"_s, u"Nimbus Sans [URW]"_s, u"nimbus sans"_s, u"Z [x] y"_s }),
            (QStringList { u"C059"_s, u"Default"_s, u"Nimbus Sans"_s, u"Z [x] y"_s }));
    }

    void textSwitchesTurnInputsOff()
    {
        Run run(u"[file]\ncy=0\nfy=0\nly=0\ntxttop=[\ntxtbu=]\n[list]\ntotal=1\nlist1=txt\n"_s);
        TextEffectWindow &w = run.text();
        auto *colour = control<FlatLineEdit>(w, u"v11"_s);
        auto *addRows = control<QToolButton>(w, u"SpeedButton3"_s);
        QVERIFY(!control<ColorPickerButton>(w, u"ColorPickerButton1"_s)->isEnabled());
        QVERIFY(!control<FlatComboBox>(w, u"RFlatComboBox2"_s)->isEnabled());
        QVERIFY(!control<SpinEdit>(w, u"RxSpinEdit1"_s)->isEnabled());
        QVERIFY(colour->isEnabled() && !colour->isReadOnly());
        addRows->click(); // the untouched text box gives its own text
        QCOMPARE(run.rows(), u"[输入要设置的文字]"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        addRows->click();
        QCOMPARE(run.messages(), QStringList { u"已达到数目要求"_s });
        QCOMPARE(control<QLabel>(w, u"Label4"_s)->text(), u"1"_s);
    }

    void colourChoicesWriteUpperCaseHex()
    {
        Run run(u"[file]\n"_s);
        TextEffectWindow &w = run.text();
        auto *picker = control<ColorPickerButton>(w, u"ColorPickerButton1"_s);
        auto *colour = control<FlatLineEdit>(w, u"v11"_s);
        picker->pick(Qt::white);
        QCOMPARE(colour->text(), u"#FFFFFF"_s);
        picker->pick(QColor(0x0a, 0xbc, 0x0d));
        QCOMPARE(colour->text(), u"#0ABC0D"_s);
        picker->pickSystemColour(QPalette::Highlight);
        const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
        QCOMPARE(colour->text(), TextEffect::colourText(highlight.red(), highlight.green(), highlight.blue()));
        run.f.dialogs.expect(ScriptedDialogs::Kind::PickColour, u"#12ab34"_s);
        picker->pickOther();
        QCOMPARE(colour->text(), u"#12AB34"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::PickColour, QString()); // cancelled: nothing changes
        picker->pickOther();
        QCOMPARE(colour->text(), u"#12AB34"_s);
        QCOMPARE(run.f.dialogs.calls.last().text, u"#12AB34"_s); // the chooser starts at the current colour
        QCOMPARE(TextEffect::colourText(255, 0, 0), u"#FF0000"_s);
    }

    void textWindowWithoutDefinitionSaysSoTwice()
    {
        Run run;
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        TextEffectWindow &w = run.text();
        const QString missing = u"该文件不存在，是否你非法对文件进行删除或编辑？要运行该特效，请重新安装本产品"_s;
        QCOMPARE(run.messages(), (QStringList { missing, missing }));
        QVERIFY(!control<QToolButton>(w, u"SpeedButton3"_s)->isEnabled()
            && !control<QToolButton>(w, u"SpeedButton5"_s)->isEnabled());
        QVERIFY(control<QToolButton>(w, u"SpeedButton4"_s)->isEnabled());
    }

    void cancelledFolderStillAssemblesAndCloses()
    {
        Run run(
            u"[file]\ntxtfilet=1\ntxtfilename1=a.js\ntxttop=<\ntxtbu=>\nft=0\n[list]\ntotal=1\nlist1=txt\n[abcd]\ntotal=1\nopen1=list\n"_s);
        run.f.put(Category + u"/a.js"_s, "var a;");
        TextEffectWindow &w = run.text();
        control<FlatLineEdit>(w, u"RFlatEdit1"_s)->setText(u"x"_s);
        control<QToolButton>(w, u"SpeedButton3"_s)->click();
        run.f.dialogs.expect(ScriptedDialogs::Kind::BrowseFolder, QString());
        control<QToolButton>(w, u"SpeedButton5"_s)->click();
        QCOMPARE(run.f.clipboard.text(), u"<x>"_s);
        QVERIFY(!w.isVisible());
        // The text window leaves its buffers for the next window to empty.
        QCOMPARE(run.rows(), u"<x>"_s);
        QCOMPARE(run.snippets(), u"<x>"_s);
    }

    void damagedStepCountStopsTheCopyAndKeepsTheWindow()
    {
        Run run(u"[file]\n[list]\ntotal=1\nlist1=txt\n[abcd]\ntotal=many\n"_s);
        TextEffectWindow &w = run.text();
        control<QToolButton>(w, u"SpeedButton3"_s)->click();
        run.f.clipboard.setText(u"before"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        control<QToolButton>(w, u"SpeedButton5"_s)->click();
        QCOMPARE(run.messages(), QStringList { u"'many' is not a valid integer value."_s });
        QCOMPARE(run.f.clipboard.text(), u"before"_s);
        QVERIFY(w.isVisible());
    }

    void countCanBeLoweredBelowTheRows()
    {
        Run run(u"[file]\n[list]\ntotal=1\nlist1=txt\n"_s);
        TextEffectWindow &w = run.text();
        auto *count = control<SpinEdit>(w, u"RxSpinEdit1"_s);
        auto *addRows = control<QToolButton>(w, u"SpeedButton3"_s);
        count->setValue(2);
        addRows->click();
        addRows->click();
        count->setValue(1); // only equality refuses
        addRows->click();
        QCOMPARE(control<QLabel>(w, u"Label4"_s)->text(), u"3"_s);
    }

    void menuWindowOpensWithItsSwitches_data()
    {
        QTest::addColumn<QString>("switches");
        QTest::addColumn<bool>("parentButton");
        QTest::addColumn<bool>("spin");
        QTest::addColumn<bool>("sizeButton");
        QTest::newRow("none given") << QString() << true << true << true;
        QTest::newRow("no parents, one each, no size") << u"mm=0\nlino=1\ntxty=0\n"_s << false << false << false;
        QTest::newRow("parents, size") << u"mm=1\nlino=0\ntxty=1\n"_s << true << true << true;
        QTest::newRow("other values") << u"mm=2\nlino=2\ntxty=2\n"_s << true << true << true;
    }

    void menuWindowOpensWithItsSwitches()
    {
        QFETCH(QString, switches);
        QFETCH(bool, parentButton);
        QFETCH(bool, spin);
        QFETCH(bool, sizeButton);
        Run run(u"[file]\nimgfilet=X\nimgfilename1=a.gif\n"_s + switches);
        MenuEffectWindow &w = run.menu();
        QCOMPARE(w.size(), QSize(505, 327));
        QCOMPARE(control<QToolButton>(w, u"SpeedButton2"_s)->isEnabled(), parentButton);
        QCOMPARE(control<SpinEdit>(w, u"RxSpinEdit1"_s)->isEnabled(), spin);
        QCOMPARE(control<QToolButton>(w, u"SpeedButton7"_s)->isEnabled(), sizeButton);
        QCOMPARE(control<QListWidget>(w, u"ListBox1"_s)->count(), 0); // "x" lists no images
        QCOMPARE(control<QLabel>(w, u"spanle"_s)->text(), u"本特效需图像文件X个，需文本文件0个。"_s);
        QCOMPARE(control<FlatLineEdit>(w, u"Edit3"_s)->text(), u"http://"_s);
        QCOMPARE(control<NumericEdit>(w, u"NumEdit1"_s)->text(), u"0"_s);
        QCOMPARE(control<QLabel>(w, u"Label1"_s)->text(), u"0"_s);
    }

    void parentMenuFlagIsSharedByTheWindowsOfARun()
    {
        Run run(u"[file]\nimgfilet=x\nmm=0\n[list]\ntotal=1\nlist1=txtca\n"_s);
        QVERIFY(run.parentMenuNeeded); // set at program start
        run.menu().close();
        QVERIFY(!run.parentMenuNeeded);
        // A menu that says nothing about parent menus keeps what the previous window left.
        run.f.putText(Category + u'/' + Effect, u"[file]\nimgfilet=x\n[list]\ntotal=1\nlist1=txtca\n"_s);
        MenuEffectWindow &second = run.menu();
        control<FlatLineEdit>(second, u"Edit2"_s)->setText(u"a"_s);
        control<QToolButton>(second, u"SpeedButton3"_s)->click();
        QCOMPARE(run.rows(), u"a"_s);
        second.close();
        run.f.putText(Category + u'/' + Effect, u"[file]\nimgfilet=x\nmm=1\n"_s);
        run.menu().close();
        QVERIFY(run.parentMenuNeeded);
        run.f.putText(Category + u'/' + Effect, u"[file]\nimgfilet=x\n[list]\ntotal=1\nlist1=txtca\n"_s);
        MenuEffectWindow &fourth = run.menu();
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        control<QToolButton>(fourth, u"SpeedButton3"_s)->click();
        QCOMPARE(run.messages(), QStringList { u"由于该特效可能需要母菜单，所以必须先设好母菜单名"_s });
        QCOMPARE(run.rows(), QString());
    }

    void oneSubmenuPerParentWithLino()
    {
        Run run(u"[file]\nimgfilet=x\nmm=1\nlino=1\nmmtop=<\nmmbu=>\n[list]\ntotal=1\nlist1=txtca\n"_s);
        MenuEffectWindow &w = run.menu();
        auto *parentName = control<FlatLineEdit>(w, u"Edit1"_s);
        auto *submenuName = control<FlatLineEdit>(w, u"Edit2"_s);
        auto *addParent = control<QToolButton>(w, u"SpeedButton2"_s);
        auto *addSubmenu = control<QToolButton>(w, u"SpeedButton3"_s);
        QVERIFY(!control<SpinEdit>(w, u"RxSpinEdit1"_s)->isEnabled());
        parentName->setText(u"P"_s);
        addParent->click();
        submenuName->setText(u"a"_s);
        addSubmenu->click();
        submenuName->setText(u"b"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        addSubmenu->click();
        QCOMPARE(run.messages(), QStringList { u"子菜单的数目已经达到饱和了"_s });
        QCOMPARE(submenuName->text(), u"b"_s); // a refused add changes nothing
        parentName->setText(u"Q"_s);
        addParent->click();
        QCOMPARE(control<QLabel>(w, u"Label1"_s)->text(), u"0"_s);
        addSubmenu->click();
        QCOMPARE(run.rows(), u"<P>a<Q>b"_s);
    }

    void downArrowOfTheMenuCountTurnsOneIntoTwo()
    {
        Run run(u"[file]\nimgfilet=x\n"_s);
        auto *submenus = control<SpinEdit>(run.menu(), u"RxSpinEdit1"_s);
        submenus->stepBy(-1);
        QCOMPARE(submenus->value(), 2);
        submenus->setValue(5);
        submenus->stepBy(-1);
        QCOMPARE(submenus->value(), 5);
        submenus->setValue(100);
        submenus->stepBy(1);
        QCOMPARE(submenus->value(), 100);
        submenus->stepBy(-1);
        QCOMPARE(submenus->value(), 100);
        // The text window's count has no such rule.
        Run text(u"[file]\n"_s);
        auto *rows = control<SpinEdit>(text.text(), u"RxSpinEdit1"_s);
        rows->setValue(5);
        rows->stepBy(-1);
        QCOMPARE(rows->value(), 4);
        rows->setValue(1);
        rows->stepBy(-1);
        QCOMPARE(rows->value(), 1);
    }

    void sizeIsLockedOnceSet()
    {
        Run run(u"[file]\nimgfilet=x\ntxty=1\n"_s);
        MenuEffectWindow &w = run.menu();
        auto *width = control<NumericEdit>(w, u"NumEdit1"_s);
        auto *height = control<NumericEdit>(w, u"NumEdit2"_s);
        auto *setSize = control<QToolButton>(w, u"SpeedButton7"_s);
        width->setText(u"abc"_s); // any text but "0" is taken
        height->setText(u"20"_s);
        setSize->click();
        QVERIFY(!setSize->isEnabled());
        QVERIFY(width->isReadOnly() && height->isReadOnly());
        QVERIFY(!w.effect().sizeWanted());
    }

    void missingImageOfARowIsAListIndexError()
    {
        Run run(u"[file]\nimgfilet=x\nmm=0\nft=0\n[list]\ntotal=3\nlist1=txtca\nlist2=img\nlist3=txtli\n"_s);
        MenuEffectWindow &w = run.menu();
        control<FlatLineEdit>(w, u"Edit2"_s)->setText(u"a"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        control<QToolButton>(w, u"SpeedButton3"_s)->click();
        QCOMPARE(run.messages(),
            QStringList { VellumoError::withFullStop(VellumoError::listIndexOutOfBounds(0).message()) });
        QCOMPARE(run.rows(), u"a"_s); // what the row had appended stays
        QCOMPARE(control<QLabel>(w, u"Label1"_s)->text(), u"1"_s);
    }

    void imageCountZeroAsksForNoImage()
    {
        Run run(u"[file]\nimgfilet=0\nmm=0\n"_s);
        MenuEffectWindow &w = run.menu();
        control<QToolButton>(w, u"SpeedButton4"_s)->click(); // no dialog
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        control<QToolButton>(w, u"SpeedButton3"_s)->click();
        QCOMPARE(run.messages(), QStringList { u"菜单需要图像支持，现在缺少图像或过多图像。"_s });
    }

    void menuWindowEmptiesItsBuffersOnClose()
    {
        Run run(u"[file]\nimgfilet=x\nmm=0\n[list]\ntotal=1\nlist1=txtca\n"_s);
        MenuEffectWindow &w = run.menu();
        control<FlatLineEdit>(w, u"Edit2"_s)->setText(u"a"_s);
        control<QToolButton>(w, u"SpeedButton3"_s)->click();
        QCOMPARE(run.rows(), u"a"_s);
        run.f.clipboard.setText(u"kept"_s);
        control<QToolButton>(w, u"SpeedButton6"_s)->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(run.rows(), QString());
        QCOMPARE(run.f.clipboard.text(), u"kept"_s);
    }

    // The control under the mouse takes the focus; a size box under it is drawn sunken.
    void hoverFramesAndFocus()
    {
        Run run(u"[file]\nimgfilet=x\n"_s);
        MenuEffectWindow &w = run.menu();
        auto *width = control<NumericEdit>(w, u"NumEdit1"_s);
        auto *height = control<NumericEdit>(w, u"NumEdit2"_s);
        auto *count = control<SpinEdit>(w, u"RxSpinEdit1"_s);
        auto *text = control<FlatLineEdit>(w, u"Edit3"_s);
        const auto moveOver = [](QWidget *widget) {
            QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &move);
        };
        w.activateWindow();
        moveOver(width);
        QVERIFY(width->isSunken() && !height->isSunken());
        QCOMPARE(w.focusWidget(), width);
        moveOver(height);
        QVERIFY(!width->isSunken() && height->isSunken());
        QCOMPARE(w.focusWidget(), height);
        moveOver(count);
        QVERIFY(height->isSunken()); // the count box changes no frame
        QCOMPARE(w.focusWidget(), count);
        moveOver(text);
        QVERIFY(!width->isSunken() && !height->isSunken());
        QCOMPARE(w.focusWidget(), text);
    }
};

QTEST_MAIN(TestSetupWindows)
#include "tst_setupwindows.moc"
