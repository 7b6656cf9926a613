#include "librarylayout.h"

#include "library/libraryupgrade.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

// Lays the library's sources out as the shipped library and, when a user's folder is named (the
// build's application folder), brings that folder up to date from it.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "usage: vellumo-layout SOURCE-FOLDER SHIPPED-LIBRARY [APPLICATION-FOLDER]\n");
        return 2;
    }
    LibraryLayout layout(args[1], args[2]);
    QStringList problems = layout.run();
    if (args.size() == 4 && problems.isEmpty()) {
        LocalFileSystem files;
        try {
            problems = LibraryUpgrade(files, args[2] + u'/', args[3] + u'/').run();
        } catch (const VellumoError &error) {
            problems << error.message();
        }
    }
    for (const QString &problem : problems)
        std::fprintf(stderr, "vellumo-layout: %s\n", qPrintable(problem));
    return problems.isEmpty() ? 0 : 1;
}
