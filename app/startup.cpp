#include "startup.h"

#include "applicationinfo.h"
#include "artwork/artwork.h"
#include "commandline.h"
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
#include <list>
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

namespace {
// One window of the run, with the boxes shown over it and the folder its page keeps copies in.
struct Window
{
    Window(const QtDialogs::PictureOpener &openPicture, Shell &shell, Clipboard &clipboard, FileSystem &files)
        : dialogs(ApplicationInfo::title(), openPicture)
        , platform { dialogs, shell, clipboard, files }
        , recovery(files, RecoveryFolder::defaultFolder())
    {
    }
    QtDialogs dialogs;
    Platform platform;
    RecoveryFolder recovery;
    std::unique_ptr<MainWindow> main;
};
}

int run(QApplication &app, const std::function<void(MainWindow &)> &mainWindowShown, const QStringList &pages)
{
    QApplication::setApplicationName(ApplicationInfo::title());
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(vellumo::artwork::appIcon())));
    UiStyle::install(app);
    installQtTranslations();

    // Ended by the session or the user, the program takes its previews' scratch folders with it.
    Termination::install([] { PreviewFolder::removeEveryFolder(); });

    const QtDialogs::PictureOpener openPicture
        = [](QWidget *parent, const QString &caption, const QString &folder, const QString &filter) {
              return PictureDialog::choose(parent, caption, folder, filter);
          };
    QtDialogs dialogs(ApplicationInfo::title(), openPicture);
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

    // Each page given has a window of its own; closing the last one ends the program. A window
    // outlives nothing it shares: the windows go before the platform they were made with.
    std::list<Window> windows;
    const auto newWindow = [&]() -> Window & {
        Window &window = windows.emplace_back(openPicture, shell, clipboard, files);
        window.main
            = std::make_unique<MainWindow>(window.platform, place.applicationFolder, PlacementStore::defaultPath());
        window.dialogs.setParent(window.main.get());
        window.dialogs.folders().setLibraryFolder(window.main->applicationFolder());
        if (window.recovery.claim())
            window.main->keepRecoveryCopies(window.recovery);
        return window;
    };
    try {
        newWindow();
        for (qsizetype i = 1; i < pages.size(); ++i)
            newWindow();
    } catch (const std::exception &error) {
        splash.reset();
        std::fprintf(stderr, "vellumo: %s\n", error.what());
        return 1;
    }
    splash->close();
    splash.reset();

    Window &first = windows.front();
    dialogs.setParent(first.main.get());
    dialogs.folders().setLibraryFolder(first.main->applicationFolder());
    auto page = pages.cbegin();
    for (Window &window : windows) {
        window.main->show();
        // A page that cannot be opened is said as Open says it; its window keeps the start-up page.
        if (page != pages.cend())
            window.main->openPageAt(*page++);
    }
    if (first.recovery.claimed()) {
        // Offered once the windows are up, over the first. A copy restored while the first window
        // holds a page given at start gets a window of its own, so that neither page is in the way.
        QTimer::singleShot(0, first.main.get(), [&, givenPage = !pages.isEmpty()] {
            bool firstFree = !givenPage;
            RecoveryOffer::run(first.recovery, first.dialogs, [&](const RecoveryCopy &copy) {
                Window &into = firstFree ? windows.front() : newWindow();
                firstFree = false;
                into.main->show();
                into.main->restorePage(copy);
            });
        });
    } else {
        dialogs.message(
            u"无法在 %1 保存恢复副本：程序意外结束时，未保存的修改将无法恢复。"_s.arg(RecoveryFolder::defaultFolder()));
    }
    // What killed writers and previews left behind goes once the window is up: the sweep walks the
    // whole library, which a start need not wait for.
    QTimer::singleShot(0, [folder = first.main->applicationFolder()] {
        FolderLock::clearStaleTemporaries(folder);
        PreviewFolder::clearStale(QDir::tempPath());
    });
    if (mainWindowShown)
        mainWindowShown(*first.main);
    return app.exec();
}

int start(int argc, char *argv[], const std::function<void(MainWindow &)> &mainWindowShown)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Answered without a display: the application object would need one.
    const CommandLine early = CommandLine::parse(arguments, false);
    if (early.action != CommandLine::Action::Run)
        return CommandLine::answer(early);
    prepareProcess();
    QApplication app(argc, argv);
    const CommandLine line = CommandLine::parse(QApplication::arguments().mid(1), true);
    if (line.action != CommandLine::Action::Run)
        return CommandLine::answer(line);
    return run(app, mainWindowShown, line.pages);
}

}
