#include "app/StandardScanPhases.h"

#include "scan/FamilyCatalogue.h"
#include "scan/FamilyDetectors.h"
#include "scan/FileCount.h"
#include "scan/ScanHost.h"
#include "scan/scanDirectory.h"

ScanPhases StandardScanPhases::standard()
{
    ScanPhases phases;
    phases.detectors = [](ScanHost &host) { FamilyDetectors(host).runAll(); };
    phases.count = &FileCount::scannigWithCheckingDirectory;
    phases.walk = &scanDirectory::scannigWithCheckingSubDirectory;
    return phases;
}

QStringList StandardScanPhases::fullSyatemScanPath(const QString &loginName)
{
    return FamilyCatalogue::builtIn().fullSyatemScanPath(loginName);
}
