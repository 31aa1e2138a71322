#include "runtime/quit_signals.h"

#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace runtime {

namespace {

// The signal handler may only do async-signal-safe work, so it writes one byte
// into this pair and the GUI thread's notifier on the other end does the rest.
// Written once by WatchQuitSignals (GUI thread) before the handler is
// installed; afterwards only read, by the handler on whatever thread the
// signal lands and by the notifier on the GUI thread.
int signalPipe[2] = {-1, -1};

void OnQuitSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a pending request; losing this byte is fine.
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

bool WatchQuitSignals(std::function<void()> onSignal)
{
    if (QCoreApplication::instance() == nullptr || signalPipe[0] != -1)
        return false;
    // Non-blocking: the handler must never wait, and the notifier reads only
    // what is there.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
        return false;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [onSignal = std::move(onSignal)] {
        // One byte per signal, so two signals make two calls.
        char byte = 0;
        if (::read(signalPipe[0], &byte, 1) == 1)
            onSignal();
    });
    struct sigaction action
    {
    };
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // SIGHUP: the terminal that started the program was closed.
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0 &&
           ::sigaction(SIGHUP, &action, nullptr) == 0;
}

void IgnoreBrokenPipes()
{
    ::signal(SIGPIPE, SIG_IGN);
}

} // namespace runtime
