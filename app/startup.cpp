#include "startup.h"

#include "applicationinfo.h"
#include "artwork/artwork.h"
#include "mainwindow.h"
#include "splashwindow.h"

#include "editor/recoveryfolder.h"
#include "editor/recoveryoffer.h"
#include "effects/previewfolder.h"
#include "library/libraryupgrade.h"
#include "platform/folderlock.h"
#include "platform/localfilesystem.h"
#include "platform/platform.h"
#include "platform/qtclipboard.h"
#include "platform/qtdialogs.h"
#include "platform/qtshell.h"
#include "platform/termination.h"
#include "widgets/picturedialog.h"
#include "widgets/placementstore.h"
#include "widgets/uistyle.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace Startup {

void prepareProcess()
{
    // The preview's browser engine, loaded later from its module, needs contexts it can share.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

int installQtTranslations()
{
    // Qt's own dialogs and the browser engine's texts speak the program's language.
    int installed = 0;
    for (const QString &catalogue : { u"qtbase"_s, u"qtwebengine"_s }) {
        auto *texts = new QTranslator(QCoreApplication::instance());
        if (texts->load(QLocale(QLocale::Chinese, QLocale::China), catalogue, u"_"_s,
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))
            && QCoreApplication::installTranslator(texts))
            ++installed;
        else
            delete texts;
    }
    return installed;
}

static void bringUserLibraryUpToDate(Platform &platform, const LibraryUpgrade::Place &place)
{
    QStringList problems;
    try {
        problems = LibraryUpgrade(platform.files, place.shippedFolder, place.applicationFolder).run();
    } catch (const std::exception &error) {
        problems << QString::fromUtf8(error.what());
    }
    // The program still starts; what could be laid out is there, the rest is tried at the next start.
    if (!problems.isEmpty())
        platform.dialogs.message(u"特效库没有完全放到 %1：\n%2"_s.arg(place.applicationFolder, problems.join(u'\n')));
}

int run(QApplication &app, const std::function<void(MainWindow &)> &mainWindowShown)
{
    QApplication::setApplicationName(ApplicationInfo::title());
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(vellumo::artwork::appIcon())));
    UiStyle::install(app);
    installQtTranslations();

    // Ended by the session or the user, the program takes its previews' scratch folders with it.
    Termination::install([] { PreviewFolder::removeEveryFolder(); });

    QtDialogs dialogs(ApplicationInfo::title(),
        [](QWidget *parent, const QString &caption, const QString &folder, const QString &filter) {
            return PictureDialog::choose(parent, caption, folder, filter);
        });
    QtShell shell;
    QtClipboard clipboard;
    LocalFileSystem files;
    Platform platform { dialogs, shell, clipboard, files };

    // The splash window is painted once before the main window is built on the same thread.
    auto splash = std::make_unique<SplashWindow>();
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    const LibraryUpgrade::Place place = LibraryUpgrade::placeFor(files, QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!place.shippedFolder.isEmpty())
        bringUserLibraryUpToDate(platform, place);

    // Outlives the window, whose page keeps its copy there.
    RecoveryFolder recovery(files, RecoveryFolder::defaultFolder());
    std::unique_ptr<MainWindow> mainWindow;
    try {
        mainWindow = std::make_unique<MainWindow>(platform, place.applicationFolder, PlacementStore::defaultPath());
    } catch (const std::exception &error) {
        splash.reset();
        std::fprintf(stderr, "vellumo: %s\n", error.what());
        return 1;
    }
    splash->close();
    splash.reset();

    dialogs.setParent(mainWindow.get());
    dialogs.folders().setLibraryFolder(mainWindow->applicationFolder());
    mainWindow->show();
    if (recovery.claim()) {
        mainWindow->keepRecoveryCopies(recovery);
        // Offered once the window is up, over it.
        QTimer::singleShot(0, mainWindow.get(), [&recovery, &dialogs, window = mainWindow.get()] {
            RecoveryOffer::run(recovery, dialogs, [window](const RecoveryCopy &copy) { window->restorePage(copy); });
        });
    } else {
        dialogs.message(
            u"无法在 %1 保存恢复副本：程序意外结束时，未保存的修改将无法恢复。"_s.arg(RecoveryFolder::defaultFolder()));
    }
    // What killed writers and previews left behind goes once the window is up: the sweep walks the
    // whole library, which a start need not wait for.
    QTimer::singleShot(0, [folder = mainWindow->applicationFolder()] {
        FolderLock::clearStaleTemporaries(folder);
        PreviewFolder::clearStale(QDir::tempPath());
    });
    if (mainWindowShown)
        mainWindowShown(*mainWindow);
    return app.exec();
}

}
