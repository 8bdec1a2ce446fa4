#include "scan/WalkProgress.h"

#include "app/NotificationNames.h"
#include "scan/ScanHost.h"

#include <limits>

double WalkProgress::onePercent(qint64 totalCount)
{
    return totalCount > 99 ? double(totalCount / 100) : double(totalCount) / 100.0;
}

int WalkProgress::steps(qint64 scanned, double onePercent)
{
    const double steps = onePercent > 0 ? double(scanned) / onePercent : double(scanned);
    return steps >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(steps);
}

void WalkProgress::check(ScanHost &host, Posting posting)
{
    ScanState &state = host.state();
    const double percent = onePercent(state.totalCount);
    const qint64 scanned = state.totalScanCount;
    if (double(scanned) <= percent)
        return;
    state.totalScanCount = 0;
    if (posting == Posting::UpdateThreatAndProgress)
        host.post(NotificationNames::UpdateThreat);
    host.post(NotificationNames::ScanningProgress, steps(scanned, percent));
}
