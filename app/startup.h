#pragma once

#include <functional>

class QApplication;
class MainWindow;

// The program's start-up: splash window, main window built and shown, then the message loop.
namespace Startup {
// Settings that must be made before the application object exists.
void prepareProcess();
// Part of prepareProcess: the heap that start-up fills, touched ahead in one go and kept for reuse.
void reserveHeap();
// mainWindowShown, when given, runs right after the main window is shown (benchmarks use it).
int run(QApplication &app, const std::function<void(MainWindow &)> &mainWindowShown = {});
}
