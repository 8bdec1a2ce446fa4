#pragma once

#include "scan/FolderListing.h"
#include "scan/SignatureMatcher.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <vector>

class ScanHost;
class Volume;

// The file-tree walk of a Full System or Custom Scan: visits every folder and
// regular file under the roots (hidden files included, links never
// followed), compares each path with the full-system signature list and
// offers every hit to the host as a finding of type "Adware". A folder that
// matches is reported and not entered.
//
// One scanDirectory node stands for one folder while its subtree is walked:
// it lists the folder and handles its entries one by one, handing back each
// subfolder to enter as a child node. The nodes sit on an explicit stack
// owned by scannigWithCheckingSubDirectory(), never on the call stack, so a
// tree of any depth is walked in the order a recursive walk would take:
// depth first, each folder's entries in listing order, a subfolder entered
// as soon as its entry is reached. Folders are opened relative to their
// parent's descriptor, so paths longer than PATH_MAX are walked too, and read
// ahead on other threads (FolderStack) without changing that order. Memory
// grows with the depth of the tree, not with the number of entries.
//
// Paths are compared as the bytes on disk, and as paths of the volume (the
// part below the volume root), so that the folders a volume is mounted below
// never match; findings carry host paths. Paths are carried as text the way
// FileName decodes them, so a name that is not valid UTF-8 is found,
// reported and removed like any other.
//
// A folder that cannot be opened or listed (permission, I/O error) is
// skipped with a warning and counted in the scan state's unreadableFolders.
//
// Runs on one scan thread; shares the driver's counters and stop flag
// through ScanHost::state() and reports through the host's post() and
// addIfAvail().
class scanDirectory
{
public:
    // The walk over roots (or over the Custom Scan folder alone when a Custom
    // Scan is running). A root that is a package, a regular file, a hidden
    // folder or a ".framework" folder is not walked. When the walk ends it
    // counts itself as a finished task in ScanTypeCount and calls doneScan()
    // when it is the second task to finish or the scan was stopped.
    static void scannigWithCheckingSubDirectory(ScanHost &host, const QStringList &roots);

    ~scanDirectory();

private:
    struct Walk;

    scanDirectory(Walk &walk, scanDirectory *perent, SignatureMatcher::State pathState,
                  const std::vector<int> &pathHits);

    // initWithURL:andPerent: for the folder the walk stands in: lists it; no
    // node when the stop flag is set. pathState is the signature matcher's
    // state after the folder's path, pathHits the signatures in that path.
    static std::unique_ptr<scanDirectory> initWithURL(Walk &walk, scanDirectory *perent,
                                                      SignatureMatcher::State pathState,
                                                      const std::vector<int> &pathHits);
    static bool isWalkedRoot(const Volume &volume, const QString &root);
    static void walkRoot(Walk &walk, const QString &root);
    static void walkTree(Walk &walk, SignatureMatcher::State rootState, const std::vector<int> &rootHits);

    void getsubFileList();
    // Handles entries from where the node stopped; answers the node of the
    // next subfolder to walk first, or nothing when this folder is done or
    // the scan was stopped.
    std::unique_ptr<scanDirectory> performCalculatingSublistDetail();
    std::unique_ptr<scanDirectory> enterSubfolder(QByteArrayView name, SignatureMatcher::State state);
    // Compares the entry's path (as text and as the bytes on disk) with the
    // signatures, offers it once per signature it contains and answers the
    // matcher's state after the path.
    SignatureMatcher::State compare(qsizetype index, const QString &path, bool &matched);
    // addIfAvail:name:type:risk:size: — hands one hit to the host.
    void addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk, qint64 size);
    QString entryText(QByteArrayView name, QByteArrayView pathBytes);
    bool ckeckAllSubFileCompleted() const { return CheckedListCount == SubfileURLListCount; }
    QUrl selfURL() const;

    Walk &m_walk;
    scanDirectory *perentObject;
    FolderListing SubfileURLList;
    qint64 SubfileURLListCount = 0;
    // Entries handled so far; the next one to handle is at this index.
    qint64 CheckedListCount = 0;
    // The folder entry being handled matched a signature; the last one that did.
    bool isVirusInDir = false;
    QString fileAdded;
    // The matcher's state after this folder's path and "/", and the
    // signatures found in them (which every entry's path contains).
    SignatureMatcher::State m_matchState = 0;
    std::vector<int> m_folderHits;
    // Position of this folder on the walk's folder stack.
    int m_depth = 0;
    bool m_started = false;
};
