// The program's own start-up, ended at the main window's first paint.
#include "app/mainwindow.h"
#include "app/startup.h"
#include "firstpaint.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    Startup::prepareProcess();
    QApplication app(argc, argv);
    QuitOnFirstPaint quit;
    return Startup::run(app, [&](MainWindow &window) {
        window.installEventFilter(&quit);
        window.centralWidget()->installEventFilter(&quit);
    });
}
