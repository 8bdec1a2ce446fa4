#include "ui/UiTiming.h"

#include <atomic>

namespace {
std::atomic<bool> s_instant{false};
}

bool UiTiming::instant()
{
    return s_instant.load();
}

void UiTiming::setInstant(bool instant)
{
    s_instant = instant;
}

int UiTiming::delay(int milliseconds)
{
    return instant() ? 0 : milliseconds;
}
