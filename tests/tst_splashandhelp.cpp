#include "mainwindowfixture.h"

#include "app/startup.h"
#include "app/splashwindow.h"
#include "widgets/uistyle.h"

#include <QApplication>
#include <QLabel>
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
        QCOMPARE(form.Image1->pixmap().size(), QSize(346, 262));
        QCOMPARE(form.Label1->text(), u"本程序所有特效来自互联网"_s);
        QCOMPARE(form.Label1->geometry(), QRect(192, 67, 144, 12));
    }

    void onlyAClickOnThePictureCloses()
    {
        SplashWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.Label1, Qt::LeftButton, {}, QPoint(20, 6));
        QVERIFY(form.isVisible());
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QTest::mouseClick(form.Image1, Qt::LeftButton, {}, QPoint(30, 200));
        QVERIFY(!form.isVisible());
    }

    void aboutOpensANewModalWindowEachTime()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.show();
        QList<QWidget *> seen;
        for (int i = 0; i < 2; ++i) {
            QTimer::singleShot(0, [&] {
                auto *about = qobject_cast<SplashWindow *>(QApplication::activeModalWidget());
                QVERIFY(about);
                seen << about;
                QTest::mouseClick(about->Image1, Qt::LeftButton, {}, QPoint(10, 10));
            });
            w.showAbout();
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
        w.N8->trigger();
        QCOMPARE(f.shell.opened, QStringList{f.folder() + u"help.chm"_s});
        QVERIFY(f.dialogs.calls.isEmpty());
    }

    void missingHelpNamesTheAuthorsSite()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        f.dialogs.expect(ScriptedDialogs::Kind::Message);
        w.N8->trigger();
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
        w.openHelp();
        QVERIFY(f.shell.opened.isEmpty());
    }

    void authorLinks()
    {
        MainWindowFixture f;
        MainWindow &w = f.create();
        w.H2->trigger();
        w.FeedbackMail1->trigger();
        w.QuestionMail1->trigger();
        QCOMPARE(f.shell.opened, (QStringList{u"https://vellumo.example.org/"_s,
                                              u"mailto:tamsel@vellumo.example.org?subject=错误改进"_s,
                                              u"mailto:tamsel@vellumo.example.org?subject=问题询问"_s}));
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
