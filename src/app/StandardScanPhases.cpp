#include "app/StandardScanPhases.h"

#include "scan/ScanHost.h"

ScanPhases StandardScanPhases::standard()
{
    ScanPhases phases;
    phases.detectors = [](ScanHost &) {};
    phases.count = [](ScanHost &host, const QString &root) { host.DeepScanStart({root}); };
    phases.walk = [](ScanHost &host, const QStringList &) {
        if (++host.state().ScanTypeCount == 2)
            host.doneScan();
    };
    return phases;
}

QStringList StandardScanPhases::fullSyatemScanPath(const QString &)
{
    return {};
}
