#pragma once

#include "scan/ScanPhases.h"

// The phases a real scan runs: the family detectors, the count of the tree
// and the walk comparing every path with the signature list.
class StandardScanPhases
{
public:
    static ScanPhases standard();
};
