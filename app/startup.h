#pragma once

#include <QStringList>

#include <functional>

class QApplication;
class MainWindow;

// The program's start-up: splash window, main window built and shown, then the message loop.
namespace Startup {
// Settings that must be made before the application object exists.
void prepareProcess();
// Loads Qt's Chinese texts for its standard dialogs and the browser engine; returns how many loaded.
int installQtTranslations();
// Each of pages opens in a main window of its own; without any, one window with the start-up page.
// mainWindowShown, when given, runs right after the windows are shown, with the first (benchmarks use it).
int run(
    QApplication &app, const std::function<void(MainWindow &)> &mainWindowShown = {}, const QStringList &pages = {});
// The program: --help and --version answered before any display is needed, then the windows.
int start(int argc, char *argv[], const std::function<void(MainWindow &)> &mainWindowShown = {});
}
