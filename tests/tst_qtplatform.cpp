#include "app/startup.h"
#include "platform/qtdialogs.h"
#include "platform/qtshell.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Answer)

namespace {
// Runs inspect on the next modal window that opens, then closes it.
template <class Window> void whenShown(const std::function<void(Window *)> &inspect)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
        auto *window = qobject_cast<Window *>(QApplication::activeModalWidget());
        if (!window)
            return;
        poll->stop();
        poll->deleteLater();
        inspect(window);
        window->reject();
    });
    poll->start(10);
}

std::optional<QString> noPicture(QWidget *, const QString &, const QString &, const QString &)
{
    return std::nullopt;
}
}

class TestQtPlatform : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(Startup::installQtTranslations(), 2); }

    void boxesBreakLinesAtALoneCrAndShowTheirWholeCaption()
    {
        QtDialogs dialogs(u"Vellumo"_s, noPicture);
        QString shown;
        int width = 0;
        int captionWidth = 0;
        whenShown<QMessageBox>([&](QMessageBox *box) {
            shown = box->findChild<QLabel *>(u"qt_msgbox_label"_s)->text();
            width = box->width();
            captionWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
        });
        dialogs.message(u"这个皮肤的名称是蓝\r主界面图像文件来自/p/m.jpg\r\n状态栏图像文件来自/p/s.jpg"_s);
        QCOMPARE(shown, u"这个皮肤的名称是蓝\n主界面图像文件来自/p/m.jpg\n状态栏图像文件来自/p/s.jpg"_s);
        // Room for the title bar's buttons beside the caption.
        QVERIFY2(width >= captionWidth + 150, qPrintable(u"%1 for %2"_s.arg(width).arg(captionWidth)));
    }

    // A box is shown over the window the user works in, not over the main window it was made for, and
    // that window has the keyboard again once the box is closed.
    void boxesBelongToTheWindowTheUserWorksIn()
    {
        QWidget main;
        main.show();
        QDialog working(&main);
        auto *edit = new QLineEdit(&working);
        working.show();
        QVERIFY(QTest::qWaitForWindowActive(&working));
        QTRY_COMPARE(QApplication::activeWindow(), &working);
        edit->setFocus();
        QtDialogs dialogs(u"Vellumo"_s, noPicture, &main);
        QWidget *shownOver = nullptr;
        whenShown<QMessageBox>([&](QMessageBox *box) { shownOver = box->parentWidget(); });
        dialogs.notice(QString(), u"本次查找完畢"_s, MessageIcon::Error);
        QCOMPARE(shownOver, &working);
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow(), &working);
        QCOMPARE(QApplication::focusWidget(), edit);
    }

    // A plain message opens in the middle of the screen even over a window in a corner; the other
    // boxes open over their window.
    void plainMessagesAreCentredOnTheScreen()
    {
        QWidget main;
        main.setGeometry(0, 0, 200, 150);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QtDialogs dialogs(u"Vellumo"_s, noPicture, &main);
        const QPoint screenCentre = main.screen()->availableGeometry().center();
        QPoint plain, notice;
        whenShown<QMessageBox>([&](QMessageBox *box) { plain = box->frameGeometry().center(); });
        dialogs.message(u"特效设置出错"_s);
        whenShown<QMessageBox>([&](QMessageBox *box) { notice = box->frameGeometry().center(); });
        dialogs.notice(QString(), u"本次查找完畢"_s, MessageIcon::Error);
        QVERIFY2((plain - screenCentre).manhattanLength() <= 4,
            qPrintable(
                u"%1,%2 against %3,%4"_s.arg(plain.x()).arg(plain.y()).arg(screenCentre.x()).arg(screenCentre.y())));
        QVERIFY((notice - screenCentre).manhattanLength() > 40);
    }

    // What a setup window asks for, the folder browser and its messages, belongs to that window.
    void aModalWindowOwnsItsDialogs()
    {
        QWidget main;
        main.show();
        QDialog setup(&main);
        setup.setModal(true);
        setup.show();
        QVERIFY(QTest::qWaitForWindowActive(&setup));
        QtDialogs dialogs(u"Vellumo"_s, noPicture, &main);
        QWidget *folderOwner = nullptr;
        QWidget *messageOwner = nullptr;
        whenShown<QFileDialog>([&](QFileDialog *dialog) { folderOwner = dialog->parentWidget(); });
        QVERIFY(!dialogs.browseFolder(u"本特效还需要别的文件支持，请选择文件夹!"_s));
        whenShown<QMessageBox>([&](QMessageBox *box) { messageOwner = box->parentWidget(); });
        dialogs.message(u"长或宽的设置不能为0"_s);
        QCOMPARE(folderOwner, &setup);
        QCOMPARE(messageOwner, &setup);
    }

    void qtDialogsSpeakChinese()
    {
        QString yes;
        whenShown<QMessageBox>([&](QMessageBox *box) { yes = box->button(QMessageBox::Yes)->text(); });
        QtDialogs(u"Vellumo"_s, noPicture).question(u"询问"_s, u"?"_s, MessageIcon::Question);
        QCOMPARE(yes, u"是(&Y)"_s);

        QFileDialog dialog(nullptr, QString(), QDir::tempPath());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.show();
        const auto buttons = dialog.findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), u"取消"_s);
        QCOMPARE(dialog.findChild<QLabel *>(u"fileNameLabel"_s)->text(), u"文件名称(&N)："_s);
    }

    // Escape and the close box dismiss a question; neither counts as No. The box keeps its two buttons.
    void dismissingAQuestionIsNoAnswer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("Escape") << u"escape"_s << Answer::Dismissed;
        QTest::newRow("close box") << u"close"_s << Answer::Dismissed;
        QTest::newRow("Yes") << u"yes"_s << Answer::Yes;
        QTest::newRow("No") << u"no"_s << Answer::No;
        QTest::newRow("Enter on No") << u"enter on no"_s << Answer::No;
    }
    void dismissingAQuestionIsNoAnswer()
    {
        QFETCH(QString, how);
        QFETCH(Answer, answer);
        QStringList buttons;
        QString text;
        auto *poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [&, poll] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll->stop();
            poll->deleteLater();
            for (QAbstractButton *button : box->buttons())
                buttons << button->text();
            text = box->text();
            if (how == u"escape"_s) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else if (how == u"close"_s) {
                box->close();
            } else if (how == u"enter on no"_s) {
                box->button(QMessageBox::No)->setFocus();
                QTest::keyClick(box->button(QMessageBox::No), Qt::Key_Return);
            } else {
                box->button(how == u"yes"_s ? QMessageBox::Yes : QMessageBox::No)->click();
            }
        });
        poll->start(10);
        QtDialogs dialogs(u"Vellumo"_s, noPicture);
        QCOMPARE(dialogs.ask(u"询问"_s, u"网页文件已经被修改，是否要进行存盘"_s, MessageIcon::Question), answer);
        QCOMPARE(buttons, QStringList({ u"是(&Y)"_s, u"否(&N)"_s }));
        QCOMPARE(text, u"网页文件已经被修改，是否要进行存盘"_s);
    }

    void fileDialogsOpenWhereTheUserWorks()
    {
        QTemporaryDir home;
        QTemporaryDir work;
        QDir().mkpath(home.filePath(u"library/模板"_s));
        QtDialogs dialogs(u"Vellumo"_s, noPicture);
        dialogs.folders().setLibraryFolder(home.filePath(u"library/"_s));
        QStringList opened;
        const auto record = [&](QFileDialog *dialog) { opened << dialog->directory().absolutePath(); };
        whenShown<QFileDialog>(record);
        FileDialogRequest request;
        request.folder = work.path();
        dialogs.saveFile(request);
        QCOMPARE(opened.last(), work.path());
        // A choice made in the library is not offered again; one made elsewhere is.
        dialogs.folders().fileChosen(home.filePath(u"library/模板/a.htm"_s));
        whenShown<QFileDialog>(record);
        dialogs.openFile({});
        QCOMPARE(opened.last(), QDir::homePath());
        dialogs.folders().fileChosen(work.filePath(u"page.htm"_s));
        whenShown<QFileDialog>(record);
        dialogs.openFile({});
        QCOMPARE(opened.last(), work.path());
    }

    void shellSaysWhenNoProgramTakesTheRequest_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("failed");
        QTest::newRow("taken") << 0 << false;
        QTest::newRow("no program for it") << 3 << true;
        QTest::newRow("the program failed") << 4 << true;
    }
    void shellSaysWhenNoProgramTakesTheRequest()
    {
        QFETCH(int, exitCode);
        QFETCH(bool, failed);
        // A stand-in for the desktop's opener, first on the search path.
        QTemporaryDir bin;
        QFile opener(bin.filePath(u"xdg-open"_s));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write(QByteArray("#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/asked\"\nexit ")
            + QByteArray::number(exitCode) + "\n");
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);
        QtShell shell;
        bool reported = false;
        shell.open(u"/tmp/页 1.htm"_s, [&] { reported = true; });
        QVERIFY(shell.waiting());
        // The opener's exit status arrives after it wrote what it was asked.
        QTRY_VERIFY(!shell.waiting());
        qputenv("PATH", path);
        QCOMPARE(reported, failed);
        QFile asked(bin.filePath(u"asked"_s));
        QVERIFY(asked.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(asked.readAll()), u"/tmp/页 1.htm"_s);
    }
};

QTEST_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"
