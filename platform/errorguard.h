#pragma once

#include <functional>

class Dialogs;

// Runs a handler; a run-time error ends it and is shown in the generic error box. What the handler
// did before the error stays done.
namespace ErrorGuard {
// Returns false when the handler ended with an error.
bool run(Dialogs &dialogs, const std::function<void()> &handler);
}
