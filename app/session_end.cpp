#include "session_end.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <utility>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The pipe from the handlers to the event loop: [0] is read by the notifier, [1] written by
// the handlers.
int pipeEnds[2] = {-1, -1};
struct sigaction previous[sizeof kSignals / sizeof kSignals[0]];

// Async-signal-safe: one write of one byte, errno kept. A full pipe drops the byte (one
// already waits to be read).
void onSignal(int number)
{
    const int saved = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

} // namespace

SessionEnd::SessionEnd(std::function<void()> end, std::function<void()> keep)
    : end(std::move(end)), keep(std::move(keep))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeEnds) == 0) {
        notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &SessionEnd::signalArrived);
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (size_t i = 0; i < std::size(kSignals); ++i)
            sigaction(kSignals[i], &action, &previous[i]);
        handlersInstalled = true;
    }
    // The desktop's own way. Qt's fallback would close the windows, and so ask about unsaved
    // changes with nobody there to answer.
    QGuiApplication::setFallbackSessionManagementEnabled(false);
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { this->end(); });
    connect(qApp, &QGuiApplication::saveStateRequest, this,
            [this](QSessionManager&) { this->keep(); });
}

SessionEnd::~SessionEnd()
{
    restoreHandlers();
    delete notifier;
    notifier = nullptr;
    for (int& end : pipeEnds) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void SessionEnd::restoreHandlers()
{
    if (!handlersInstalled)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
    handlersInstalled = false;
}

void SessionEnd::signalArrived()
{
    char bytes[16];
    while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
    }
    restoreHandlers();
    end();
}
