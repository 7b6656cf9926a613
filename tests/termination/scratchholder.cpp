// Holds a preview's scratch folder as the program does, with the program's handling of the signals
// that end it, and says where the folder is; the test then ends it.
#include "effects/previewfolder.h"
#include "platform/localfilesystem.h"
#include "platform/termination.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Termination::install([] { PreviewFolder::removeEveryFolder(); });
    LocalFileSystem files;
    PreviewFolder folder(files);
    if (!folder.writePage({ QStringLiteral("<b>x</b>"), {}, false }, QString()))
        return 2;
    std::printf("%s\n", QFile::encodeName(folder.path()).constData());
    std::fflush(stdout);
    return app.exec();
}
