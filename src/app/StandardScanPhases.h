#pragma once

#include "scan/ScanPhases.h"

// The phases a real scan runs: the family detectors, the count of the tree
// and the walk comparing every path with the signature list.
class StandardScanPhases
{
public:
    static ScanPhases standard();
    // The full-system signature list compared by the walk, built for a login name.
    static QStringList fullSyatemScanPath(const QString &loginName);
};
