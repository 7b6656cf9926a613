// Saves a large page and writes LINK2.INI, each in two versions in turn, until it is killed; prints
// "ready" once set up, then one line per finished round, so that the test knows how far it got.
// With "install" first it installs one update package instead, printing "ready" before and "done"
// after, so that a kill can land in the copying of its files.
#include "editor/document.h"
#include "editor/stringdocumentview.h"
#include "library/inifile.h"
#include "library/packageinstaller.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"
#include "support/scripteddialogs.h"

#include <QCoreApplication>

#include <cstdio>

#include "versions.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArrayView(argv[1]) == "install") {
        LocalFileSystem files;
        std::printf("ready\n");
        std::fflush(stdout);
        try {
            PackageInstaller(files, QString::fromLocal8Bit(argv[2])).installAll({ QString::fromLocal8Bit(argv[3]) });
        } catch (const VellumoError &e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        std::printf("done\n");
        return 0;
    }
    if (argc != 2) {
        std::fprintf(
            stderr, "usage: crashwriter APPLICATION-FOLDER/\n       crashwriter install APPLICATION-FOLDER/ PACKAGE\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    LocalFileSystem files;
    ScriptedDialogs dialogs([](const QString &what) {
        std::fprintf(stderr, "unexpected dialog: %s\n", qPrintable(what));
        std::exit(1);
    });
    StringDocumentView view;
    Document document(view, dialogs, files, folder);
    document.showDefaultPage();
    view.setCaption(folder + QStringLiteral("page.htm"));
    const QByteArray texts[2] = { CrashVersions::pageText(0), CrashVersions::pageText(1) };
    std::printf("ready\n");
    std::fflush(stdout);
    try {
        for (int round = 0;; ++round) {
            const int version = round % 2;
            view.text = texts[version];
            document.savePage();
            IniFile index(files, folder + QStringLiteral("LINK2.INI"));
            index.beginBatch();
            CrashVersions::writeKeys(version,
                [&index](const QString &s, const QString &k, const QString &v) { index.writeString(s, k, v); });
            index.commit();
            std::printf("%d\n", round);
            std::fflush(stdout);
        }
    } catch (const VellumoError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
