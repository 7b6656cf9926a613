#include "mainwindowfixture.h"

#include "effects/imageeffect.h"
#include "effects/imageeffectwindow.h"
#include "platform/qtdialogs.h"
#include "widgets/numericedit.h"
#include "widgets/picturedialog.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(NumericEdit::KeyAction)

namespace {
const QString Category = u"图片特效"_s;
const QString Effect = u"轮换"_s;
const QString Definition
    = u"[file]\r\nimgfilet=2\r\ntxtfilet=1\r\nimgfilename1=0\r\nimgfilename2=0\r\ntxtfilename1=show.js\r\n"
      "hbu=请选两张图片\r\nintop2=<img src=\"\r\ninbu2=\">\r\nimmtop2=<img\r\nimmbu2=\">\r\nft=1\r\nfno1=end.txt\r\n"
      "[abcd]\r\ntotal=3\r\nopen1=inname2\r\nopen2=imain2\r\nopen3=fno1\r\n"_s;
const QString Expected = u"<img src=\"a.gif\">\r\n<img src=\"b.gif\">\r\n<img WIDTH=\"100\" HEIGHT=\"50\">\r\n"
                         "<img WIDTH=\"80\" HEIGHT=\"40\">\r\n<!-- 结束 -->\r\n"_s;
}

class TestImageWindow : public QObject
{
    Q_OBJECT

    struct Run
    {
        MainWindowFixture f;
        std::unique_ptr<ImageEffectWindow> window;

        Run(const QString &definition = Definition)
        {
            if (!definition.isEmpty())
                f.putText(Category + u'/' + Effect, definition);
            f.putText(Category + u"/end.txt"_s, u"<!-- 结束 -->"_s);
            f.put(Category + u"/show.js"_s, "var shown;");
            f.put(u"pics/a.gif"_s, "picture a");
            f.put(u"pics/b.gif"_s, "picture b");
            MainWindow &w = f.create();
            f.buffers().snippets = u"left over"_s;
            window = std::make_unique<ImageEffectWindow>(f.setupContext(Category, Effect), &w);
        }
        QString pic(const QString &name) const { return f.folder() + u"pics/"_s + name; }
        void show()
        {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        }
        template <class T> T *windowControl(const QString &name) const { return control<T>(*window, name); }
        QPushButton *addImageButton() const { return windowControl<QPushButton>(u"Button4"_s); }
        QPushButton *copyButton() const { return windowControl<QPushButton>(u"Button5"_s); }
        void addImages()
        {
            for (const QString &name : { u"a.gif"_s, u"b.gif"_s }) {
                f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, pic(name));
                addImageButton()->click();
            }
        }
        void setSize(const QString &w, const QString &h)
        {
            windowControl<NumericEdit>(u"NumEdit1"_s)->setText(w);
            windowControl<NumericEdit>(u"NumEdit2"_s)->setText(h);
            windowControl<QToolButton>(u"SpeedButton2"_s)->click();
        }
        QString lastMessage() const { return f.dialogs.calls.isEmpty() ? QString() : f.dialogs.calls.last().text; }
    };

