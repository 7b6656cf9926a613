// The program started as a user starts it, arguments and all, that says which pages its windows hold
// once they are up, then ends.
#include "app/mainwindow.h"
#include "app/startup.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    return Startup::start(argc, argv, [](MainWindow &) {
        // After the turn of what start-up queued behind the windows.
        QTimer::singleShot(0, qApp, [] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *window = qobject_cast<MainWindow *>(widget);
                if (!window || !window->isVisible())
                    continue;
                const QString text = window->findChild<QsciScintilla *>(u"RichEdit1"_s)->text();
                const QString title = window->windowTitle().replace(u"[*]"_s, QString());
                std::printf(
                    "window %s %s\n", title.toUtf8().toBase64().constData(), text.toUtf8().toBase64().constData());
            }
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    });
}
