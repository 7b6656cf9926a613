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
#include "widgets/textbufferedit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
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
        SetupContext context()
        {
            MainWindow &w = *f.window;
            return {f.platform, w.applicationFolder(), Category, Effect, w.Memo2, w.Memo1, w.RichEdit2, &parentMenuNeeded};
        }
        template<typename Window>
        Window &open()
        {
            auto *made = new Window(context(), f.window.get());
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
        QString rows() const { return f.window->Memo1->text(); }
        QString snippets() const { return f.window->Memo2->text(); }
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
        const QStringList actions = QString::fromUtf8(TestFiles::read(folder + u"/actions.txt"_s)).split(u'\n', Qt::SkipEmptyParts);
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
                window.findChild<ColorPickerButton *>(u"ColorPickerButton1"_s)->pick(QColor::fromString(rest));
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
        run.f.window->Memo1->setText(u"old rows"_s);
        TextEffectWindow &w = run.text();
        QCOMPARE(w.size(), QSize(536, 302));
        QCOMPARE(w.RFlatEdit1->text(), u"输入要设置的文字"_s);
        QCOMPARE(w.v11->text(), u"#0000000"_s);
        QCOMPARE(w.RFlatComboBox2->currentText(), u"宋体"_s);
        QCOMPARE(w.RxSpinEdit1->value(), 1);
        QCOMPARE(w.RxSpinEdit1->minimum(), 1);
        QCOMPARE(w.RxSpinEdit1->maximum(), 100);
        QCOMPARE(w.Label4->text(), u"0"_s);
        QCOMPARE(w.spanle->text(), u"本特效需图像文件0个，需文本文件1个。提示"_s);
        QCOMPARE(run.rows(), QString()); // creation empties the buffers
        QVERIFY(w.RFlatComboBox2->findText(u"Default"_s) >= 0);
        QVERIFY(w.ColorPickerButton1->isEnabled() && w.RFlatComboBox2->isEnabled() && w.RxSpinEdit1->isEnabled());
    }

    void fontListIsSortedWithDefaultAndNoAtNames()
    {
        QCOMPARE(TextEffectWindow::fontList({u"zeta"_s, u"@SimSun"_s, u"Alpha"_s, u"beta"_s}),
                 (QStringList{u"Alpha"_s, u"beta"_s, u"Default"_s, u"zeta"_s}));
    }

    void textSwitchesTurnInputsOff()
    {
        Run run(u"[file]\ncy=0\nfy=0\nly=0\ntxttop=[\ntxtbu=]\n[list]\ntotal=1\nlist1=txt\n"_s);
        TextEffectWindow &w = run.text();
        QVERIFY(!w.ColorPickerButton1->isEnabled());
        QVERIFY(!w.RFlatComboBox2->isEnabled());
        QVERIFY(!w.RxSpinEdit1->isEnabled());
        QVERIFY(w.v11->isEnabled() && !w.v11->isReadOnly());
        w.SpeedButton3->click(); // the untouched text box gives its own text
        QCOMPARE(run.rows(), u"[输入要设置的文字]"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        w.SpeedButton3->click();
        QCOMPARE(run.messages(), QStringList{u"已达到数目要求"_s});
        QCOMPARE(w.Label4->text(), u"1"_s);
    }

    void colourChoicesWriteUpperCaseHex()
    {
        Run run(u"[file]\n"_s);
        TextEffectWindow &w = run.text();
        w.ColorPickerButton1->pick(Qt::white);
        QCOMPARE(w.v11->text(), u"#FFFFFF"_s);
        w.ColorPickerButton1->pick(QColor(0x0a, 0xbc, 0x0d));
        QCOMPARE(w.v11->text(), u"#0ABC0D"_s);
        w.ColorPickerButton1->pickSystemColour(QPalette::Highlight);
        const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
        QCOMPARE(w.v11->text(), TextEffect::colourText(highlight.red(), highlight.green(), highlight.blue()));
        run.f.dialogs.expect(ScriptedDialogs::Kind::PickColour, u"#12ab34"_s);
        w.ColorPickerButton1->pickOther();
        QCOMPARE(w.v11->text(), u"#12AB34"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::PickColour, QString()); // cancelled: nothing changes
        w.ColorPickerButton1->pickOther();
        QCOMPARE(w.v11->text(), u"#12AB34"_s);
        QCOMPARE(run.f.dialogs.calls.last().text, u"#12AB34"_s); // the chooser starts at the current colour
        QCOMPARE(TextEffect::colourText(255, 0, 0), u"#FF0000"_s);
    }

    void textWindowWithoutDefinitionSaysSoTwice()
    {
        Run run;
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        TextEffectWindow &w = run.text();
        const QString missing = DefinitionFile::missingMessage();
        QCOMPARE(run.messages(), (QStringList{missing, missing}));
        QVERIFY(!w.SpeedButton3->isEnabled() && !w.SpeedButton5->isEnabled());
        QVERIFY(w.SpeedButton4->isEnabled());
    }

    void cancelledFolderStillAssemblesAndCloses()
    {
        Run run(u"[file]\ntxtfilet=1\ntxtfilename1=a.js\ntxttop=<\ntxtbu=>\nft=0\n[list]\ntotal=1\nlist1=txt\n[abcd]\ntotal=1\nopen1=list\n"_s);
        run.f.put(Category + u"/a.js"_s, "var a;");
        TextEffectWindow &w = run.text();
        w.RFlatEdit1->setText(u"x"_s);
        w.SpeedButton3->click();
        run.f.dialogs.expect(ScriptedDialogs::Kind::BrowseFolder, QString());
        w.SpeedButton5->click();
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
        w.SpeedButton3->click();
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        w.SpeedButton5->click();
        QCOMPARE(run.messages(), QStringList{u"'many' is not a valid integer value."_s});
        QVERIFY(w.isVisible());
    }

    void countCanBeLoweredBelowTheRows()
    {
        Run run(u"[file]\n[list]\ntotal=1\nlist1=txt\n"_s);
        TextEffectWindow &w = run.text();
        w.RxSpinEdit1->setValue(2);
        w.SpeedButton3->click();
        w.SpeedButton3->click();
        w.RxSpinEdit1->setValue(1); // only equality refuses
        w.SpeedButton3->click();
        QCOMPARE(w.Label4->text(), u"3"_s);
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
        QCOMPARE(w.SpeedButton2->isEnabled(), parentButton);
        QCOMPARE(w.RxSpinEdit1->isEnabled(), spin);
        QCOMPARE(w.SpeedButton7->isEnabled(), sizeButton);
        QCOMPARE(w.ListBox1->count(), 0); // "x" lists no images
        QCOMPARE(w.spanle->text(), u"本特效需图像文件X个，需文本文件0个。"_s);
        QCOMPARE(w.Edit3->text(), u"http://"_s);
        QCOMPARE(w.NumEdit1->text(), u"0"_s);
        QCOMPARE(w.Label1->text(), u"0"_s);
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
        second.Edit2->setText(u"a"_s);
        second.SpeedButton3->click();
        QCOMPARE(run.rows(), u"a"_s);
        second.close();
        run.f.putText(Category + u'/' + Effect, u"[file]\nimgfilet=x\nmm=1\n"_s);
        run.menu().close();
        QVERIFY(run.parentMenuNeeded);
        run.f.putText(Category + u'/' + Effect, u"[file]\nimgfilet=x\n[list]\ntotal=1\nlist1=txtca\n"_s);
        MenuEffectWindow &fourth = run.menu();
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        fourth.SpeedButton3->click();
        QCOMPARE(run.messages(), QStringList{MenuEffect::needsParentMenuMessage()});
        QCOMPARE(run.rows(), QString());
    }

    void oneSubmenuPerParentWithLino()
    {
        Run run(u"[file]\nimgfilet=x\nmm=1\nlino=1\nmmtop=<\nmmbu=>\n[list]\ntotal=1\nlist1=txtca\n"_s);
        MenuEffectWindow &w = run.menu();
        QVERIFY(!w.RxSpinEdit1->isEnabled());
        w.Edit1->setText(u"P"_s);
        w.SpeedButton2->click();
        w.Edit2->setText(u"a"_s);
        w.SpeedButton3->click();
        w.Edit2->setText(u"b"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        w.SpeedButton3->click();
        QCOMPARE(run.messages(), QStringList{MenuEffect::submenusFullMessage()});
        QCOMPARE(w.Edit2->text(), u"b"_s); // a refused add changes nothing
        w.Edit1->setText(u"Q"_s);
        w.SpeedButton2->click();
        QCOMPARE(w.Label1->text(), u"0"_s);
        w.SpeedButton3->click();
        QCOMPARE(run.rows(), u"<P>a<Q>b"_s);
    }

    void downArrowOfTheMenuCountTurnsOneIntoTwo()
    {
        Run run(u"[file]\nimgfilet=x\n"_s);
        MenuEffectWindow &w = run.menu();
        w.RxSpinEdit1->stepBy(-1);
        QCOMPARE(w.RxSpinEdit1->value(), 2);
        w.RxSpinEdit1->setValue(5);
        w.RxSpinEdit1->stepBy(-1);
        QCOMPARE(w.RxSpinEdit1->value(), 5);
        w.RxSpinEdit1->setValue(100);
        w.RxSpinEdit1->stepBy(1);
        QCOMPARE(w.RxSpinEdit1->value(), 100);
        w.RxSpinEdit1->stepBy(-1);
        QCOMPARE(w.RxSpinEdit1->value(), 100);
        // The text window's count has no such rule.
        Run text(u"[file]\n"_s);
        TextEffectWindow &t = text.text();
        t.RxSpinEdit1->setValue(5);
        t.RxSpinEdit1->stepBy(-1);
        QCOMPARE(t.RxSpinEdit1->value(), 4);
        t.RxSpinEdit1->setValue(1);
        t.RxSpinEdit1->stepBy(-1);
        QCOMPARE(t.RxSpinEdit1->value(), 1);
    }

    void sizeIsLockedOnceSet()
    {
        Run run(u"[file]\nimgfilet=x\ntxty=1\n"_s);
        MenuEffectWindow &w = run.menu();
        w.NumEdit1->setText(u"abc"_s); // any text but "0" is taken
        w.NumEdit2->setText(u"20"_s);
        w.SpeedButton7->click();
        QVERIFY(!w.SpeedButton7->isEnabled());
        QVERIFY(w.NumEdit1->isReadOnly() && w.NumEdit2->isReadOnly());
        QVERIFY(!w.effect().sizeWanted());
    }

    void missingImageOfARowIsAListIndexError()
    {
        Run run(u"[file]\nimgfilet=x\nmm=0\nft=0\n[list]\ntotal=3\nlist1=txtca\nlist2=img\nlist3=txtli\n"_s);
        MenuEffectWindow &w = run.menu();
        w.Edit2->setText(u"a"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        w.SpeedButton3->click();
        QCOMPARE(run.messages(), QStringList{VellumoError::withFullStop(VellumoError::listIndexOutOfBounds(0).message())});
        QCOMPARE(run.rows(), u"a"_s); // what the row had appended stays
        QCOMPARE(w.Label1->text(), u"1"_s);
    }

    void imageCountZeroAsksForNoImage()
    {
        Run run(u"[file]\nimgfilet=0\nmm=0\n"_s);
        MenuEffectWindow &w = run.menu();
        w.SpeedButton4->click(); // no dialog
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        w.SpeedButton3->click();
        QCOMPARE(run.messages(), QStringList{MenuEffect::wrongImagesMessage()});
    }

    void menuWindowEmptiesItsBuffersOnClose()
    {
        Run run(u"[file]\nimgfilet=x\nmm=0\n[list]\ntotal=1\nlist1=txtca\n"_s);
        MenuEffectWindow &w = run.menu();
        w.Edit2->setText(u"a"_s);
        w.SpeedButton3->click();
        QCOMPARE(run.rows(), u"a"_s);
        run.f.clipboard.setText(u"kept"_s);
        w.SpeedButton6->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(run.rows(), QString());
        QCOMPARE(run.f.clipboard.text(), u"kept"_s);
    }

    void hoverFramesAndFocus()
    {
        Run run(u"[file]\nimgfilet=x\n"_s);
        MenuEffectWindow &w = run.menu();
        w.activateWindow();
        w.focusWidthUnderMouse();
        QVERIFY(w.NumEdit1->isSunken() && !w.NumEdit2->isSunken());
        w.focusHeightUnderMouse();
        QVERIFY(!w.NumEdit1->isSunken() && w.NumEdit2->isSunken());
        w.focusCountUnderMouse();
        QVERIFY(w.NumEdit2->isSunken()); // the count box changes no frame
        w.textBoxMouseMove(w.Edit3);
        QVERIFY(!w.NumEdit1->isSunken() && !w.NumEdit2->isSunken());
    }
};

QTEST_MAIN(TestSetupWindows)
#include "tst_setupwindows.moc"
