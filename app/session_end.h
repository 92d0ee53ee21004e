#pragma once

#include <QObject>

#include <functional>

class QSessionManager;
class QSocketNotifier;

// How the session can end the editor without the user's answer: SIGTERM (a logout, a shutdown,
// `kill`), SIGHUP (the terminal closed) and SIGINT (Ctrl+C in the terminal), and the desktop's
// session manager asking the application to commit its data (before a logout) or to save its
// state (a checkpoint, or before a logout).
//
// The signal handlers only write the signal's number into a pipe; the work runs on the event
// loop: `end` for a signal or a commit request (the editor then leaves its drawing for the next
// start and quits), `keep` for a save-state request, which may come in a session that goes on
// (the editor leaves its drawing for the next start and keeps running). After the first signal
// the handlers are taken back, so that a second signal ends a program that hangs as it would
// have ended without them.
//
// One at a time in a process (the handlers are process-wide); its destruction puts back the
// signals' earlier dispositions. Needs a QGuiApplication.
class SessionEnd : public QObject {
public:
    SessionEnd(std::function<void()> end, std::function<void()> keep);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

private:
    void signalArrived();
    void restoreHandlers();

    std::function<void()> end;
    std::function<void()> keep;
    QSocketNotifier* notifier = nullptr;
    bool handlersInstalled = false;
};
