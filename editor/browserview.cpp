#include "browserview.h"

#include <QCoreApplication>
#include <QLibrary>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QStringList &modulePlaces()
{
    static QStringList places;
    return places;
}
}

void BrowserView::addModulePlace(const QString &path)
{
    modulePlaces() << path;
}

Explained<BrowserView *> BrowserView::create(QWidget *parent, Purpose purpose)
{
    // Run as root (as in many containers), the engine refuses to start with its sandbox on and ends
    // the whole process, unsaved page and all. It must then run without it, as the engine itself
    // asks; it reads the switch when it starts, which is here.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Beside the executable in the build's application folder, in lib/vellumo/ of an installed
    // program; where the tests were told.
    const QString programs = QCoreApplication::applicationDirPath();
    const QStringList places
        = QStringList { programs + u"/libvellumo_preview.so"_s, programs + u"/../lib/vellumo/libvellumo_preview.so"_s }
        + modulePlaces();
    QString error;
    for (const QString &place : places) {
        QLibrary module(place);
        if (!module.load()) {
            error = module.errorString();
            continue;
        }
        if (auto create = reinterpret_cast<CreateBrowserView>(module.resolve("vellumo_create_browser_view")))
            return create(parent, int(purpose));
        error = module.errorString();
    }
    return Explained<BrowserView *>::none(error);
}
