#pragma once

#include <functional>

// Ends the program in order when the session ends or the user stops it (SIGTERM, SIGHUP, SIGINT):
// the window's thread is told, does what must be done before the end, then the program ends as the
// signal asks. Left to itself, such a signal ends the program on the spot and leaves its scratch
// files behind.
namespace Termination {
// Installs the handlers once; before runs on the thread of the running event loop.
void install(std::function<void()> before);
}
