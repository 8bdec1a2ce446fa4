#pragma once

#include <QtGlobal>

class ScanHost;

// The progress step of the walk: one step per percent of the entries the
// count phase found. One percent is totalCount / 100 in whole entries when
// more than 99 were counted, and the fraction totalCount / 100.0 below that
// (so every visited entry is a step or more). Whenever totalScanCount, the
// entries visited since the last step, exceeds one percent, the steps are
// posted as an integer with "ScanningProgress" (after "UpdateThreat" where
// the walk asks for it) and totalScanCount starts again from 0. Stateless:
// the counters live in the host's scan state.
class WalkProgress
{
public:
    enum class Posting { UpdateThreatAndProgress, ProgressOnly };

    static double onePercent(qint64 totalCount);
    // Whole steps in scanned entries; when nothing was counted every visited
    // entry is one step.
    static int steps(qint64 scanned, double onePercent);
    // Checks the host's counters and posts a step when one is due.
    static void check(ScanHost &host, Posting posting);
};
