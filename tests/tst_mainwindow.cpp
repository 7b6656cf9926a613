#include "mainwindowfixture.h"

#include "library/inifile.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatlineedit.h"
#include "widgets/readabletext.h"

#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
QByteArray pictureBytes(const char *format, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Qt writes no GIF files, so the test carries a 1 x 1 one.
const QByteArray OnePixelGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x00\x00\x00\x00\x00,"
                             "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
                             "D\x01\x00;",
    43);

const QString ValidLink1 = u"[COMBOX]\r\nTOTAL=2\r\nL1=图片特效\r\nL2=简单复制\r\n"_s;
}

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensWithBuiltInPicturesAndNoIndexFiles()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        QCOMPARE(w.applicationFolder(), f.folder());
        QCOMPARE(control<QLabel>(w, u"MAINIMG"_s)->pixmap().size(), QSize(329, 257));
        QCOMPARE(control<QLabel>(w, u"IMG"_s)->pixmap().size(), QSize(352, 75));
        QCOMPARE(control<FlatComboBox>(w, u"ComboBox1"_s)->count(), 0);
        QVERIFY(f.dialogs.calls.isEmpty());
        QCOMPARE(shownTitle(w), u"新文件"_s);
    }

    void categoriesFromTheCategoryIndex()
    {
        MainWindowFixture f;
        f.putText(u"LINK1.INI"_s, u"[COMBOX]\r\nTOTAL=3\r\nL1=图片特效\r\nL3=简单复制\r\n"_s);
        MainWindow &w = f.create();
        auto *categories = control<FlatComboBox>(w, u"ComboBox1"_s);
        auto *effects = control<FlatComboBox>(w, u"ComboBox3"_s);
        QCOMPARE(categories->count(), 3);
        QCOMPARE(categories->itemText(0), u"图片特效"_s);
        QCOMPARE(categories->itemText(1), QString());
        QCOMPARE(categories->itemText(2), u"简单复制"_s);
        QCOMPARE(categories->currentText(), QString());
        QCOMPARE(effects->count(), 0);
        QCOMPARE(effects->currentText(), QString());
    }

    void textReadsWellOverEverySkin_data()
    {
        QTest::addColumn<QString>("skin");
        QTest::newRow("built-in") << QString();
        for (const QString &skin :
            QDir(QStringLiteral(VELLUMO_LIBRARY_SOURCE "/皮肤")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QTest::newRow(qPrintable(skin)) << QStringLiteral(VELLUMO_LIBRARY_SOURCE "/皮肤/") + skin + u'/';
        // A light picture and a dark one of the user's own.
        QTest::newRow("white") << u"white"_s;
        QTest::newRow("black") << u"black"_s;
    }
    void textReadsWellOverEverySkin()
    {
        QFETCH(QString, skin);
        MainWindowFixture f;
        if (skin == u"white"_s || skin == u"black"_s) {
            QImage plain(214, 192, QImage::Format_RGB32);
            plain.fill(skin == u"white"_s ? Qt::white : QColor(20, 20, 40));
            QVERIFY(plain.save(f.folder() + u"main.bmp"_s));
            QVERIFY(plain.scaled(700, 18).save(f.folder() + u"strip.bmp"_s));
            f.putText(u"MAIN.INI"_s, u"[MAIN]\r\nMAINFORMIMG=%1main.bmp\r\nLIMG=%1strip.bmp\r\n"_s.arg(f.folder()));
        } else if (!skin.isEmpty()) {
            f.putText(u"MAIN.INI"_s, u"[MAIN]\r\nMAINFORMIMG=%1主界面.jpg\r\nLIMG=%1状态栏.jpg\r\n"_s.arg(skin));
        }
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(f.dialogs.calls.isEmpty());
        for (const QString name : { u"Label3"_s, u"Label5"_s, u"Label6"_s, u"Label7"_s, u"Label2"_s }) {
            auto *text = control<QLabel>(w, name);
            // What is behind the text, drawn by the window itself with the text hidden.
            text->hide();
            const QImage behind = text->parentWidget()->grab(text->geometry()).toImage();
            text->show();
            const ReadableText::Choice measured = ReadableText::over(behind);
            QVERIFY2(text->palette().color(QPalette::WindowText) == measured.colour, qPrintable(name));
            QVERIFY2(
                measured.contrast >= ReadableText::Enough, qPrintable(u"%1: %2"_s.arg(name).arg(measured.contrast)));
        }
    }

    void creationErrors_data()
    {
        QTest::addColumn<QString>("link1");
        QTest::addColumn<QString>("mainPicture");
        QTest::addColumn<QByteArray>("mainBytes");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("categories");

        // A skin that cannot be shown leaves the category list filled.
        QTest::newRow("unknown extension")
            << ValidLink1 << u"skin.txt"_s << QByteArray("text") << u"Unknown picture file extension (.txt)"_s << 2;
        QTest::newRow("metafile") << ValidLink1 << u"skin.emf"_s << QByteArray("\x01\0\0\0")
                                  << u"Unknown picture file extension (.emf)"_s << 2;
        QTest::newRow("damaged bitmap") << ValidLink1 << u"skin.bmp"_s << QByteArray("BMnot a bitmap")
                                        << u"Bitmap image is not valid."_s << 2;
        QTest::newRow("not a JPEG") << ValidLink1 << u"skin.jpg"_s << QByteArray("GIF89a....") << u"JPEG error #%1."_s
                                    << 2;
        QTest::newRow("non-numeric category count") << u"[COMBOX]\r\nTOTAL=many\r\nL1=a\r\n"_s << QString()
                                                    << QByteArray() << u"'many' is not a valid integer value."_s << 0;
        QTest::newRow("category index without its section")
            << u"[OTHER]\r\nTOTAL=1\r\n"_s << QString() << QByteArray() << u"'' is not a valid integer value."_s << 0;
        QTest::newRow("zero categories, no message")
            << u"[COMBOX]\r\nTOTAL=0\r\n"_s << QString() << QByteArray() << QString() << 0;
        QTest::newRow("missing picture file is silent")
            << ValidLink1 << u"gone.jpg"_s << QByteArray() << QString() << 2;
    }

    void creationErrors()
    {
        QFETCH(QString, link1);
        QFETCH(QString, mainPicture);
        QFETCH(QByteArray, mainBytes);
        QFETCH(QString, error);
        QFETCH(int, categories);
        MainWindowFixture f;
        f.putText(u"LINK1.INI"_s, link1);
        if (!mainBytes.isEmpty())
            f.put(mainPicture, mainBytes);
        if (!mainPicture.isEmpty())
            f.putText(u"MAIN.INI"_s, u"[MAIN]\r\nMAINFORMIMG=%1\r\nLIMG=\r\n"_s.arg(f.folder() + mainPicture));
        if (!error.isEmpty())
            f.dialogs.expect(ScriptedDialogs::Kind::Error);
        MainWindow &w = f.create();
        if (error.isEmpty()) {
            QVERIFY(f.dialogs.calls.isEmpty());
        } else {
            QCOMPARE(f.dialogs.calls.size(), 1);
            const QString shown = f.dialogs.calls[0].text;
            if (error.contains(u"%1"_s))
                QVERIFY2(QRegularExpression(u"^JPEG error #\\d+\\.$"_s).match(shown).hasMatch(), qPrintable(shown));
            else
                QCOMPARE(shown, error);
        }
        QCOMPARE(control<FlatComboBox>(w, u"ComboBox1"_s)->count(), categories);
        QCOMPARE(control<QLabel>(w, u"MAINIMG"_s)->pixmap().size(), QSize(329, 257));
        QCOMPARE(w.applicationFolder(), f.folder());
    }

    void skinPicturesLoadedByExtension()
    {
        MainWindowFixture f;
        f.put(u"pics/main.jpeg"_s, pictureBytes("JPG", QSize(100, 80), Qt::red));
        f.put(u"pics/strip.GIF"_s, OnePixelGif);
        f.putText(
            u"MAIN.INI"_s, u"[MAIN]\r\nMAINFORMIMG=%1pics/main.jpeg\r\nLIMG=%1pics/strip.GIF\r\n"_s.arg(f.folder()));
        f.putText(u"LINK1.INI"_s, ValidLink1);
        MainWindow &w = f.create();
        QCOMPARE(control<QLabel>(w, u"MAINIMG"_s)->pixmap().size(), QSize(100, 80));
        QCOMPARE(control<QLabel>(w, u"IMG"_s)->pixmap().size(), QSize(1, 1));
        QCOMPARE(control<FlatComboBox>(w, u"ComboBox1"_s)->count(), 2);
    }

    void onlyTheStatusPictureNamed()
    {
        MainWindowFixture f;
        f.put(u"strip.bmp"_s, pictureBytes("BMP", QSize(40, 8), Qt::green));
        f.putText(u"MAIN.INI"_s, u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=%1strip.bmp\r\n"_s.arg(f.folder()));
        MainWindow &w = f.create();
        QCOMPARE(control<QLabel>(w, u"IMG"_s)->pixmap().size(), QSize(40, 8));
        QCOMPARE(control<QLabel>(w, u"MAINIMG"_s)->pixmap().size(), QSize(329, 257));
    }

    void damagedIndexFilesStillOpenTheWindow_data()
    {
        QTest::addColumn<QByteArray>("link1");
        QTest::addColumn<QByteArray>("mainIni");
        QTest::addColumn<int>("errors");
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage.append(char((i * 7919) % 256));
        QTest::newRow("binary garbage") << garbage << garbage << 1;
        QTest::newRow("invalid byte sequences") << QByteArray("[COMBOX]\r\nTOTAL=1\r\nL1=\xFF\xFE\x81\r\n")
                                                << QByteArray("[MAIN]\r\nMAINFORMIMG=\x81\x30\r\n") << 0;
        QTest::newRow("value over 2047 bytes")
            << QByteArray("[COMBOX]\r\nTOTAL=1\r\nL1=") + QByteArray(5000, 'x') + "\r\n"
            << QByteArray("[MAIN]\r\nMAINFORMIMG=") + QByteArray(5000, '/') + "\r\n"
            << 0;
        QTest::newRow("NUL bytes") << QByteArray("[COMBOX]\r\nTOTAL=1\0junk\r\nL1=a\r\n", 26) << QByteArray("\0\0\0", 3)
                                   << 0;
        QByteArray big;
        big.reserve(50 * 1024 * 1024 + 64);
        big.append("[COMBOX]\r\nTOTAL=1\r\nL1=first\r\n");
        const QByteArray line("junk line without equals sign, repeated to make the file large\r\n");
        while (big.size() < 50 * 1024 * 1024)
            big.append(line);
        QTest::newRow("50 MB file") << big << QByteArray() << 0;
    }

    void damagedIndexFilesStillOpenTheWindow()
    {
        QFETCH(QByteArray, link1);
        QFETCH(QByteArray, mainIni);
        QFETCH(int, errors);
        MainWindowFixture f;
        f.put(u"LINK1.INI"_s, link1);
        f.put(u"MAIN.INI"_s, mainIni);
        for (int i = 0; i < errors; ++i)
            f.dialogs.expect(ScriptedDialogs::Kind::Error);
        MainWindow &w = f.create();
        QCOMPARE(f.dialogs.calls.size(), errors);
        QCOMPARE(w.applicationFolder(), f.folder());
        // Nothing was written.
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files).size(), 2);
        QFile link(f.folder() + u"LINK1.INI"_s);
        QVERIFY(link.open(QIODevice::ReadOnly));
        QCOMPARE(link.size(), qint64(link1.size()));
        QVERIFY(link.readAll() == link1);
        QFile main(f.folder() + u"MAIN.INI"_s);
        QVERIFY(main.open(QIODevice::ReadOnly));
        QVERIFY(main.readAll() == mainIni);
    }

    void menuCaptionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        const auto row = [](const char *name, const QString &caption, QKeySequence key = {}) {
            QTest::newRow(name) << QString::fromLatin1(name) << caption << key;
        };
        row("N1", u"新建...(&N)"_s, QKeySequence(Qt::CTRL | Qt::Key_N));
        row("O1", u"打开...(&O)"_s, QKeySequence(Qt::CTRL | Qt::Key_O));
        row("S1", u"保存...(&S)"_s, QKeySequence(Qt::CTRL | Qt::Key_S));
        row("A1", u"另存为...(&A)"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
        row("N3", u"IE网页预览"_s, QKeySequence(Qt::Key_F12));
        row("X1", u"退出程序(&X)"_s);
        row("U1", u"撤消"_s, QKeySequence(Qt::CTRL | Qt::Key_Z));
        row("Redo1", u"重做"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        row("C1", u"复制"_s, QKeySequence(Qt::CTRL | Qt::Key_C));
        row("X2", u"剪切"_s, QKeySequence(Qt::CTRL | Qt::Key_Y));
        row("V1", u"贴粘"_s, QKeySequence(Qt::CTRL | Qt::Key_V));
        row("A2", u"全选(&A)"_s, QKeySequence(Qt::CTRL | Qt::Key_A));
        row("LineNumbers1", u"行号(&L)"_s);
        row("WordWrap1", u"自动换行(&W)"_s);
        row("ZoomIn1", u"放大(&I)"_s, QKeySequence(Qt::CTRL | Qt::Key_Equal));
        row("ZoomOut1", u"缩小(&O)"_s, QKeySequence(Qt::CTRL | Qt::Key_Minus));
        row("ZoomBack1", u"原始大小(&R)"_s, QKeySequence(Qt::CTRL | Qt::Key_0));
        row("GoToLine1", u"转到行...(&G)"_s, QKeySequence(Qt::CTRL | Qt::Key_G));
        row("F2", u"查找...(&F)"_s, QKeySequence(Qt::CTRL | Qt::Key_F));
        row("N7", u"查找下一个"_s, QKeySequence(Qt::Key_F3));
        row("R1", u"替换...(&R)"_s, QKeySequence(Qt::CTRL | Qt::Key_H));
        row("S3", u"皮肤设置(&S)"_s);
        row("O3", u"系统设置(&O)"_s);
        row("M1", u"模板功能(&M)"_s);
        row("N8", u"帮助"_s, QKeySequence(Qt::Key_F1));
        row("FeedbackMail1", u"错误改进"_s);
        row("QuestionMail1", u"问题询问"_s);
        row("H2", u"作者主页(&H)"_s);
        row("A3", u"关于(&A)"_s);
    }

    void menuCaptionsAndShortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        MainWindowFixture f;
        MainWindow &w = f.create();
        auto *action = w.findChild<QAction *>(name);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), shortcut);
    }

    void menuBarOrder()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        QStringList menus;
        for (QAction *a : w.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus,
            (QStringList { u"文件(&F)"_s, u"编辑(&E)"_s, u"查看(&V)"_s, u"查找(&S)"_s, u"选项(&O)"_s, u"帮助(&H)"_s }));
        QStringList file;
        for (QAction *a : control<QMenu>(w, u"F1"_s)->actions())
            file << (a->isSeparator() ? u"-"_s : a->menu() ? a->menu()->objectName() : a->objectName());
        // New from a template follows New, the recent pages Open; reopening in another encoding follows Save As.
        QCOMPARE(file,
            (QStringList { u"N1"_s, u"NewFromTemplate1"_s, u"O1"_s, u"RecentPages1"_s, u"S1"_s, u"-"_s, u"A1"_s,
                u"ReopenIn1"_s, u"N3"_s, u"-"_s, u"X1"_s }));
        QStringList edit;
        for (QAction *a : control<QMenu>(w, u"E1"_s)->actions())
            edit << (a->isSeparator() ? u"-"_s : a->menu() ? a->menu()->objectName() : a->objectName());
        QCOMPARE(edit,
            (QStringList {
                u"U1"_s, u"Redo1"_s, u"-"_s, u"C1"_s, u"X2"_s, u"V1"_s, u"-"_s, u"A2"_s, u"-"_s, u"LineEnds1"_s }));
        QStringList help;
        for (QAction *a : control<QMenu>(w, u"H1"_s)->actions())
            help << (a->menu() ? a->menu()->objectName() : a->objectName());
        QCOMPARE(help, (QStringList { u"N8"_s, u"E2"_s, u"H2"_s, u"A3"_s }));
    }

    // The status strip shows the page's encoding and line breaks; the File and Edit menus change them.
    void theEncodingAndLineEndsAreShownAndCanBeChanged()
    {
        MainWindowFixture f;
        f.put(u"page.htm"_s, "<p>caf\xE9</p>\n<p>2</p>\n");
        MainWindow &w = f.create();
        auto *format = control<QLabel>(w, u"PageFormat"_s);
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        QCOMPARE(format->text(), u"GB18030 · CR LF"_s);
        QMenu *file = control<QMenu>(w, u"F1"_s);
        auto *reopen = control<QMenu>(w, u"ReopenIn1"_s);
        emit file->aboutToShow();
        QVERIFY(!reopen->isEnabled()); // a new page has no file to read again

        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"page.htm"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Message); // not clean as GB18030
        control<QAction>(w, u"O1"_s)->trigger();
        QCOMPARE(format->text(), u"GB18030 · LF"_s);
        emit file->aboutToShow();
        QVERIFY(reopen->isEnabled());
        control<QAction>(w, u"ReopenIn_windows-1252"_s)->trigger();
        QCOMPARE(editor->text(), u"<p>café</p>\n<p>2</p>\n"_s);
        QCOMPARE(format->text(), u"windows-1252 · LF"_s);
        emit reopen->aboutToShow();
        QVERIFY(control<QAction>(w, u"ReopenIn_windows-1252"_s)->isChecked());
        QVERIFY(!control<QAction>(w, u"ReopenIn_UTF-8"_s)->isChecked());

        // Enter gives the page's own line break.
        editor->setCursorPosition(0, 0);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(editor->text(), u"\n<p>café</p>\n<p>2</p>\n"_s);
        auto *crLf = control<QAction>(w, u"LineEndsCrLf"_s);
        emit control<QMenu>(w, u"LineEnds1"_s)->aboutToShow();
        QVERIFY(control<QAction>(w, u"LineEndsLf"_s)->isChecked());
        crLf->trigger();
        QCOMPARE(editor->text(), u"\r\n<p>café</p>\r\n<p>2</p>\r\n"_s);
        QCOMPARE(format->text(), u"windows-1252 · CR LF"_s);
        control<QAction>(w, u"S1"_s)->trigger();
        QCOMPARE(TestFiles::read(f.folder() + u"page.htm"_s), QByteArray("\r\n<p>caf\xE9</p>\r\n<p>2</p>\r\n"));
        QVERIFY(f.dialogs.allAnswersUsed());
    }

    // As a user does it: the start-up page's declaration changed to UTF-8, Chinese pasted, saved.
    void aPageDeclaredUtf8IsSavedAsUtf8AndCharactersGbkLacksAreAskedAbout()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        QVERIFY(editor->findFirst(u"gb2312"_s, false, false, false, false));
        editor->replaceSelectedText(u"utf-8"_s);
        editor->setCursorPosition(8, 0);
        f.clipboard.setText(u"<p>网页特效，简单复制</p>"_s);
        control<QAction>(w, u"V1"_s)->trigger();
        f.dialogs.expect(ScriptedDialogs::Kind::SaveFile, f.folder() + u"utf8.htm"_s);
        control<QAction>(w, u"S1"_s)->trigger();
        const QByteArray saved = TestFiles::read(f.folder() + u"utf8.htm"_s);
        QCOMPARE(saved, editor->text().toUtf8());
        QVERIFY(saved.contains(u"charset=utf-8\">"_s.toUtf8()));
        QVERIFY(saved.contains(u"<p>网页特效，简单复制</p>"_s.toUtf8()));
        QCOMPARE(control<QLabel>(w, u"PageFormat"_s)->text(), u"UTF-8 · CR LF"_s);

        // A page labelled GB2312 with a © typed into it is asked about; No keeps it GB18030.
        f.put(u"gb.htm"_s, "<meta charset=\"gb2312\">\r\n<p></p>");
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"gb.htm"_s);
        control<QAction>(w, u"O1"_s)->trigger();
        editor->setCursorPosition(1, 3);
        QTest::keyClicks(editor, u"©"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        control<QAction>(w, u"S1"_s)->trigger();
        QVERIFY(f.dialogs.calls.last().text.startsWith(
            u"网页声明的字符集是 gb2312，其中有 GB2312/GBK 无法表示的字符：©（第 2 行起）"_s));
        QCOMPARE(TestFiles::read(f.folder() + u"gb.htm"_s),
            QByteArray("<meta charset=\"gb2312\">\r\n<p>\x81\x30\x84\x38</p>"));
        QVERIFY(f.dialogs.allAnswersUsed());
    }

    void toolbarHintsInOrder()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        QStringList hints;
        for (QAction *a : control<QToolBar>(w, u"ToolBar1"_s)->actions())
            hints << (a->isSeparator() ? u"-"_s : a->toolTip());
        QCOMPARE(hints,
            (QStringList { u"新建"_s, u"从模板新建"_s, u"打开"_s, u"保存"_s, u"用IE预览网页"_s, u"-"_s, u"撤消"_s,
                u"复制"_s, u"剪切"_s, u"粘贴"_s, u"-"_s, u"皮肤功能"_s, u"系统设置"_s, u"模板"_s, u"-"_s, u"帮助"_s,
                u"关于"_s }));
    }

    void toolbarButtonsRunTheirMenuItems()
    {
        MainWindowFixture f;
        f.put(u"help.chm"_s, "ITSF");
        MainWindow &w = f.create();
        const auto press = [&w](const QString &button) { w.findChild<QAction *>(button)->trigger(); };
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        editor->setText(u"<p>一二三</p>"_s);
        editor->setSelection(0, 3, 0, 6);
        press(u"ToolButton6"_s); // copy
        QCOMPARE(f.clipboard.text(), u"一二三"_s);
        press(u"ToolButton8"_s); // cut
        QCOMPARE(editor->text(), u"<p></p>"_s);
        press(u"ToolButton7"_s); // paste
        QCOMPARE(editor->text(), u"<p>一二三</p>"_s);
        press(u"ToolButton10"_s); // undo
        QCOMPARE(editor->text(), u"<p></p>"_s);
        press(u"ToolButton15"_s); // help
        QCOMPARE(f.shell.opened, QStringList { f.folder() + u"help.chm"_s });
        QVERIFY(f.dialogs.calls.isEmpty());
        // A command that is unavailable is unavailable on the toolbar and in the context menu too.
        QVERIFY(w.findChild<QAction *>(u"ToolButton11"_s)->isEnabled());
        auto *skins = control<QAction>(w, u"S3"_s);
        skins->setEnabled(false);
        QVERIFY(!w.findChild<QAction *>(u"ToolButton11"_s)->isEnabled());
        skins->setEnabled(true);
        QVERIFY(w.findChild<QAction *>(u"ToolButton11"_s)->isEnabled());
        control<QAction>(w, u"C1"_s)->setEnabled(false);
        QVERIFY(!w.findChild<QAction *>(u"ToolButton6"_s)->isEnabled());
        QVERIFY(!control<QAction>(w, u"N9"_s)->isEnabled());
    }

    void contextMenuItems()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        QStringList items;
        for (QAction *a : control<QMenu>(w, u"PopupMenu1"_s)->actions())
            items << (a->isSeparator() ? u"-"_s : a->text());
        QCOMPARE(items,
            (QStringList {
                u"撤消(&U)"_s, u"-"_s, u"复制(&C)"_s, u"粘贴(&V)"_s, u"剪切(&X)"_s, u"-"_s, u"全选(&A)"_s }));
    }

    // Twelve points: sixteen pixels at the screen's 96 dots per inch.
    void editorTextIsSixteenPixelsHigh()
    {
        MainWindowFixture f;
        f.put(u"page.htm"_s, "<p>page</p>");
        f.put(u"lines.txt"_s, "<html></html>");
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        const auto sizes = [editor] {
            QList<long> all;
            for (int style : { 0, 1, 5, int(QsciScintillaBase::STYLE_LINENUMBER) })
                all << editor->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, static_cast<unsigned long>(style));
            return all;
        };
        QCOMPARE(sizes(), (QList<long> { 12L, 12L, 12L, 12L }));
        // The colouring is attached again for every page loaded; its sizes, and the line numbers'
        // beside them, must survive that.
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"page.htm"_s);
        control<QAction>(w, u"O1"_s)->trigger();
        QCOMPARE(editor->text(), u"<p>page</p>"_s);
        QCOMPARE(sizes(), (QList<long> { 12L, 12L, 12L, 12L }));
        control<QAction>(w, u"N1"_s)->trigger();
        QCOMPARE(editor->text(), u"<html></html>"_s);
        QCOMPARE(sizes(), (QList<long> { 12L, 12L, 12L, 12L }));
    }

    // The keys and views every editor has, with real keys on the shown window.
    void theKeysAndViewsEveryEditorHas()
    {
        MainWindowFixture f;
        f.put(u"page.htm"_s, "<p>1</p>\r\n<p>2</p>\r\n<p>3</p>\r\n");
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, f.folder() + u"page.htm"_s);
        QTest::keyClick(editor, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(editor->text(), u"<p>1</p>\r\n<p>2</p>\r\n<p>3</p>\r\n"_s);

        // Undo, then redo brings back what undo took.
        editor->setCursorPosition(0, 0);
        QTest::keyClicks(editor, u"abc"_s);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!editor->text().contains(u"abc"_s));
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(editor->text().startsWith(u"abc<p>1</p>"_s));
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(TestFiles::read(f.folder() + u"page.htm"_s), QByteArray("abc<p>1</p>\r\n<p>2</p>\r\n<p>3</p>\r\n"));
        QVERIFY(!editor->isModified());

        // Zoom changes the view only.
        const auto zoom = [editor] { return editor->SendScintilla(QsciScintillaBase::SCI_GETZOOM); };
        QTest::keyClick(editor, Qt::Key_Equal, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(zoom(), 2L);
        QTest::keyClick(editor, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(zoom(), 1L);
        QTest::keyClick(editor, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(zoom(), 0L);
        QVERIFY(!editor->isModified());
        QVERIFY(!editor->text().contains(u'='));

        // Go to a line.
        QTimer::singleShot(0, [] {
            auto *ask = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            QVERIFY(ask);
            ask->setIntValue(3);
            ask->accept();
        });
        QTest::keyClick(editor, Qt::Key_G, Qt::ControlModifier);
        int line = 0, index = 0;
        editor->getCursorPosition(&line, &index);
        QCOMPARE(line, 2);
        // The editor tells of the caret with its next update.
        QTRY_COMPARE(control<QLabel>(w, u"CaretPlace"_s)->text(), u"行 3，列 1"_s);
        QTest::keyClick(editor, Qt::Key_End);
        QTRY_COMPARE(control<QLabel>(w, u"CaretPlace"_s)->text(), u"行 3，列 9"_s);

        // Line numbers are shown until switched off, and stay off for the next window.
        const auto numbersWidth = [editor] { return editor->marginWidth(0); };
        QVERIFY(numbersWidth() > 0);
        auto *numbers = control<QAction>(w, u"LineNumbers1"_s);
        QVERIFY(numbers->isChecked());
        numbers->trigger();
        QCOMPARE(numbersWidth(), 0);
        auto *wrap = control<QAction>(w, u"WordWrap1"_s);
        QCOMPARE(editor->wrapMode(), QsciScintilla::WrapWord);
        wrap->trigger();
        QCOMPARE(editor->wrapMode(), QsciScintilla::WrapNone);
        QVERIFY(f.dialogs.allAnswersUsed());
        MainWindow &again = f.create();
        QVERIFY(!control<QAction>(again, u"LineNumbers1"_s)->isChecked());
        QCOMPARE(control<QsciScintilla>(again, u"RichEdit1"_s)->marginWidth(0), 0);
        QCOMPARE(control<QsciScintilla>(again, u"RichEdit1"_s)->wrapMode(), QsciScintilla::WrapNone);
    }

    void ctrlYIsNotTheEditorsRedo()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        QVERIFY(!editor->standardCommands()->boundTo(QKeyCombination(Qt::CTRL, Qt::Key_Y).toCombined()));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        editor->setFocus();
        QTest::keyClicks(editor, u"abc"_s);
        editor->undo();
        QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(!editor->text().contains(u"abc"_s));
    }

    // The window keeps its size with the effect preview shown, and shrinks far enough to fit a
    // 1280 x 900 screen at twice the scale (640 x 450 of the window's pixels, its frame included).
    void theWindowKeepsItsSizeAndFitsASmallScreen_data()
    {
        QTest::addColumn<bool>("previews");
        QTest::newRow("preview shown") << true;
        QTest::newRow("preview hidden") << false;
    }
    void theWindowKeepsItsSizeAndFitsASmallScreen()
    {
        QFETCH(bool, previews);
        MainWindowFixture f;
        f.previews = previews;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), QSize(704, 435));
        QVERIFY2(w.minimumSizeHint().height() <= 400, qPrintable(QString::number(w.minimumSizeHint().height())));
        QVERIFY2(w.minimumSizeHint().width() <= 630, qPrintable(QString::number(w.minimumSizeHint().width())));
        QVERIFY(control<QListWidget>(w, u"ListBox1"_s)->height() >= 38);
        // The status texts never run into the credit line: the caret's place gives way first.
        auto *credit = control<QLabel>(w, u"Label2"_s);
        auto *caret = control<QLabel>(w, u"CaretPlace"_s);
        auto *format = control<QLabel>(w, u"PageFormat"_s);
        QVERIFY(caret->isVisible());
        for (const int width : { 704, 660, 629 }) {
            w.resize(width, 435);
            QTRY_COMPARE(w.width(), width);
            QVERIFY2(!format->geometry().intersects(credit->geometry()), qPrintable(QString::number(width)));
            QVERIFY2(!caret->isVisible() || !caret->geometry().intersects(credit->geometry()),
                qPrintable(QString::number(width)));
        }
    }

    void layoutSizesAndTexts()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *setup = control<QToolButton>(w, u"SpeedButton7"_s);
        auto *searchBox = control<FlatLineEdit>(w, u"Edit1"_s);
        auto *search = control<QToolButton>(w, u"SpeedButton6"_s);
        auto *tabs = control<QTabWidget>(w, u"PageControl1"_s);
        QCOMPARE(control<QWidget>(w, u"Panel4"_s)->width(), 216);
        QCOMPARE(control<QWidget>(w, u"Panel5"_s)->height(), 192);
        QCOMPARE(control<QWidget>(w, u"Panel2"_s)->height(), 20);
        QCOMPARE(control<QWidget>(w, u"CoolBar1"_s)->height(), 33);
        QCOMPARE(control<FlatComboBox>(w, u"ComboBox1"_s)->geometry(), QRect(66, 10, 138, 22));
        QCOMPARE(control<FlatComboBox>(w, u"ComboBox3"_s)->geometry(), QRect(67, 35, 137, 22));
        QCOMPARE(setup->geometry(), QRect(57, 68, 99, 22));
        QCOMPARE(searchBox->geometry(), QRect(14, 120, 189, 18));
        QCOMPARE(search->geometry(), QRect(57, 150, 99, 22));
        QCOMPARE(control<FlatLineEdit>(w, u"ADDEdit"_s)->width(), 281);
        QCOMPARE(searchBox->text(), u"特效名称..."_s);
        QCOMPARE(setup->text(), u"特效设置"_s);
        QCOMPARE(search->text(), u"按条件查询"_s);
        QCOMPARE(control<QListWidget>(w, u"ListBox1"_s)->toolTip(), u"双击可以运行此特效设置"_s);
        QCOMPARE(tabs->tabPosition(), QTabWidget::South);
        QCOMPARE(tabs->tabText(0), u"HTML"_s);
        QCOMPARE(tabs->tabText(1), u"预览"_s);
        QCOMPARE(control<QPushButton>(w, u"BitBtn1"_s)->text(), u"转到"_s);
        QVERIFY(!control<QPushButton>(w, u"BitBtn1"_s)->icon().isNull());
        QCOMPARE(control<QLabel>(w, u"Label8"_s)->text(), u"URL:"_s);
        QCOMPARE(control<QLabel>(w, u"Label2"_s)->text(),
            u"本程序由Tamsel制作，升级程序请访问https://vellumo.example.org/\u3000作者：Tamsel"_s);
        // Captions whole inside their panel; drop-down rows with room around their text.
        auto *panel = control<QWidget>(w, u"Panel5"_s);
        for (const QString name : { u"Label3"_s, u"Label5"_s, u"Label6"_s, u"Label7"_s }) {
            auto *caption = control<QLabel>(w, name);
            QVERIFY2(caption->geometry().bottom() < panel->height(), qPrintable(name));
            QVERIFY(caption->height() >= caption->fontMetrics().height());
        }
        auto *categories = control<FlatComboBox>(w, u"ComboBox1"_s);
        categories->addItem(u"图片特效"_s);
        QVERIFY(
            categories->view()->sizeHintForRow(0) >= categories->fontMetrics().height() + 2 * FlatComboBox::RowPadding);
    }

    // Each insertion and deletion is announced to a screen reader, which may start after the
    // program; while nobody listens neither they nor the flags that let them through are sent, as
    // each costs a count of the characters from the start of the page.
    void editsAreAnnouncedOnlyWhileAListenerIsThere()
    {
        using Base = QsciScintillaBase;
        MainWindowFixture f;
        MainWindow &w = f.create();
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        const auto mask = [editor] { return editor->SendScintilla(Base::SCI_GETMODEVENTMASK); };
        const long everything = Base::SC_MODEVENTMASKALL;
        const long quiet = everything
            & ~(Base::SC_MOD_INSERTTEXT | Base::SC_MOD_DELETETEXT | Base::SC_PERFORMED_USER | Base::SC_PERFORMED_UNDO
                | Base::SC_PERFORMED_REDO | Base::SC_MULTISTEPUNDOREDO | Base::SC_LASTSTEPINUNDOREDO
                | Base::SC_MOD_BEFOREINSERT | Base::SC_MOD_BEFOREDELETE | Base::SC_MULTILINEUNDOREDO
                | Base::SC_STARTACTION);
        QVERIFY(!QAccessible::isActive());
        QCOMPARE(mask(), quiet);
        const auto stopListening = qScopeGuard([] { QAccessible::setActive(false); });
        QAccessible::setActive(true);
        QCOMPARE(mask(), everything);
        QAccessible::setActive(false);
        QCOMPARE(mask(), quiet);
    }

    void setupBuffersStartAsStated()
    {
        MainWindowFixture f;
        f.create();
        QCOMPARE(f.buffers().pieces, u"RichEdit2"_s);
        QCOMPARE(f.buffers().rows, QString());
        QCOMPARE(f.buffers().snippets, QString());
    }

    void searchBoxLowersTypedLetters()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *searchBox = control<FlatLineEdit>(w, u"Edit1"_s);
        searchBox->setFocus();
        searchBox->selectAll();
        QTest::keyClicks(searchBox, u"AbC"_s);
        QCOMPARE(searchBox->text(), u"abc"_s);
    }

    void focusFollowsTheMouseIntoTheEditor()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        auto *editor = control<QsciScintilla>(w, u"RichEdit1"_s);
        auto *searchBox = control<FlatLineEdit>(w, u"Edit1"_s);
        editor->setText(u"hello world"_s);
        editor->setSelection(0, 2, 0, 7);
        searchBox->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(searchBox));
        QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), editor->viewport()->mapToGlobal(QPointF(20, 20)),
            Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &move);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(editor));
        QCOMPARE(editor->selectedText(), u"llo w"_s);
    }

    void placementSavedAndRestored()
    {
        MainWindowFixture f;
        {
            MainWindow &w = f.create();
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.setGeometry(30, 40, 650, 420);
            w.close();
        }
        IniFile store(f.files, f.placementFile());
        QCOMPARE(store.readString(u"form"_s, u"ShowCmd"_s), u"1"_s);
        QCOMPARE(store.readString(u"form"_s, u"MinMaxPos"_s), u"-1,-1,-1,-1"_s);
        QCOMPARE(store.readString(u"form"_s, u"NormPos"_s), u"30,40,680,460"_s);
        QVERIFY(!store.readString(u"form"_s, u"PixelsPerInch"_s).isEmpty());
        QCOMPARE(store.readString(u"form"_s, u"Flags"_s), u"0"_s);
        QVERIFY(!store.readString(u"form"_s, u"ActiveControl"_s).isNull());
        f.window.reset();
        MainWindow &again = f.create();
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.geometry(), QRect(30, 40, 650, 420));
    }

    void placementOffEveryScreenIsIgnored()
    {
        MainWindowFixture f;
        QDir().mkpath(QFileInfo(f.placementFile()).absolutePath());
        IniFile(f.files, f.placementFile()).writeString(u"form"_s, u"NormPos"_s, u"90000,90000,90700,90400"_s);
        MainWindow &w = f.create();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.geometry().left() < 10000);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
