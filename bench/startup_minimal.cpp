// The peer: a minimal Qt Widgets window with one text editor, ended at its first paint.
#include "firstpaint.h"

#include <QApplication>
#include <QMainWindow>
#include <QPlainTextEdit>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *editor = new QPlainTextEdit(&window);
    window.setCentralWidget(editor);
    window.resize(704, 435);
    QuitOnFirstPaint quit;
    window.installEventFilter(&quit);
    editor->installEventFilter(&quit);
    window.show();
    return app.exec();
}