private slots:
    void opensWithTheEffectsFilesAndStatus()
    {
        Run run;
        run.show();
        QCOMPARE(run.window->size(), QSize(547, 378));
        auto *textFiles = run.windowControl<QListWidget>(u"ListBox2"_s);
        QCOMPARE(run.windowControl<QLabel>(u"Label3"_s)->text(), u"特效设置窗口"_s);
        QCOMPARE(textFiles->count(), 1);
        QCOMPARE(textFiles->item(0)->text(), run.f.folder() + Category + u"/show.js"_s);
        QCOMPARE(run.windowControl<QLabel>(u"spanle"_s)->text(), u"本特效需图像文件2个，需文本文件1个。请选两张图片"_s);
        QCOMPARE(run.windowControl<NumericEdit>(u"NumEdit1"_s)->text(), u"0"_s);
        QCOMPARE(run.windowControl<NumericEdit>(u"NumEdit2"_s)->text(), u"0"_s);
        QCOMPARE(run.f.buffers().snippets, QString()); // opening empties the buffers
    }

    void aLongHintTakesMoreLinesInATallerWindow()
    {
        QString definition = Definition;
        const QString hint
            = u"先增加母菜单（按钮上的字），再逐个增加它的子菜单；每个子菜单是一条外部链接，无需设置菜单的大小"_s;
        definition.replace(u"hbu=请选两张图片"_s, u"hbu="_s + hint);
        Run run(definition);
        run.show();
        auto *line = run.windowControl<QLabel>(u"spanle"_s);
        QVERIFY(line->text().endsWith(hint));
        QVERIFY(run.window->height() > 378);
        QVERIFY(line->height() >= line->heightForWidth(line->width()));
        QCOMPARE(line->geometry().bottom(), run.window->height() - 3);
        // The controls above keep their places.
        QVERIFY(run.copyButton()->geometry().bottom() < line->y());
    }

    void missingDefinitionFileSaysSoAndDisablesTheWindow()
    {
        Run run { QString() };
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        run.show();
        QCOMPARE(run.lastMessage(), u"该文件不存在，是否你非法对文件进行删除或编辑？要运行该特效，请重新安装本产品"_s);
        QCOMPARE(run.windowControl<QLabel>(u"spanle"_s)->text(), QString());
        QVERIFY(!run.copyButton()->isEnabled());
        QVERIFY(run.windowControl<QPushButton>(u"Button6"_s)->isEnabled());
    }

    void imagesUpToTheCountThenRefused()
    {
        Run run;
        run.show();
        run.addImages();
        QCOMPARE(run.f.dialogs.calls[0].request.filter, SetupFlow::pictureFilter());
        auto *images = run.windowControl<QListWidget>(u"ListBox1"_s);
        QCOMPARE(images->count(), 2);
        QCOMPARE(images->item(1)->text(), run.pic(u"b.gif"_s));
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        run.addImageButton()->click();
        QCOMPARE(run.lastMessage(), u"图像文件已经达到饱和，无需再增多文件"_s);
        QCOMPARE(images->count(), 2);
        // A cancelled picture dialog adds nothing.
        Run other;
        other.show();
        other.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, QString());
        other.addImageButton()->click();
        QCOMPARE(other.windowControl<QListWidget>(u"ListBox1"_s)->count(), 0);
    }

    void sizesAreCheckedAndListedInStep()
    {
        Run run;
        run.show();
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        run.setSize(u"100"_s, u"50"_s);
        QCOMPARE(run.lastMessage(), u"图像文件已经达到饱和，无文件可再设置"_s);
        run.addImages();
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        run.setSize(u"0"_s, u"50"_s);
        QCOMPARE(run.lastMessage(), u"长或宽的设置不能为0"_s);
        run.setSize(u"100"_s, u"50"_s);
        run.setSize(u"80"_s, u"40"_s);
        auto *widths = run.windowControl<QListWidget>(u"ListBox4"_s);
        auto *heights = run.windowControl<QListWidget>(u"ListBox3"_s);
        QCOMPARE(widths->count(), 2);
        QCOMPARE(heights->item(1)->text(), u"40"_s);
        widths->setCurrentRow(1);
        QCOMPARE(heights->currentRow(), 1);
        heights->setCurrentRow(0);
        QCOMPARE(widths->currentRow(), 0);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        run.setSize(u"1"_s, u"1"_s);
        QCOMPARE(run.lastMessage(), u"图像文件已经达到饱和，无文件可再设置"_s);
    }

    void copyBeforeEverythingIsSetIsRefused()
    {
        Run run;
        run.show();
        run.addImages();
        run.setSize(u"100"_s, u"50"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        run.copyButton()->click();
        QCOMPARE(run.lastMessage(), u"未能达到设置文件数目要求"_s);
        QVERIFY(run.window->isVisible());
        QCOMPARE(run.f.clipboard.setCount, 0);
    }

    void copyCopiesTheFilesAndPutsTheCodeOnTheClipboard()
    {
        Run run;
        run.show();
        run.addImages();
        run.setSize(u"100"_s, u"50"_s);
        run.setSize(u"80"_s, u"40"_s);
        const QString site = run.f.folder() + u"site"_s;
        QDir().mkpath(site);
        run.f.put(u"site/b.gif"_s, "kept");
        run.f.dialogs.expect(ScriptedDialogs::Kind::BrowseFolder, site);
        run.copyButton()->click();
        QCOMPARE(run.f.dialogs.calls.last().caption, u"本特效还需要别的文件支持，请选择文件夹!"_s);
        QCOMPARE(run.f.clipboard.text(), Expected);
        QCOMPARE(run.f.clipboard.setCount, 5);
        QFile a(site + u"/a.gif"_s), b(site + u"/b.gif"_s), js(site + u"/show.js"_s);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && js.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), QByteArray("picture a"));
        QCOMPARE(b.readAll(), QByteArray("kept"));
        QCOMPARE(js.readAll(), QByteArray("var shown;"));
        QVERIFY(!run.window->isVisible());
        QCOMPARE(run.f.buffers().snippets, QString());
        QVERIFY(run.f.dialogs.allAnswersUsed());
    }

    void cancellingTheFolderStillAssemblesAndCloses()
    {
        Run run;
        run.show();
        run.addImages();
        run.setSize(u"100"_s, u"50"_s);
        run.setSize(u"80"_s, u"40"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::BrowseFolder, QString());
        run.copyButton()->click();
        QCOMPARE(run.f.clipboard.text(), Expected);
        QVERIFY(!run.window->isVisible());
    }

    // As in the menu and text windows: after a cancelled folder the window closes, also when the
    // assembly stops with an error (here a step count that is no number).
    void cancellingTheFolderClosesAfterAnAssemblyError()
    {
        Run run(QString(Definition).replace(u"total=3"_s, u"total=x"_s));
        run.show();
        run.addImages();
        run.setSize(u"100"_s, u"50"_s);
        run.setSize(u"80"_s, u"40"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::BrowseFolder, QString());
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        run.copyButton()->click();
        QCOMPARE(run.lastMessage(), u"'x' is not a valid integer value."_s);
        QVERIFY(!run.window->isVisible());
    }

    void closingEmptiesTheBuffersButNotTheClipboard()
    {
        Run run;
        run.show();
        run.f.clipboard.setText(u"kept"_s);
        run.f.buffers().rows = u"rows"_s;
        run.f.buffers().pieces = u"pieces"_s;
        run.f.buffers().snippets = u"snippets"_s;
        run.windowControl<QToolButton>(u"SpeedButton1"_s)->click();
        QVERIFY(!run.window->isVisible());
        QCOMPARE(run.f.buffers().rows, QString());
        QCOMPARE(run.f.buffers().pieces, QString());
        QCOMPARE(run.f.buffers().snippets, QString());
        QCOMPARE(run.f.clipboard.text(), u"kept"_s);
    }

    void numberBoxKeyRule_data()
    {
        QTest::addColumn<QChar>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<NumericEdit::KeyAction>("action");
        using A = NumericEdit::KeyAction;
        QTest::newRow("digit") << QChar(u'7') << u"12"_s << 1 << A::Insert;
        QTest::newRow("minus first") << QChar(u'-') << u"12"_s << 0 << A::Insert;
        QTest::newRow("minus inside") << QChar(u'-') << u"12"_s << 1 << A::Refuse;
        QTest::newRow("second minus") << QChar(u'-') << u"-12"_s << 0 << A::Ignore;
        QTest::newRow("separator") << QChar(u'.') << u"12"_s << 2 << A::Insert;
        QTest::newRow("second separator") << QChar(u'.') << u"1.2"_s << 0 << A::JumpBehindSeparator;
        QTest::newRow("letter") << QChar(u'a') << u"12"_s << 0 << A::Refuse;
        QTest::newRow("full-width digit") << QChar(0xFF11) << u"12"_s << 0 << A::Refuse;
    }
    void numberBoxKeyRule()
    {
        QFETCH(QChar, typed);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(NumericEdit::KeyAction, action);
        QCOMPARE(NumericEdit::actionFor(typed, text, cursor, u'.'), action);
    }

    void numberBoxPasteKeepsWhatTheKeyRuleAllows_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("kept");
        QTest::newRow("letters after digits") << u"12ab"_s << QString() << 0 << u"12"_s;
        QTest::newRow("minus first") << u"-3"_s << u"4"_s << 0 << u"-3"_s;
        QTest::newRow("minus behind the start") << u"-3"_s << u"4"_s << 1 << u"3"_s;
        QTest::newRow("minus already there") << u"-3"_s << u"-4"_s << 0 << u"3"_s;
        QTest::newRow("one separator") << u"1.2.3"_s << QString() << 0 << u"1.23"_s;
        QTest::newRow("separator already there") << u".5"_s << u"1.2"_s << 3 << u"5"_s;
        QTest::newRow("spaces and units") << u" 640 px"_s << QString() << 0 << u"640"_s;
    }
    void numberBoxPasteKeepsWhatTheKeyRuleAllows()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(QString, kept);
        QCOMPARE(NumericEdit::admitted(pasted, text, cursor, u'.'), kept);
    }

    void numberBoxPastingThroughKeysAndMenu()
    {
        NumericEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QGuiApplication::clipboard()->setText(u"12ab"_s);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.text(), u"12"_s);
        // Shift+Insert over a selection replaces it.
        edit.selectAll();
        QGuiApplication::clipboard()->setText(u"x9y"_s);
        QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(edit.text(), u"9"_s);
        // The context menu's paste.
        QGuiApplication::clipboard()->setText(u"-7 px"_s);
        edit.setCursorPosition(0);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&edit, &menuEvent);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QAction *paste = nullptr;
        for (QAction *action : menu->actions())
            if (action->text().startsWith(QLineEdit::tr("&Paste")))
                paste = action;
        QVERIFY(paste);
        paste->trigger();
        menu->close();
        QCOMPARE(edit.text(), u"-79"_s);
    }

    void pictureDialogPreviewsThePictureUnderTheCursor()
    {
        QTemporaryDir dir;
        QImage image(400, 200, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(dir.filePath(u"wide.jpg"_s)));
        PictureDialog dialog(nullptr, QString(), dir.path(), QtDialogs::qtFilter(SetupFlow::pictureFilter()));
        QCOMPARE(dialog.selectedNameFilter(), u"All (*.jpg *.gif *.jpeg *.bmp *.ico *.emf *.wmf)"_s);
        emit dialog.currentChanged(dir.filePath(u"wide.jpg"_s));
        QVERIFY(!dialog.preview()->pixmap().isNull());
        QVERIFY(dialog.preview()->pixmap().width() <= dialog.preview()->width());
        emit dialog.currentChanged(dir.path());
        QVERIFY(dialog.preview()->pixmap().isNull());
    }

    void numberBoxTyping()
    {
        NumericEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        const QString separator = QLocale().decimalPoint();
        QTest::keyClicks(&edit, u"-1x-2"_s + separator + u"5"_s);
        QCOMPARE(edit.text(), u"-12"_s + separator + u"5"_s);
        edit.setCursorPosition(1);
        QTest::keyClicks(&edit, separator);
        QCOMPARE(edit.selectedText(), u"5"_s);
    }
};

QTEST_MAIN(TestImageWindow)
#include "tst_imagewindow.moc"
