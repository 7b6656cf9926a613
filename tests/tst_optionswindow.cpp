// The options window driven through its named controls on a temporary application folder.
#include "mainwindowfixture.h"

#include "options/optionswindow.h"
#include "options/skinstab.h"
#include "options/systemtab.h"
#include "options/templatestab.h"
#include "platform/vellumoerror.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatlineedit.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
const QString MainIni = u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=\r\nNAME=\r\n[model]\r\nTOTAL=-1\r\n"_s;
const QString Link2 = u"[简单复制]\r\nTOTAL=0\r\n[system]\r\n"_s;
}

class TestOptionsWindow : public QObject
{
    Q_OBJECT

    struct Run
    {
        MainWindowFixture f;
        std::unique_ptr<OptionsWindow> window;

        explicit Run(const QString &mainIni = MainIni)
        {
            f.putText(u"MAIN.INI"_s, mainIni);
            f.putText(u"LINK1.INI"_s, u"[COMBOX]\r\nTOTAL=1\r\nL1=简单复制\r\n"_s);
            f.putText(u"LINK2.INI"_s, Link2);
            QDir().mkpath(f.folder() + u"简单复制"_s);
            QDir().mkpath(f.folder() + u"模板"_s);
            f.create();
        }
        OptionsWindow &open(OptionsWindow::Tab tab = OptionsWindow::Skins)
        {
            window = std::make_unique<OptionsWindow>(
                OptionsContext { f.platform, f.window->applicationFolder() }, f.window.get());
            QObject::connect(window.get(), &OptionsWindow::skinChanged, f.window.get(), &MainWindow::showSkin);
            control<QTabWidget>(*window, u"PageControl1"_s)->setCurrentIndex(tab);
            window->show();
            if (!QTest::qWaitForWindowExposed(window.get()))
                qWarning("options window not exposed");
            return *window;
        }
        SkinsTab &skins() { return *control<SkinsTab>(*window, u"TabSheet1"_s); }
        SystemTab &system() { return *control<SystemTab>(*window, u"TabSheet2"_s); }
        TemplatesTab &templates() { return *control<TemplatesTab>(*window, u"TabSheet3"_s); }
        // The two pictures of the main window a skin replaces.
        QLabel *mainPicture() const { return control<QLabel>(*f.window, u"MAINIMG"_s); }
        QLabel *statusPicture() const { return control<QLabel>(*f.window, u"IMG"_s); }
        QString file(const QString &name) const { return Ansi::decode(TestFiles::read(f.folder() + name)); }
        QString picture(const QString &name, const QColor &colour)
        {
            QDir().mkpath(f.folder() + u"pics"_s);
            const QString path = f.folder() + u"pics/"_s + name;
            QImage image(40, 30, QImage::Format_RGB32);
            image.fill(colour);
            image.save(path, "JPG");
            return path;
        }
        // A new start of the program, then a simple-copy effect started from the browser: the
        // clipboard text it gives.
        QString startAfterRestart(const QString &category, const QString &effect)
        {
            window.reset();
            MainWindow &w = f.create();
            control<FlatComboBox>(w, u"ComboBox1"_s)->setEditText(category);
            control<FlatComboBox>(w, u"ComboBox3"_s)->setEditText(effect);
            f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
            control<QToolButton>(w, u"SpeedButton7"_s)->click();
            return f.clipboard.text();
        }
        QString lastText() const { return f.dialogs.calls.isEmpty() ? QString() : f.dialogs.calls.last().text; }
    };

