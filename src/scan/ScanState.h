#pragma once

#include <QString>
#include <atomic>

// The flags and counters of one scan, shared by the driver, the detector
// thread, the count and the walk. Everything that more than one thread writes
// is atomic. customScanDirectory is set on the main thread before any scan
// thread starts and only read while they run.
struct ScanState
{
    enum ScanType : qint64 { QuickScan = 0, FullSystemScan = 1, CustomScan = 2 };

    std::atomic<qint64> scanType{QuickScan};
    std::atomic<bool> isDeepScan{false};
    std::atomic<bool> isCustomScanning{false};
    std::atomic<bool> isScanning{false};
    std::atomic<bool> isScanStop{false};
    // Finished concurrent tasks (detector chain, walk) of a Full System or Custom Scan.
    std::atomic<int> ScanTypeCount{0};
    // Entries counted by the count phase, and visited by the walk since the last progress step.
    std::atomic<qint64> totalCount{0};
    std::atomic<qint64> totalScanCount{0};
    std::atomic<int> fileCountCompleted{0};
    std::atomic<int> detectorStep{0};
    // Folders the walk could not open or list (permission, I/O error): what
    // lies below them was not compared. Zeroed when a scan starts.
    std::atomic<qint64> unreadableFolders{0};
    QString customScanDirectory;
};
