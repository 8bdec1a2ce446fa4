#pragma once

#include "scan/FolderListing.h"

#include <QString>
#include <QUrl>
#include <memory>

class FolderStack;
class ScanHost;

// The count phase of a Full System or Custom Scan: counts the folders and
// the visible regular files under the roots, so that the walk that follows
// can show its progress in percent. One FileCount node stands for one folder
// while its subtree is counted: it lists the folder, counts its files and
// hands back each subfolder as a child node. The nodes sit on an explicit
// stack owned by scannigWithCheckingDirectory(), never on the call stack, so
// a tree of any depth is counted in the order a recursive count would take:
// depth first, each folder's entries in listing order, a subfolder counted
// as soon as its entry is reached; folders are read ahead on other threads
// (FolderStack) without changing that order. Memory grows with the depth of
// the tree (one listing per open folder), not with the number of entries.
//
// Runs on one scan thread and shares the driver's counters and stop flag
// through ScanHost::state().
class FileCount
{
public:
    // The count phase over root (or over the Custom Scan folder alone when a
    // Custom Scan is running). Adds every counted entry to totalCount,
    // posting "ScanningProgressURL" with the running total before each one.
    // Not stopped: sets fileCountCompleted, posts "ScanningProgress" with no
    // object and calls DeepScanStart() with the list of roots. Stopped:
    // calls doneScan() on the host.
    static void scannigWithCheckingDirectory(ScanHost &host, const QString &root);

    ~FileCount();

private:
    struct Pass;

    FileCount(Pass &pass, FileCount *perent);

    // initWithURL:andPerent: for the folder the pass stands in: lists it;
    // no node when the stop flag is set.
    static std::unique_ptr<FileCount> initWithURL(Pass &pass, FileCount *perent);
    static void countRoot(Pass &pass, const QString &root);
    static void countTree(Pass &pass);

    void getsubFileList();
    // Counts entries from where the node stopped; answers the node of the
    // next subfolder to count first, or nothing when this folder is done or
    // the scan was stopped.
    std::unique_ptr<FileCount> performCalculatingSublistDetail();
    bool ckeckAllSubFileCompleted() const { return CheckedListCount == SubfileURLListCount; }
    QUrl selfURL() const;

    Pass &m_pass;
    FileCount *perentObject;
    FolderListing SubfileURLList;
    qint64 SubfileURLListCount = 0;
    // Entries handled so far; the next one to handle is at this index.
    qint64 CheckedListCount = 0;
    // Position of this folder on the pass's folder stack.
    int m_depth = 0;
    // The last entry handled is a subfolder whose subtree is being counted.
    bool m_subfolderPending = false;
};
