// The options window driven through its named controls on a temporary application folder.
#include "mainwindowfixture.h"

#include "options/skinstab.h"
#include "options/systemtab.h"
#include "options/templatestab.h"
#include "options/optionswindow.h"
#include "platform/vellumoerror.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatlineedit.h"
#include "widgets/textbufferedit.h"

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
                OptionsContext{f.platform, f.window->applicationFolder(), f.window->MAINIMG, f.window->IMG}, f.window.get());
            window->PageControl1->setCurrentIndex(tab);
            window->show();
            if (!QTest::qWaitForWindowExposed(window.get()))
                qWarning("options window not exposed");
            return *window;
        }
        SkinsTab &skins() { return *window->TabSheet1; }
        SystemTab &system() { return *window->TabSheet2; }
        TemplatesTab &templates() { return *window->TabSheet3; }
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
            w.ComboBox1->setEditText(category);
            w.ComboBox3->setEditText(effect);
            f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
            w.startEffect();
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
            shown = options->PageControl1->currentIndex();
            size = options->size();
            options->PageControl1->setCurrentIndex(OptionsWindow::Exit); // the exit tab closes the window
        });
        run.f.window->findChild<QAction *>(command)->trigger();
        QCOMPARE(shown, tab);
        QCOMPARE(size, QSize(494, 346));
    }

    void windowLayout()
    {
        Run run;
        OptionsWindow &w = run.open();
        QCOMPARE(w.Label6->text(), u"选项"_s);
        QStringList tabs;
        for (int i = 0; i < w.PageControl1->count(); ++i)
            tabs << w.PageControl1->tabText(i);
        QCOMPARE(tabs, (QStringList{u"皮肤设置"_s, u"系统设置"_s, u"模板设置"_s, u"退出"_s}));
        QVERIFY(!w.PageControl1->tabIcon(0).isNull() && w.PageControl1->tabIcon(3).isNull());
        QCOMPARE(run.skins().Edit4->text(), u"默认"_s);
        QVERIFY(run.skins().Edit2->isReadOnly() && run.skins().Edit3->isReadOnly());
        w.SpeedButton6->click();
        QVERIFY(!w.isVisible());
    }

    // The frameless window moves with its title strip; other events reach the strip as before.
    void titleStripMovesTheWindow()
    {
        Run run;
        OptionsWindow &w = run.open();
        const QPoint start = w.pos();
        const auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(local), QPointF(w.Label6->mapToGlobal(local)), Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(w.Label6, &event);
        };
        send(QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
        send(QEvent::MouseMove, {45, 25}, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {45, 25}, Qt::NoButton);
        QCOMPARE(w.pos(), start + QPoint(40, 20));
        send(QEvent::MouseMove, {5, 5}, Qt::NoButton); // after the release the window stays
        QCOMPARE(w.pos(), start + QPoint(40, 20));
        QCOMPARE(w.Label6->text(), u"选项"_s);
    }

    void savingSkins()
    {
        Run run;
        SkinsTab &t = (run.open(), run.skins());
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        t.Edit1->setText(u"蓝"_s);
        t.SpeedButton1->click();
        QCOMPARE(run.lastText(), u"请输入正确的名称或选择文件名！"_s);
        QVERIFY(!QFile::exists(run.f.folder() + u"SINKNAME"_s));
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, u"/p/m.jpg"_s);
        t.Button1->click();
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, u"/p/s.jpg"_s);
        t.Button2->click();
        QCOMPARE(run.f.dialogs.calls.last().request.filter, SkinsTab::pictureFilter());
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, QString()); // cancel keeps the path
        t.Button2->click();
        QCOMPARE(t.Edit3->text(), u"/p/s.jpg"_s);
        t.SpeedButton1->click();
        QCOMPARE(lines(t.ListBox1), QStringList{u"蓝"_s});
        QCOMPARE(t.Edit1->text() + t.Edit2->text() + t.Edit3->text(), QString());
        QCOMPARE(run.file(u"SINKNAME"_s), u"[S]\r\nTOTAL=1\r\n[S1]\r\nSNAME=蓝\r\nSPDIR=/p/m.jpg\r\nSLDIR=/p/s.jpg\r\n"_s);
        // Clear all empties the fields only.
        t.Edit1->setText(u"x"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenPicture, u"/p/z.jpg"_s);
        t.Button1->click();
        t.SpeedButton2->click();
        QCOMPARE(t.Edit1->text() + t.Edit2->text(), QString());
        QCOMPARE(run.file(u"SINKNAME"_s), u"[S]\r\nTOTAL=1\r\n[S1]\r\nSNAME=蓝\r\nSPDIR=/p/m.jpg\r\nSLDIR=/p/s.jpg\r\n"_s);
        // Its content, three lines joined by a lone CR.
        t.SpeedButton3->click(); // nothing selected: nothing shown
        t.ListBox1->setCurrentRow(0);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        t.SpeedButton3->click();
        QCOMPARE(run.lastText(), u"这个皮肤的名称是蓝\r主界面图像文件来自/p/m.jpg\r状态栏图像文件来自/p/s.jpg"_s);
    }

    void changingAndResettingTheSkin()
    {
        Run run;
        const QString main = run.picture(u"m.jpg"_s, Qt::red);
        const QString status = run.picture(u"s.jpg"_s, Qt::blue);
        run.f.putText(u"SINKNAME"_s, u"[S]\r\nTOTAL=2\r\n[S1]\r\nSNAME=红\r\nSPDIR=%1\r\nSLDIR=%2\r\n[S2]\r\nSNAME=半\r\nSPDIR=%1\r\nSLDIR=%3\r\n"_s
                                         .arg(main, status, run.f.folder() + u"gone.jpg"_s));
        SkinsTab &t = (run.open(), run.skins());
        const qint64 builtIn = run.f.window->MAINIMG->pixmap().cacheKey();
        const qint64 builtInStatus = run.f.window->IMG->pixmap().cacheKey();
        t.SpeedButton4->click(); // nothing selected: nothing asked
        t.ListBox1->setCurrentRow(1);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        t.SpeedButton4->click();
        QCOMPARE(run.f.dialogs.calls.last().caption, u"询问"_s);
        QCOMPARE(run.f.dialogs.calls.last().icon, MessageIcon::Question);
        QCOMPARE(run.file(u"MAIN.INI"_s), MainIni);
        // The status picture is gone: only the main picture changes, all three values are recorded.
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        t.SpeedButton4->click();
        QVERIFY(run.f.window->MAINIMG->pixmap().cacheKey() != builtIn);
        QCOMPARE(run.f.window->MAINIMG->pixmap().toImage().pixelColor(5, 5).red() > 200, true);
        QCOMPARE(run.f.window->IMG->pixmap().cacheKey(), builtInStatus);
        QCOMPARE(run.file(u"MAIN.INI"_s), u"[MAIN]\r\nMAINFORMIMG=%1\r\nLIMG=%2\r\nNAME=半\r\n[model]\r\nTOTAL=-1\r\n"_s
                                              .arg(main, run.f.folder() + u"gone.jpg"_s));
        // Reopened, the window shows the current name.
        run.open();
        QCOMPARE(run.skins().Edit4->text(), u"半"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        run.skins().SpeedButton5->click();
        QCOMPARE(run.lastText(), u"你已经使用了默认的皮肤,但仍需重新启动本程序"_s);
        QCOMPARE(run.file(u"MAIN.INI"_s), MainIni);
        run.open();
        QCOMPARE(run.skins().Edit4->text(), u"默认"_s);
    }

    void aSkinPictureThatCannotBeShownChangesNothing()
    {
        Run run;
        const QString main = run.picture(u"m.jpg"_s, Qt::red);
        run.f.put(u"pics/bad.jpg"_s, "not a picture");
        run.f.putText(u"SINKNAME"_s, u"[S]\r\nTOTAL=1\r\n[S1]\r\nSNAME=坏\r\nSPDIR=%1\r\nSLDIR=%2\r\n"_s.arg(
                                         main, run.f.folder() + u"pics/bad.jpg"_s));
        SkinsTab &t = (run.open(), run.skins());
        const qint64 builtIn = run.f.window->MAINIMG->pixmap().cacheKey();
        t.ListBox1->setCurrentRow(0);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        t.SpeedButton4->click();
        QVERIFY(run.lastText().startsWith(u"JPEG error #"_s));
        QCOMPARE(run.f.window->MAINIMG->pixmap().cacheKey(), builtIn);
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
        QCOMPARE(run.skins().Edit4->text(), u"旧"_s);
        QCOMPARE(run.templates().ListBox3->count(), 0);
    }

    void ownEffectStartsFromTheBrowserAfterARestart()
    {
        Run run;
        SystemTab &t = (run.open(OptionsWindow::System), run.system());
        t.Memo1->setPlainText(u"<marquee>你好</marquee>\n第二行"_s);
        t.RFlatEdit1->setText(u"问候"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        t.SpeedButton7->click();
        QVERIFY(!QFile::exists(run.f.folder() + u"简单复制/问候.txt"_s));
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        t.SpeedButton7->click();
        QCOMPARE(run.f.dialogs.calls.last().text, u"真的要将左右定义为特效吗?"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        t.SpeedButton7->click();
        QCOMPARE(run.lastText(), u"与原有特效同名，这样将会使原来特效毁坏，请另选择名称!"_s);
        QCOMPARE(run.startAfterRestart(u"简单复制"_s, u"问候"_s), u"<marquee>你好</marquee>\r\n第二行"_s);
    }

    void installingPackagesFromTheList()
    {
        Run run;
        run.f.putText(u"pkg/你好.txt"_s, u"hello"_s);
        run.f.putText(u"pkg/p.gx"_s, u"[files]\r\nname=你好\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=你好.txt\r\n"_s);
        run.f.putText(u"pkg/bad.gx"_s, u"[files]\r\nname=x\r\nflistno=1\r\nflist=简单复制\r\nft=1\r\nftname1=../../x\r\n"_s);
        SystemTab &t = (run.open(OptionsWindow::System), run.system());
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        t.SpeedButton9->click(); // empty list: nothing more
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, run.f.folder() + u"pkg/p.gx"_s);
        t.SpeedButton8->click();
        QCOMPARE(run.f.dialogs.calls.last().request.filter, u"升级程序|*.gx"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        t.SpeedButton9->click();
        QCOMPARE(run.file(u"LINK2.INI"_s), Link2);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        t.SpeedButton9->click();
        QCOMPARE(run.f.dialogs.calls.last().text, u"程序已经设置完毕，但也要重新启动才能重新启用，该特效名为你好安装在文件夹简单复制"_s);
        QCOMPARE(run.file(u"LINK2.INI"_s), u"[简单复制]\r\nTOTAL=1\r\nl1=你好\r\n[system]\r\n简单复制你好=1\r\n"_s);
        QCOMPARE(lines(t.ListBox2), QStringList{run.f.folder() + u"pkg/p.gx"_s}); // the list stays
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, run.f.folder() + u"pkg/bad.gx"_s);
        t.SpeedButton8->click();
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Message);
        t.SpeedButton9->click();
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
        const auto add = [&](const QString &path, const QString &replace = {}) {
            run.f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, run.f.folder() + path);
            if (!replace.isEmpty())
                run.f.dialogs.expect(ScriptedDialogs::Kind::Question, replace);
            t.SpeedButton11->click();
        };
        add(u"pages/a.htm"_s);
        QCOMPARE(run.f.dialogs.calls.last().request.filter, u"网页文件|*.htm"_s);
        QCOMPARE(run.file(u"MAIN.INI"_s), u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=\r\nNAME=\r\n[model]\r\nTOTAL=0\r\nmfile0=%1pages/a.htm\r\n"_s
                                              .arg(run.f.folder()));
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
        QCOMPARE(t.ListBox3->count(), 5);
        // Deleting the second: the rest move up, the old last key stays.
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        t.SpeedButton13->click(); // nothing selected
        t.ListBox3->setCurrentRow(1);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"no"_s);
        t.SpeedButton13->click();
        QCOMPARE(t.ListBox3->count(), 5);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        t.SpeedButton13->click();
        const QString f = run.f.folder();
        QCOMPARE(run.file(u"MAIN.INI"_s),
                 u"[MAIN]\r\nMAINFORMIMG=\r\nLIMG=\r\nNAME=\r\n[model]\r\nTOTAL=3\r\nmfile0=%1pages/a.htm\r\n"
                 "mfile1=%1other/b.htm\r\nmfile2=%1other/b.htm\r\nmfile3=%1模板/a.htm\r\nmfile4=%1模板/a.htm\r\n"_s.arg(f));
        QVERIFY(QFile::exists(f + u"pages/b.htm"_s) && QFile::exists(f + u"模板/b.htm"_s)); // no file is deleted
        run.open(OptionsWindow::Templates);
        QCOMPARE(lines(run.templates().ListBox3),
                 (QStringList{f + u"pages/a.htm"_s, f + u"other/b.htm"_s, f + u"other/b.htm"_s, f + u"模板/a.htm"_s}));
    }

    void deletingTheOnlyTemplateLeavesTheListEmpty()
    {
        Run run(u"[model]\r\nTOTAL=0\r\nmfile0=/x.htm\r\n"_s);
        TemplatesTab &t = (run.open(OptionsWindow::Templates), run.templates());
        QCOMPARE(lines(t.ListBox3), QStringList{u"/x.htm"_s});
        t.ListBox3->setCurrentRow(0);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Question, u"yes"_s);
        t.SpeedButton13->click();
        QCOMPARE(run.file(u"MAIN.INI"_s), u"[model]\r\nTOTAL=-1\r\nmfile0=/x.htm\r\n"_s);
        run.open(OptionsWindow::Templates);
        QCOMPARE(run.templates().ListBox3->count(), 0);
    }

    void addingATemplateWithADamagedCounter()
    {
        Run run(u"[model]\r\nTOTAL=\r\n"_s);
        run.f.putText(u"pages/a.htm"_s, u"a"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        TemplatesTab &t = (run.open(OptionsWindow::Templates), run.templates());
        run.f.dialogs.expect(ScriptedDialogs::Kind::OpenFile, run.f.folder() + u"pages/a.htm"_s);
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        t.SpeedButton11->click();
        QCOMPARE(run.lastText(), u"'' is not a valid integer value."_s);
        QCOMPARE(t.ListBox3->count(), 1); // the line was appended before the error
        QCOMPARE(run.file(u"MAIN.INI"_s), u"[model]\r\nTOTAL=\r\n"_s);
        QVERIFY(!QFile::exists(run.f.folder() + u"模板/a.htm"_s));
    }

    void readOnlyApplicationFolderGivesTheWriteError()
    {
        Run run;
        run.f.files.refuseWritesUnder(run.f.folder());
        SkinsTab &t = (run.open(), run.skins());
        run.f.dialogs.expect(ScriptedDialogs::Kind::Error);
        t.SpeedButton5->click();
        QCOMPARE(run.lastText(), VellumoError::withFullStop(VellumoError::unableToWrite(run.f.folder() + u"MAIN.INI"_s).message()));
        QCOMPARE(run.file(u"MAIN.INI"_s), MainIni);
    }
};

QTEST_MAIN(TestOptionsWindow)
#include "tst_optionswindow.moc"
