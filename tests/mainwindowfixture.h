#pragma once

#include "app/mainwindow.h"
#include "effects/effectpreviews.h"
#include "effects/setupcontext.h"
#include "library/inicache.h"
#include "platform/ansi.h"
#include "platform/platform.h"
#include "support/controls.h"
#include "support/memoryclipboard.h"
#include "support/recordingshell.h"
#include "support/scripteddialogs.h"
#include "support/scriptedfilesystem.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <memory>

// The title as the window system shows it: the caption, with Qt's marker while there are unsaved changes.
inline QString shownTitle(QWidget &window)
{
    window.winId();
    return window.windowHandle()->title();
}

// A main window on a temporary application folder with scripted dialogs, shell and clipboard.
struct MainWindowFixture
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs { [](const QString &what) { QTest::qFail(qPrintable(what), __FILE__, __LINE__); } };
    RecordingShell shell;
    MemoryClipboard clipboard;
    ScriptedFileSystem files;
    Platform platform { dialogs, shell, clipboard, files };
    std::unique_ptr<MainWindow> window;
    bool previews = false; // whether the effect previews are shown, as a user may have chosen

    MainWindowFixture() { IniCache::instance().clear(); }

    QString folder() const { return dir.path() + u'/'; }
    QString placementFile() const { return dir.filePath(QStringLiteral("config/mainform")); }

    void put(const QString &name, const QByteArray &bytes) { TestFiles::write(folder() + name, bytes); }
    void putText(const QString &name, const QString &text) { put(name, Ansi::encode(text)); }

    MainWindow &create()
    {
        // The browser engine only where a test asks for it, as a user who hid the previews.
        if (!previews) {
            EffectPreviews hidden(files, placementFile());
            hidden.setShown(EffectPreviews::Place::Panel, false);
            hidden.setShown(EffectPreviews::Place::SetupWindows, false);
        }
        window = std::make_unique<MainWindow>(platform, dir.path(), placementFile());
        return *window;
    }

    // The buffers the main window hands the setup windows.
    SetupBuffers &buffers() const { return window->setupBuffers(); }

    // What the effect panel hands a setup window for the effect.
    SetupContext setupContext(const QString &category, const QString &effect, bool *parentMenuNeeded = nullptr)
    {
        return { platform, window->applicationFolder(), category, effect, buffers(), parentMenuNeeded,
            previews ? &window->effectPreviews() : nullptr };
    }
};
