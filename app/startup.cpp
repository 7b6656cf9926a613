#include "startup.h"

#include "applicationinfo.h"
#include "mainwindow.h"
#include "splashwindow.h"

#include "platform/localfilesystem.h"
#include "platform/platform.h"
#include "platform/qtclipboard.h"
#include "platform/qtdialogs.h"
#include "platform/qtshell.h"
#include "widgets/picturedialog.h"
#include "widgets/placementstore.h"
#include "widgets/uistyle.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace Startup {

namespace {
// About what start-up fills of the heap before the main window's first paint (pictures, window
// buffers, font tables, the page's text).
constexpr std::size_t startupHeap = 4 << 20;
}

void reserveHeap()
{
    // Blocks of a few hundred kilobytes come from the heap rather than from mappings of their own,
    // and freed heap is kept for the next block (glibc moves its limits this way by itself once a
    // large block has been freed; here they are set from the start).
    mallopt(M_MMAP_THRESHOLD, 2 * startupHeap);
    mallopt(M_TRIM_THRESHOLD, 8 * startupHeap);
    mallopt(M_TOP_PAD, startupHeap);
    // Each page faulted on first touch costs a trap; the whole reserve faulted in one call costs
    // a fraction of that. A kernel that does not know the request leaves the pages to be faulted
    // as they are touched, as before.
    void *block = std::malloc(startupHeap);
    if (!block)
        return;
#ifdef MADV_POPULATE_WRITE
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + startupHeap) & ~(page - 1);
    madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
    std::free(block);
}

void prepareProcess()
{
    reserveHeap();
    // The preview's browser engine, loaded later from its module, needs contexts it can share.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

int run(QApplication &app, const std::function<void(MainWindow &)> &mainWindowShown)
{
    QApplication::setApplicationName(ApplicationInfo::title());
    UiStyle::install(app);
    // The standard dialogs speak the program's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), u"qtbase"_s, u"_"_s,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);

    QtDialogs dialogs(ApplicationInfo::title(), [](QWidget *parent, const QString &caption, const QString &filter) {
        return PictureDialog::choose(parent, caption, filter);
    });
    QtShell shell;
    QtClipboard clipboard;
    LocalFileSystem files;
    Platform platform{dialogs, shell, clipboard, files};

    // The splash window is painted once before the main window is built on the same thread.
    auto splash = std::make_unique<SplashWindow>();
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    std::unique_ptr<MainWindow> mainWindow;
    try {
        mainWindow = std::make_unique<MainWindow>(platform, QCoreApplication::applicationDirPath(),
                                              PlacementStore::defaultPath());
    } catch (const std::exception &error) {
        splash.reset();
        std::fprintf(stderr, "vellumo: %s\n", error.what());
        return 1;
    }
    splash->close();
    splash.reset();

    dialogs.setParent(mainWindow.get());
    mainWindow->show();
    if (mainWindowShown)
        mainWindowShown(*mainWindow);
    return app.exec();
}

}
