// The real program, started as the user starts it, with a reader of commands on its standard input so
// that a test can type into it, answer its boxes and read its page, and then kill it.
//   open PATH         the page at PATH, as Open does once a file is chosen
//   type TEXT         TEXT typed into the page key by key; "typed" when done
//   pace MS TEXT      TEXT typed one key every MS milliseconds from now on; "pacing" at once
//   box               "box " and the Base64 of the shown box's text, or "box none"
//   answer yes|no|dismiss   presses a button of the shown box (dismiss: Escape); "answered"
//   text              "text " and the Base64 of the page's UTF-8 text
//   caption           "caption " and the Base64 of the window's title as shown ("*": unsaved)
#include "app/mainwindow.h"
#include "app/startup.h"
#include "editor/document.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// One key with its text, as an input method hands over characters no key names.
void typeKey(QWidget *page, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(page, &press);
    QApplication::sendEvent(page, &release);
}

void say(const QByteArray &line)
{
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

QMessageBox *shownBox()
{
    return qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
}

void run(MainWindow &window, const QByteArray &line)
{
    const qsizetype space = line.indexOf(' ');
    const QByteArray command = space < 0 ? line : line.left(space);
    const QString argument = space < 0 ? QString() : QString::fromUtf8(line.mid(space + 1));
    auto *page = window.findChild<QsciScintilla *>(u"RichEdit1"_s);
    if (command == "open") {
        window.document().openPageAt(argument);
        say("opened");
    } else if (command == "type") {
        page->setFocus();
        for (const QChar c : argument) {
            typeKey(page, c);
            QApplication::processEvents();
        }
        say("typed");
    } else if (command == "pace") {
        page->setFocus();
        const int interval = argument.section(u' ', 0, 0).toInt();
        const QString text = argument.section(u' ', 1);
        auto *timer = new QTimer(page);
        timer->setTimerType(Qt::PreciseTimer);
        timer->callOnTimeout(page, [page, text, timer, next = qsizetype(0)]() mutable {
            if (next == text.size()) {
                timer->deleteLater();
                return;
            }
            typeKey(page, text[next++]);
        });
        timer->start(interval);
        say("pacing");
    } else if (command == "box") {
        QMessageBox *box = shownBox();
        say("box " + (box ? box->text().toUtf8().toBase64() : QByteArray("none")));
    } else if (command == "answer") {
        QMessageBox *box = shownBox();
        if (!box) {
            say("no box");
            return;
        }
        QAbstractButton *button = box->button(argument == u"yes"_s ? QMessageBox::Yes : QMessageBox::No);
        if (argument == u"dismiss"_s)
            QTest::keyClick(box, Qt::Key_Escape);
        else if (button)
            button->click();
        else
            QTest::keyClick(box, Qt::Key_Return); // a box with one button
        say("answered");
    } else if (command == "text") {
        say("text " + page->text().toUtf8().toBase64());
    } else if (command == "caption") {
        // The title as the window shows it, with the marker of unsaved changes.
        QString title = window.windowTitle();
        title.replace(u"[*]"_s, window.isWindowModified() ? u"*"_s : QString());
        say("caption " + title.toUtf8().toBase64());
    } else {
        say("unknown " + command);
    }
}
}

int main(int argc, char *argv[])
{
    Startup::prepareProcess();
    QApplication app(argc, argv);
    return Startup::run(app, [](MainWindow &window) {
        auto *input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &window);
        auto *pending = new QByteArray;
        QObject::connect(input, &QSocketNotifier::activated, &window, [&window, pending, input] {
            char buffer[4096];
            const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (got <= 0) {
                input->setEnabled(false);
                return;
            }
            pending->append(buffer, got);
            qsizetype end;
            while ((end = pending->indexOf('\n')) >= 0) {
                const QByteArray line = pending->left(end);
                pending->remove(0, end + 1);
                run(window, line);
            }
        });
        say("ready");
    });
}
