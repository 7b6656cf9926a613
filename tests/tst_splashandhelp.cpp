#include "mainwindowfixture.h"

#include "app/splashwindow.h"
#include "app/startup.h"
#include "widgets/uistyle.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestSplashAndHelp : public QObject
{
    Q_OBJECT

private slots:
    void splashLayout()
    {
        SplashWindow form;
        QCOMPARE(form.size(), QSize(348, 262));
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        auto *note = control<QLabel>(form, u"Label1"_s);
        QCOMPARE(control<QLabel>(form, u"Image1"_s)->pixmap().size(), QSize(346, 262));
        QCOMPARE(note->text(), u"本程序所有特效来自互联网"_s);
        QCOMPARE(note->geometry(), QRect(192, 67, 144, 12));
    }

    void onlyAClickOnThePictureCloses()
    {
        SplashWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(control<QLabel>(form, u"Label1"_s), Qt::LeftButton, {}, QPoint(20, 6));
        QVERIFY(form.isVisible());
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QTest::mouseClick(control<QLabel>(form, u"Image1"_s), Qt::LeftButton, {}, QPoint(30, 200));
        QVERIFY(!form.isVisible());
    }

    void aboutOpensANewModalWindowEachTime()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QList<QPointer<QWidget>> seen;
        for (int i = 0; i < 2; ++i) {
            QTimer::singleShot(0, [&] {
                auto *about = qobject_cast<SplashWindow *>(QApplication::activeModalWidget());
                QVERIFY(about);
                // The first one is gone, or is another window.
                if (!seen.isEmpty())
                    QVERIFY(seen.first().isNull() || seen.first() != about);
                seen << about;
                QTest::mouseClick(control<QLabel>(*about, u"Image1"_s), Qt::LeftButton, {}, QPoint(10, 10));
            });
            control<QAction>(w, u"A3"_s)->trigger();
        }
        QCOMPARE(seen.size(), 2);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(w.isVisible());
    }

    void helpOpensTheHelpFileThroughTheShell()
    {
        MainWindowFixture f;
        f.put(u"help.chm"_s, "ITSF");
        MainWindow &w = f.create();
        control<QAction>(w, u"N8"_s)->trigger();
        QCOMPARE(f.shell.opened, QStringList { f.folder() + u"help.chm"_s });
        QVERIFY(f.dialogs.calls.isEmpty());
    }

    void missingHelpNamesTheAuthorsSite()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        f.dialogs.expect(ScriptedDialogs::Kind::Message);
        control<QAction>(w, u"N8"_s)->trigger();
        QVERIFY(f.shell.opened.isEmpty());
        QCOMPARE(f.dialogs.calls.size(), 1);
        QCOMPARE(f.dialogs.calls[0].text, u"帮助文件找不到,请到作者网站下载https://vellumo.example.org/"_s);
    }

    void aFolderNamedLikeTheHelpFileIsNoHelpFile()
    {
        MainWindowFixture f;
        QDir().mkpath(f.folder() + u"help.chm"_s);
        MainWindow &w = f.create();
        f.dialogs.expect(ScriptedDialogs::Kind::Message);
        control<QAction>(w, u"N8"_s)->trigger();
        QVERIFY(f.shell.opened.isEmpty());
    }

    void authorLinks()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        control<QAction>(w, u"H2"_s)->trigger();
        control<QAction>(w, u"FeedbackMail1"_s)->trigger();
        control<QAction>(w, u"QuestionMail1"_s)->trigger();
        QCOMPARE(f.shell.opened,
            (QStringList { u"https://vellumo.example.org/"_s, u"mailto:tamsel@vellumo.example.org?subject=错误改进"_s,
                u"mailto:tamsel@vellumo.example.org?subject=问题询问"_s }));
    }

    void whatNoProgramOpensIsSaidPlainly()
    {
        MainWindowFixture f;
        f.put(u"help.chm"_s, "ITSF");
        f.shell.fails = true;
        MainWindow &w = f.create();
        const QStringList commands { u"N8"_s, u"H2"_s, u"FeedbackMail1"_s, u"N3"_s };
        for (const QString &command : commands) {
            f.dialogs.expect(ScriptedDialogs::Kind::Message);
            control<QAction>(w, command)->trigger();
        }
        QCOMPARE(f.shell.opened.size(), 4);
        QCOMPARE(f.dialogs.calls.size(), 4);
        QCOMPARE(f.dialogs.calls[0].text,
            u"无法打开帮助文件：系统里没有能打开它的程序。\n帮助文件在 %1help.chm"_s.arg(f.folder()));
        QCOMPARE(f.dialogs.calls[1].text, u"无法打开网址 https://vellumo.example.org/：系统里没有可用的浏览器。"_s);
        QCOMPARE(f.dialogs.calls[2].text,
            u"无法启动邮件程序：系统里没有可用的邮件程序。\n请直接写信到 tamsel@vellumo.example.org"_s);
        QCOMPARE(f.dialogs.calls[3].text,
            u"无法用系统浏览器预览：系统里没有可用的浏览器。\n预览文件已写到 %1TEM~~CHO.HTM"_s.arg(f.folder()));
    }

    // Last: the program's look stays installed for the rest of this run.
    void dialogFontIsTwelvePixelSong()
    {
        UiStyle::install(*qApp);
        const QFontInfo shown(QApplication::font());
        QCOMPARE(shown.family(), u"AR PL UMing CN"_s);
        QCOMPARE(shown.pixelSize(), 12);
        QCOMPARE(QFontInfo(UiStyle::songFont(12)).pixelSize(), 12);
        QLabel label(u"特效设置"_s);
        QCOMPARE(QFontInfo(label.font()).pixelSize(), 12);
    }
};

QTEST_MAIN(TestSplashAndHelp)
#include "tst_splashandhelp.moc"
