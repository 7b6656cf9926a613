#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The preview's browser engine, loaded later from its module, needs contexts it can share.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return Startup::run(app);
}
