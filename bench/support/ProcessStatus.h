#pragma once

#include <QtGlobal>

// Figures of this process from /proc/self/status.
class ProcessStatus
{
public:
    // The value of a line such as "VmHWM:" in KiB, or 0 when unreadable.
    static qint64 kiB(const char *key);
};
