#pragma once

#include "app/mainwindow.h"
#include "library/inicache.h"
#include "platform/ansi.h"
#include "support/memoryclipboard.h"
#include "platform/platform.h"
#include "support/recordingshell.h"
#include "support/scripteddialogs.h"
#include "support/scriptedfilesystem.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// A main window on a temporary application folder with scripted dialogs, shell and clipboard.
struct MainWindowFixture
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs{[](const QString &what) { QTest::qFail(qPrintable(what), __FILE__, __LINE__); }};
    RecordingShell shell;
    MemoryClipboard clipboard;
    ScriptedFileSystem files;
    Platform platform{dialogs, shell, clipboard, files};
    std::unique_ptr<MainWindow> window;

    MainWindowFixture() { IniCache::instance().clear(); }

    QString folder() const { return dir.path() + u'/'; }
    QString placementFile() const { return dir.filePath(QStringLiteral("config/mainform")); }

    void put(const QString &name, const QByteArray &bytes) { TestFiles::write(folder() + name, bytes); }
    void putText(const QString &name, const QString &text) { put(name, Ansi::encode(text)); }

    MainWindow &create()
    {
        window = std::make_unique<MainWindow>(platform, dir.path(), placementFile());
        return *window;
    }
};
