#pragma once

#include "platform/explained.h"

#include <QString>
#include <QVariant>

#include <functional>

class QWidget;

// A browser as the windows use it. The browser engine is large, so it lives in a module of its own
// that is loaded when a browser is first wanted, never at start-up.
class BrowserView
{
public:
    // The preview tab shows the user's page and any address typed. An effect's preview shows only
    // pages of its own scratch folder, in a sandbox that reaches no other file and no address, keeps
    // nothing of what they store, reports their script errors and what it refused, and ends a page
    // that stops answering or grows without bound.
    enum class Purpose { PagePreview = 0, EffectPreview = 1 };

    virtual ~BrowserView() = default;
    virtual QWidget *widget() = 0;
    // A path that names a local file is shown as that file; anything else as the address it reads as.
    // An effect's preview takes the path of a scratch page: its folder is all the page can reach.
    virtual void navigate(const QString &pathOrAddress) = 0;
    // The encoding pages without a declared charset are read in.
    virtual void setDefaultTextEncoding(const QString &encoding) = 0;

    virtual void setZoomFactor(qreal zoom) = 0;
    // Told when a page has finished loading, and whether it loaded.
    virtual void onLoadFinished(std::function<void(bool loaded)> handler) = 0;
    // Told of each script error of the page shown: the message, the line and the file it came from.
    virtual void onScriptError(std::function<void(const QString &message, int line, const QString &source)> handler)
        = 0;
    // Told of each request of an effect's page that was refused, named for the preview's line.
    virtual void onRefused(std::function<void(const QString &what)> handler) = 0;
    // Told when an effect's page was ended, and why (it stopped answering, it grew too large, its
    // process died).
    virtual void onEnded(std::function<void(const QString &why)> handler) = 0;
    // Runs a script in the page shown and hands over its result.
    virtual void evaluate(const QString &script, std::function<void(const QVariant &result)> done) = 0;

    // Loads the browser module; none, and why, when it cannot be loaded.
    static Explained<BrowserView *> create(QWidget *parent, Purpose purpose = Purpose::PagePreview);
    // A further place of the module, tried after the program's own: the build tree's, for the tests
    // and benchmarks that run there.
    static void addModulePlace(const QString &path);
};

// The module's entry point.
extern "C" {
using CreateBrowserView = BrowserView *(*)(QWidget *parent, int purpose);
}
