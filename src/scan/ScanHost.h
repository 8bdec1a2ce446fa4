#pragma once

#include "scan/FindingSource.h"
#include "scan/Inventory.h"
#include "scan/ScanState.h"

#include <QStringList>
#include <QUrl>
#include <QVariant>

class Volume;

// What the detector chain, the count and the walk need from the scan driver.
// The driver implements it; tests implement it with a recording double.
// Every operation may be called from a scan thread.
class ScanHost
{
public:
    virtual ~ScanHost() = default;

    virtual const Volume &volume() const = 0;
    virtual ScanState &state() = 0;
    virtual const Inventory &inventory() const = 0;
    // The full-system signature list compared by the walk.
    virtual const QStringList &fullSystemScanPaths() const = 0;

    // addIfAvail:name:type:risk:size: — offers one finding. Nothing happens
    // when nothing exists at the URL's path; the rest runs on the main thread.
    virtual void addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk,
                            qint64 size, FindingSource source) = 0;
    // waitFor:andSetTextTo: — a Quick Scan's status text and pause.
    virtual void waitFor(double seconds, const QString &text) = 0;
    // A pause taken whatever the scan type (the ChatZum detector's fixed pause).
    virtual void pause(double seconds) = 0;
    // Posts a named notification on the platform's notification centre.
    virtual void post(const QString &name, const QVariant &object = QVariant()) = 0;
    // Starts the detector chain and the walk side by side over the roots.
    virtual void DeepScanStart(const QStringList &roots) = 0;
    // Queues doneScan on the main thread.
    virtual void doneScan() = 0;
};
