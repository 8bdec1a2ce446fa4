#pragma once

#include <QDateTime>

// The wall clock the background services read. The host's clock by default;
// tests hand in one they set, so schedules are checked without waiting.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const;
    // The process-wide host clock.
    static Clock &system();
};
