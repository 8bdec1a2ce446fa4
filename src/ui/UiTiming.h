#pragma once

// One switch for every animation and timed step of the windows. Tests and the
// screenshot tour turn it on so that a slide ends inside the call that starts
// it and a delayed step runs on the next turn of the event loop; nothing then
// sleeps or depends on how fast the machine is.
class UiTiming
{
public:
    static bool instant();
    static void setInstant(bool instant);
    // milliseconds, or 0 when instant.
    static int delay(int milliseconds);
};
