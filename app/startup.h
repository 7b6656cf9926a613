#pragma once

#include <functional>

class QApplication;
class MainWindow;

// The program's start-up: splash window, main window built and shown, then the message loop.
namespace Startup {
// Settings that must be made before the application object exists.
void prepareProcess();
// Loads Qt's Chinese texts for its standard dialogs and the browser engine; returns how many loaded.
int installQtTranslations();
// mainWindowShown, when given, runs right after the main window is shown (benchmarks use it).
int run(QApplication &app, const std::function<void(MainWindow &)> &mainWindowShown = {});
}
