#include "browserview.h"

#include <QCoreApplication>
#include <QLibrary>

using namespace Qt::StringLiterals;

BrowserView *BrowserView::create(QWidget *parent, QString *error)
{
    // Beside the executable in the application folder; in the build tree for the tests.
    const QStringList places { QCoreApplication::applicationDirPath() + u"/libvellumo_preview.so"_s,
        QStringLiteral(VELLUMO_PREVIEW_MODULE) };
    for (const QString &place : places) {
        QLibrary module(place);
        if (!module.load()) {
            *error = module.errorString();
            continue;
        }
        if (auto create = reinterpret_cast<CreateBrowserView>(module.resolve("vellumo_create_browser_view")))
            return create(parent);
        *error = module.errorString();
    }
    return nullptr;
}
