#include "services/Clock.h"

QDateTime Clock::now() const
{
    return QDateTime::currentDateTime();
}

Clock &Clock::system()
{
    static Clock clock;
    return clock;
}
