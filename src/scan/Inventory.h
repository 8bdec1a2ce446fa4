#pragma once

#include "scan/ExtensionRecord.h"

#include <QList>
#include <QUrl>

// The inventories taken at the start of every scan and read by the
// detectors: installed applications, Application Support entries, launch
// agents and daemons, and the three browsers' extensions. Filled on the
// detector thread before the first detector runs; read-only afterwards.
struct Inventory
{
    QList<QUrl> applicationList;
    QList<QUrl> applicationSupportList;
    QList<QUrl> launchAgentsList;
    QList<QUrl> launchDaemonsList;
    QList<ExtensionRecord> chromeExtantionList;
    QList<ExtensionRecord> firefoxExtantionList;
    QList<QUrl> safariExtantionList;
};
