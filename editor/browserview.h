#pragma once

#include <QString>

class QWidget;

// The preview tab's browser as the main window uses it. The browser engine is large, so it lives in
// a module of its own that is loaded when the preview tab is first entered, never at start-up.
class BrowserView
{
public:
    virtual ~BrowserView() = default;
    virtual QWidget *widget() = 0;
    // A path that names a local file is shown as that file; anything else as the address it reads as.
    virtual void navigate(const QString &pathOrAddress) = 0;
    // The encoding pages without a declared charset are read in.
    virtual void setDefaultTextEncoding(const QString &encoding) = 0;

    // Loads the browser module; nothing (and the reason) when it cannot be loaded.
    static BrowserView *create(QWidget *parent, QString *error);
};

// The module's entry point.
extern "C" {
using CreateBrowserView = BrowserView *(*)(QWidget *parent);
}
