#include "librarylayout.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: vellumo-layout SOURCE-FOLDER APPLICATION-FOLDER\n");
        return 2;
    }
    LibraryLayout layout(args[1], args[2]);
    const QStringList problems = layout.run();
    for (const QString &problem : problems)
        std::fprintf(stderr, "vellumo-layout: %s\n", qPrintable(problem));
    return problems.isEmpty() ? 0 : 1;
}
