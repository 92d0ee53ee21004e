#include "recovery_schedule.h"

#include <utility>

RecoverySchedule::RecoverySchedule(std::function<void()> write, std::function<bool()> busy)
    : write(std::move(write)), busy(std::move(busy))
{
    idle.setSingleShot(true);
    longest.setSingleShot(true);
    setDelays(kIdleDelayMs, kLongestWaitMs);
    connect(&idle, &QTimer::timeout, this, &RecoverySchedule::due);
    connect(&longest, &QTimer::timeout, this, &RecoverySchedule::due);
}

void RecoverySchedule::setDelays(int idleDelayMs, int longestWaitMs)
{
    idleDelay = idleDelayMs;
    longest.setInterval(longestWaitMs);
}

void RecoverySchedule::edited()
{
    idle.start(idleDelay);
    if (!longest.isActive())
        longest.start();
}

void RecoverySchedule::stop()
{
    idle.stop();
    longest.stop();
}

void RecoverySchedule::due()
{
    if (busy()) {
        idle.start(kBusyRetryMs);
        return;
    }
    stop();
    write();
}