    static QStringList lines(QListWidget *list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }

private slots:
    void commandsOpenTheirTabs_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("tab");
        QTest::newRow("skins") << u"S3"_s << 0;
        QTest::newRow("system") << u"O3"_s << 1;
        QTest::newRow("templates") << u"M1"_s << 2;
        QTest::newRow("skins from the toolbar") << u"ToolButton11"_s << 0;
        QTest::newRow("templates from the toolbar") << u"ToolButton13"_s << 2;
    }

    void commandsOpenTheirTabs()
    {
        QFETCH(QString, command);
        QFETCH(int, tab);
        Run run;
        int shown = -1;
        QSize size;
        QTimer::singleShot(0, [&] {
            auto *options = qobject_cast<OptionsWindow *>(QApplication::activeModalWidget());
            QVERIFY(options);
            auto *tabs = control<QTabWidget>(*options, u"PageControl1"_s);
            shown = tabs->currentIndex();
            size = options->size();
            tabs->setCurrentIndex(OptionsWindow::Exit); // the exit tab closes the window
        });
        run.f.window->findChild<QAction *>(command)->trigger();
        QCOMPARE(shown, tab);
        QCOMPARE(size, QSize(494, 346));
    }

    void windowLayout()
    {
        Run run;
        OptionsWindow &w = run.open();
        auto *pages = control<QTabWidget>(w, u"PageControl1"_s);
        SkinsTab &skins = run.skins();
        QCOMPARE(control<QLabel>(w, u"Label6"_s)->text(), u"选项"_s);
        QStringList tabs;
        for (int i = 0; i < pages->count(); ++i)
            tabs << pages->tabText(i);
        QCOMPARE(tabs, (QStringList { u"皮肤设置"_s, u"系统设置"_s, u"模板设置"_s, u"退出"_s }));
        QVERIFY(!pages->tabIcon(0).isNull() && pages->tabIcon(3).isNull());
        QCOMPARE(control<FlatLineEdit>(skins, u"Edit4"_s)->text(), u"默认"_s);
        QVERIFY(control<FlatLineEdit>(skins, u"Edit2"_s)->isReadOnly()
            && control<FlatLineEdit>(skins, u"Edit3"_s)->isReadOnly());
        control<QToolButton>(w, u"SpeedButton6"_s)->click();
        QVERIFY(!w.isVisible());
    }

    // The frameless window moves with its title strip; other events reach the strip as before.
    void titleStripMovesTheWindow()
    {
        Run run;
        OptionsWindow &w = run.open();
        auto *title = control<QLabel>(w, u"Label6"_s);
        const QPoint start = w.pos();
        const auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
            QMouseEvent event(
                type, QPointF(local), QPointF(title->mapToGlobal(local)), Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(title, &event);
        };
        send(QEvent::MouseButtonPress, { 5, 5 }, Qt::LeftButton);
        send(QEvent::MouseMove, { 45, 25 }, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, { 45, 25 }, Qt::NoButton);
        QCOMPARE(w.pos(), start + QPoint(40, 20));
        send(QEvent::MouseMove, { 5, 5 }, Qt::NoButton); // after the release the window stays
        QCOMPARE(w.pos(), start + QPoint(40, 20));
        QCOMPARE(title->text(), u"选项"_s);
    }

    void savingSkins()
    {
        Run run;
        SkinsTab &t = (run.open(), run.skins());
        auto *name = control<FlatLineEdit>(t, u"Edit1"_s);
        auto *mainPicture = control<FlatLineEdit>(t, u"Edit2"_s);
        auto *statusPicture = control<FlatLineEdit>(t, u"Edit3"_s);
        auto *chooseMain = control<QPushButton>(t, u"Button1"_s);
        auto *chooseStatus = control<QPushButton>(t, u"Button2"_s);
        auto *save = control<QToolButton>(t, u"SpeedButton1"_s);
        auto *describe = control<QToolButton>(t, u"SpeedButton3"_s);
        auto *skins = control<QListWidget>(t, u"ListBox1"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        name->setText(u"蓝"_s);
        save->click();
        QCOMPARE(run.lastText(), u"请输入正确的名称或选择文件名！"_s);
        QVERIFY(!QFile::exists(run.f.folder() + u"SINKNAME"_s));
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, u"/p/m.jpg"_s);
        chooseMain->click();
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, u"/p/s.jpg"_s);
        chooseStatus->click();
        QCOMPARE(run.f.dialogs.calls.last().request.filter, SkinsTab::pictureFilter());
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, QString()); // cancel keeps the path
        chooseStatus->click();
        QCOMPARE(statusPicture->text(), u"/p/s.jpg"_s);
        // A picture the main window could not show is refused when chosen; the path stays.
        for (const QString refused : { u"/p/s.emf"_s, u"/p/s.WMF"_s, u"/p/notes.txt"_s }) {
            run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, refused);
            run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
            chooseStatus->click();
            QCOMPARE(run.lastText(), u"Unknown picture file extension (.%1)"_s.arg(refused.section(u'.', -1)));
            QCOMPARE(statusPicture->text(), u"/p/s.jpg"_s);
        }
        save->click();
        QCOMPARE(lines(skins), QStringList { u"蓝"_s });
        QCOMPARE(name->text() + mainPicture->text() + statusPicture->text(), QString());
        QCOMPARE(
            run.file(u"SINKNAME"_s), u"[S]\r\nTOTAL=1\r\n[S1]\r\nSNAME=蓝\r\nSPDIR=/p/m.jpg\r\nSLDIR=/p/s.jpg\r\n"_s);
        // Clear all empties the fields only.
        name->setText(u"x"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, u"/p/z.jpg"_s);
        chooseMain->click();
        control<QToolButton>(t, u"SpeedButton2"_s)->click();
        QCOMPARE(name->text() + mainPicture->text(), QString());
        QCOMPARE(
            run.file(u"SINKNAME"_s), u"[S]\r\nTOTAL=1\r\n[S1]\r\nSNAME=蓝\r\nSPDIR=/p/m.jpg\r\nSLDIR=/p/s.jpg\r\n"_s);
        // Its content, three lines joined by a lone CR.
        describe->click(); // nothing selected: nothing shown
        skins->setCurrentRow(0);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        describe->click();
        QCOMPARE(run.lastText(), u"这个皮肤的名称是蓝\r主界面图像文件来自/p/m.jpg\r状态栏图像文件来自/p/s.jpg"_s);
    }

    void changingAndResettingTheSkin()
    {
        Run run;
        const QString main = run.picture(u"m.jpg"_s, Qt::red);
        const QString status = run.picture(u"s.jpg"_s, Qt::blue);
        run.f.putText(u"SINKNAME"_s,
            u"[S]\r\nTOTAL=2\r\n[S1]\r\nSNAME=红\r\nSPDIR=%1\r\nSLDIR=%2\r\n[S2]\r\nSNAME=半\r\nSPDIR=%1\r\nSLDIR=%3\r\n"_s
                .arg(main, status, run.f.folder() + u"gone.jpg"_s));
        SkinsTab &t = (run.open(), run.skins());
        auto *change = control<QToolButton>(t, u"SpeedButton4"_s);
        QLabel *mainPicture = run.mainPicture();
        const qint64 builtIn = mainPicture->pixmap().cacheKey();
        const qint64 builtInStatus = run.statusPicture()->pixmap().cacheKey();
        change->click(); // nothing selected: nothing asked
        control<QListWidget>(t, u"ListBox1"_s)->setCurrentRow(1);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        change->click();
        QCOMPARE(run.f.dialogs.calls.last().caption, u"询问"_s);
        QCOMPARE(run.f.dialogs.calls.last().icon, MessageIcon::Question);
        QCOMPARE(run.file(u"MAIN.INI"_s), MainIni);
        // The status picture is gone: only the main picture changes, all three values are recorded.
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        change->click();
        QVERIFY(mainPicture->pixmap().cacheKey() != builtIn);
        QCOMPARE(mainPicture->pixmap().toImage().pixelColor(5, 5).red() > 200, true);
        QCOMPARE(run.statusPicture()->pixmap().cacheKey(), builtInStatus);
        QCOMPARE(run.file(u"MAIN.INI"_s),
            u"[MAIN]\r\nMAINFORMIMG=%1\r\nLIMG=%2\r\nNAME=半\r\n[model]\r\nTOTAL=-1\r\n"_s.arg(
                main, run.f.folder() + u"gone.jpg"_s));
        // Reopened, the window shows the current name.
        run.open();
        QCOMPARE(control<FlatLineEdit>(run.skins(), u"Edit4"_s)->text(), u"半"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        control<QToolButton>(run.skins(), u"SpeedButton5"_s)->click();
        QCOMPARE(run.lastText(), u"你已经使用了默认的皮肤,但仍需重新启动本程序"_s);
        QCOMPARE(run.file(u"MAIN.INI"_s), MainIni);
        run.open();
        QCOMPARE(control<FlatLineEdit>(run.skins(), u"Edit4"_s)->text(), u"默认"_s);
    }

    void aSkinPictureThatCannotBeShownChangesNothing()
    {
        Run run;
        const QString main = run.picture(u"m.jpg"_s, Qt::red);
        run.f.put(u"pics/bad.jpg"_s, "not a picture");
        run.f.putText(u"SINKNAME"_s,
            u"[S]\r\nTOTAL=1\r\n[S1]\r\nSNAME=坏\r\nSPDIR=%1\r\nSLDIR=%2\r\n"_s.arg(
                main, run.f.folder() + u"pics/bad.jpg"_s));
        SkinsTab &t = (run.open(), run.skins());
        const qint64 builtIn = run.mainPicture()->pixmap().cacheKey();
        control<QListWidget>(t, u"ListBox1"_s)->setCurrentRow(0);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        control<QToolButton>(t, u"SpeedButton4"_s)->click();
        QVERIFY(run.lastText().startsWith(u"JPEG error #"_s));
        QCOMPARE(run.mainPicture()->pixmap().cacheKey(), builtIn);
        QCOMPARE(run.file(u"MAIN.INI"_s), MainIni);
    }

    void damagedRegistryAndIndexStillOpenTheWindow()
    {
        Run run(u"[MAIN]\r\nNAME=旧\r\n[model]\r\nTOTAL=abc\r\nmfile0=/x.htm\r\n"_s);
        run.f.putText(u"SINKNAME"_s, u"[S]\r\nTOTAL=9x\r\n"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        run.open();
        QCOMPARE(run.f.dialogs.calls[0].text, u"'9x' is not a valid integer value."_s);
        QCOMPARE(run.f.dialogs.calls[1].text, u"'abc' is not a valid integer value."_s);
        QCOMPARE(control<FlatLineEdit>(run.skins(), u"Edit4"_s)->text(), u"旧"_s);
        QCOMPARE(control<QListWidget>(run.templates(), u"ListBox3"_s)->count(), 0);
    }

    void ownEffectStartsFromTheBrowserAfterARestart()
    {
        Run run;
        SystemTab &t = (run.open(OptionsWindow::System), run.system());
        auto *define = control<QToolButton>(t, u"SpeedButton7"_s);
        // Non-breaking spaces, pasted and typed, are kept as they are, not made plain blanks.
        auto *code = control<QPlainTextEdit>(t, u"Memo1"_s);
        code->setPlainText(u"<marquee>你好</marquee>\n第二行&nbsp;\u00a0"_s);
        code->moveCursor(QTextCursor::End);
        QTest::sendKeyEvent(QTest::Click, code, Qt::Key_unknown, QString(QChar(0xA0)), Qt::NoModifier);
        control<FlatLineEdit>(t, u"RFlatEdit1"_s)->setText(u"问候"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        define->click();
        QVERIFY(!QFile::exists(run.f.folder() + u"简单复制/问候.txt"_s));
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        define->click();
        QCOMPARE(run.f.dialogs.calls.last().text, u"真的要将左右定义为特效吗?"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        define->click();
        QCOMPARE(run.lastText(), u"与原有特效同名，这样将会使原来特效毁坏，请另选择名称!"_s);
        QCOMPARE(
            run.startAfterRestart(u"简单复制"_s, u"问候"_s), u"<marquee>你好</marquee>\r\n第二行&nbsp;\u00a0\u00a0"_s);
    }

    // Every line break typed into the text, Shift+Enter's too, is saved and copied as CR LF; a
    // non-breaking space stays one.
    void typedLineBreaksBecomeCrLf_data()
    {
        QTest::addColumn<QString>("keys"); // "\n" Enter, "\v" Shift+Enter, anything else typed as it is
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("Shift+Enter") << u"a\vb"_s << QByteArray("a\r\nb");
        QTest::newRow("Enter") << u"a\nb"_s << QByteArray("a\r\nb");
        QTest::newRow("Shift+Enter at the end") << u"<br>\v"_s << QByteArray("<br>\r\n");
        QTest::newRow("both, by a non-breaking space")
            << u"\u00a0\v\n\v\u00a0"_s << QByteArray("\x81\x30\x84\x32\r\n\r\n\r\n\x81\x30\x84\x32");
    }
    void typedLineBreaksBecomeCrLf()
    {
        QFETCH(QString, keys);
        QFETCH(QByteArray, file);
        Run run;
        SystemTab &t = (run.open(OptionsWindow::System), run.system());
        auto *code = control<QPlainTextEdit>(t, u"Memo1"_s);
        code->setFocus();
        for (const QChar key : keys) {
            if (key == u'\n' || key == u'\v')
                QTest::keyClick(code, Qt::Key_Return, key == u'\v' ? Qt::ShiftModifier : Qt::NoModifier);
            else
                QTest::sendKeyEvent(QTest::Click, code, Qt::Key_unknown, QString(key), Qt::NoModifier);
        }
        control<FlatLineEdit>(t, u"RFlatEdit1"_s)->setText(u"换行"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        control<QToolButton>(t, u"SpeedButton7"_s)->click();
        QCOMPARE(TestFiles::read(run.f.folder() + u"简单复制/换行.txt"_s), file);
        QCOMPARE(run.startAfterRestart(u"简单复制"_s, u"换行"_s), Ansi::decode(file));
    }

    void installingPackagesFromTheList()
    {
        Run run;
        run.f.putText(u"pkg/你好.txt"_s, u"hello"_s);
        run.f.putText(
            u"pkg/p.gx"_s, u"[files]\r\nname=你好\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=你好.txt\r\n"_s);
        run.f.putText(
            u"pkg/bad.gx"_s, u"[files]\r\nname=x\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=../../x\r\n"_s);
        SystemTab &t = (run.open(OptionsWindow::System), run.system());
        auto *addPackage = control<QToolButton>(t, u"SpeedButton8"_s);
        auto *install = control<QToolButton>(t, u"SpeedButton9"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        install->click(); // empty list: nothing more
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, run.f.folder() + u"pkg/p.gx"_s);
        addPackage->click();
        QCOMPARE(run.f.dialogs.calls.last().request.filter, u"升级程序|*.gx"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        install->click();
        QCOMPARE(run.file(u"LINK2.INI"_s), Link2);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        install->click();
        QCOMPARE(run.f.dialogs.calls.last().text,
            u"程序已经设置完毕，但也要重新启动才能重新启用，该特效名为你好安装在文件夹简单复制"_s);
        QCOMPARE(run.file(u"LINK2.INI"_s), u"[简单复制]\r\nTOTAL=1\r\nl1=你好\r\n[system]\r\n简单复制你好=1\r\n"_s);
        auto *packages = control<QListWidget>(t, u"ListBox2"_s);
        QCOMPARE(lines(packages), QStringList { run.f.folder() + u"pkg/p.gx"_s }); // the list stays
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, run.f.folder() + u"pkg/bad.gx"_s);
        addPackage->click();
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        install->click();
        QVERIFY(run.lastText().contains(u"不安全"_s));
        QVERIFY(!QFile::exists(run.f.dir.path() + u"/../x"_s));
        QCOMPARE(run.startAfterRestart(u"简单复制"_s, u"你好"_s), u"hello"_s);
    }

    void addingAndDeletingTemplates()
    {
        Run run;
        run.f.putText(u"pages/a.htm"_s, u"<p>a</p>"_s);
        run.f.putText(u"pages/b.htm"_s, u"<p>b</p>"_s);
        run.f.putText(u"other/b.htm"_s, u"<p>新b</p>"_s);
        TemplatesTab &t = (run.open(OptionsWindow::Templates), run.templates());
        auto *templates = control<QListWidget>(t, u"ListBox3"_s);
        auto *remove = control<QToolButton>(t, u"SpeedButton13"_s);
        const auto add = [&](const QString &path, const QString &replace = {}) {
            run.f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, run.f.folder() + path);
            if (!replace.isEmpty())
                run.f.dialogs.expect(ScriptedDialogs::Kind::Question, replace);
            control<QToolButton>(t, u"SpeedButton11"_s)->click();
        };
        add(u"pages/a.htm"_s);
        QCOMPARE(run.f.dialogs.calls.last().request.filter, u"网页文件|*.htm"_s);
        QCOMPARE(run.file(u"MAIN.INI"_s),
            u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=\r\nNAME=\r\n[model]\r\nTOTAL=0\r\nmfile0=%1pages/a.htm\r\n"_s.arg(
                run.f.folder()));
        QCOMPARE(run.file(u"模板/a.htm"_s), u"<p>a</p>"_s);
        add(u"pages/b.htm"_s);
        // The same name again: No keeps the old copy, and the template is registered all the same.
        add(u"other/b.htm"_s, u"no"_s);
        QCOMPARE(run.f.dialogs.calls.last().text, u"模板文件夹中有相同文件名的文件存在，是否覆盖？"_s);
        QCOMPARE(run.f.dialogs.calls.last().icon, MessageIcon::None);
        QCOMPARE(run.file(u"模板/b.htm"_s), u"<p>b</p>"_s);
        add(u"other/b.htm"_s, u"yes"_s);
        QCOMPARE(run.file(u"模板/b.htm"_s), u"<p>新b</p>"_s);
        // The copy itself chosen as a template survives, without a question.
        add(u"模板/a.htm"_s);
        QCOMPARE(run.file(u"模板/a.htm"_s), u"<p>a</p>"_s);
        QCOMPARE(templates->count(), 5);
        // Deleting the second: the rest move up, the old last key stays.
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        remove->click(); // nothing selected
        templates->setCurrentRow(1);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        remove->click();
        QCOMPARE(templates->count(), 5);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        remove->click();
        const QString f = run.f.folder();
        QCOMPARE(run.file(u"MAIN.INI"_s),
            u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=\r\nNAME=\r\n[model]\r\nTOTAL=3\r\nmfile0=%1pages/a.htm\r\n"
            "mfile1=%1other/b.htm\r\nmfile2=%1other/b.htm\r\nmfile3=%1模板/a.htm\r\nmfile4=%1模板/a.htm\r\n"_s.arg(f));
        QVERIFY(QFile::exists(f + u"pages/b.htm"_s) && QFile::exists(f + u"模板/b.htm"_s)); // no file is deleted
        run.open(OptionsWindow::Templates);
        QCOMPARE(lines(control<QListWidget>(run.templates(), u"ListBox3"_s)),
            (QStringList { f + u"pages/a.htm"_s, f + u"other/b.htm"_s, f + u"other/b.htm"_s, f + u"模板/a.htm"_s }));
    }

    void deletingTheOnlyTemplateLeavesTheListEmpty()
    {
        Run run(u"[model]\r\nTOTAL=0\r\nmfile0=/x.htm\r\n"_s);
        TemplatesTab &t = (run.open(OptionsWindow::Templates), run.templates());
        auto *templates = control<QListWidget>(t, u"ListBox3"_s);
        QCOMPARE(lines(templates), QStringList { u"/x.htm"_s });
        templates->setCurrentRow(0);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        control<QToolButton>(t, u"SpeedButton13"_s)->click();
        QCOMPARE(run.file(u"MAIN.INI"_s), u"[model]\r\nTOTAL=-1\r\nmfile0=/x.htm\r\n"_s);
        run.open(OptionsWindow::Templates);
        QCOMPARE(control<QListWidget>(run.templates(), u"ListBox3"_s)->count(), 0);
    }

    void addingATemplateWithADamagedCounter()
    {
        Run run(u"[model]\r\nTOTAL=\r\n"_s);
        run.f.putText(u"pages/a.htm"_s, u"a"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        TemplatesTab &t = (run.open(OptionsWindow::Templates), run.templates());
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, run.f.folder() + u"pages/a.htm"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        control<QToolButton>(t, u"SpeedButton11"_s)->click();
        QCOMPARE(run.lastText(), u"'' is not a valid integer value."_s);
        QCOMPARE(control<QListWidget>(t, u"ListBox3"_s)->count(), 1); // the line was appended before the error
        QCOMPARE(run.file(u"MAIN.INI"_s), u"[model]\r\nTOTAL=\r\n"_s);
        QVERIFY(!QFile::exists(run.f.folder() + u"模板/a.htm"_s));
    }

    void readOnlyApplicationFolderGivesTheWriteError()
    {
        Run run;
        run.f.files.refuseWritesUnder(run.f.folder());
        SkinsTab &t = (run.open(), run.skins());
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        control<QToolButton>(t, u"SpeedButton5"_s)->click();
        QCOMPARE(run.lastText(),
            VellumoError::withFullStop(VellumoError::unableToWrite(run.f.folder() + u"MAIN.INI"_s).message()));
        QCOMPARE(run.file(u"MAIN.INI"_s), MainIni);
    }
};

QTEST_MAIN(TestOptionsWindow)
#include "tst_optionswindow.moc"
