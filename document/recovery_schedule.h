#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// When the recovery copy of a modified drawing is written: `idleDelay` after the last edit, and
// no later than `longestWait` after the first edit not yet in a copy, so that continuous
// editing is saved too. While `busy` says so (a drag is open) the write waits for the next
// idle moment instead of stopping the hand.
class RecoverySchedule : public QObject {
    Q_OBJECT

public:
    static constexpr int kIdleDelayMs = 2000;
    static constexpr int kLongestWaitMs = 60000;
    // A write that found the drawing busy is tried again this much later.
    static constexpr int kBusyRetryMs = 250;

    RecoverySchedule(std::function<void()> write, std::function<bool()> busy);

    void setDelays(int idleDelayMs, int longestWaitMs);
    // The drawing changed and differs from its file.
    void edited();
    // Nothing waits to be written (the drawing was saved, discarded or written).
    void stop();
    bool isPending() const { return idle.isActive(); }

private:
    void due();

    std::function<void()> write;
    std::function<bool()> busy;
    QTimer idle;
    QTimer longest;
    int idleDelay = kIdleDelayMs;
};
