#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class ScanHost;

// The three kinds of work a scan is made of, as the driver calls them: the
// detector chain, the count phase over a root, and the walk over the roots.
// The application uses the real ones; tests of the driver may put in their
// own to reach a state quickly.
struct ScanPhases
{
    std::function<void(ScanHost &)> detectors;
    std::function<void(ScanHost &, const QString &root)> count;
    std::function<void(ScanHost &, const QStringList &roots)> walk;
};
