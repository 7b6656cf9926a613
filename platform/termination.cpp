#include "termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {
int wakeFds[2] = { -1, -1 };
constexpr int Signals[] = { SIGTERM, SIGHUP, SIGINT };

// Only what is safe in a signal handler: the signal's number down a pipe.
void noteSignal(int signal)
{
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[1], &number, 1);
}
}

void Termination::install(std::function<void()> before)
{
    if (wakeFds[0] >= 0 || ::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [before = std::move(before)] {
        unsigned char number = 0;
        if (::read(wakeFds[0], &number, 1) != 1)
            return;
        if (before)
            before();
        // Ended by the signal, as the one who sent it expects.
        std::signal(number, SIG_DFL);
        std::raise(number);
    });
    for (const int signal : Signals) {
        struct sigaction action = {};
        action.sa_handler = noteSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
}
