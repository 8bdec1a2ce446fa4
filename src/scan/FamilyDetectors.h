#pragma once

#include "scan/FamilyCatalogue.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

class ScanHost;

// The detector phase of a scan: the 26 adware family detectors, run in their
// fixed order over the inventories the host took for this scan, and the
// probes they are built of. Each detector is one entry of the family
// catalogue, played step by step by one generic prober; the named methods run
// a single detector. Findings, status steps and pauses all go to the host,
// which owns the scan state; this object keeps no state between scans and
// runs on the scanning thread only.
class FamilyDetectors
{
public:
    explicit FamilyDetectors(ScanHost &host, const FamilyCatalogue &catalogue = FamilyCatalogue::builtIn());

    // The 26 detectors in order; after each one the stop request is read and,
    // once set, the remaining detectors are skipped.
    void runAll();

    // The inventory URLs whose last path component contains the name,
    // ignoring case, in inventory order (nothing for an empty name).
    QList<QUrl> checkApplication(const QString &name) const;
    QList<QUrl> checkApplicationSupport(const QString &name) const;
    QList<QUrl> checkLaunchAgents(const QString &name) const;
    QList<QUrl> checklaunchDaemons(const QString &name) const;
    // For each volume path: its URL when something is there, then the URL of
    // the same path under the home folder when something is there. Entries
    // that are not absolute paths (the "MARKER/..." labels) are never found.
    QList<QUrl> checkUrlAvilble(const QStringList &paths) const;
    // Offers the Safari, Chrome and Firefox extensions whose name contains
    // the name (ignoring case), under the type.
    void checkInAllExtantion(const QString &name, const QString &type);

    void checkForFkCodec();
    void checkForYontoo();
    void checkFakeAdobeFlashPlayers();
    void checkChatZum();
    void checkConduit();
    void checkSpigot();
    void checkInstallCore();
    void checkGoPhotoIt();
    void checkGenieo();
    void checkSavekeep();
    void checkVidx();
    void checkAwesomeScreenshot();
    void checkBundlore();
    void checkAskToolbar();
    void checkInfectedExtantion();
    void checkPremierOpinion();
    void checkOperatorMac();
    void checkVSearch();
    void checkMacKeeper();
    void checkMacDefender();
    void checkMacSecurity();
    void checkMacProtector();
    void checkGwenrose();
    void checkMontageobox();
    void checkEpolifeAndRelated();
    void checkForOthers();

    // The detector method names in the order runAll() runs them.
    static QStringList detectorOrder();
    // Runs the catalogue entry of one detector; false when it has none.
    bool runDetector(const QString &method);

private:
    struct Collection
    {
        QList<QUrl> footprints;
        QStringList stems;
    };

    void runFamily(const FamilyCatalogue::Family &family);
    void runStep(const FamilyCatalogue::Step &step, const QString &type, Collection &collection);
    void collectNames(const FamilyCatalogue::Step &step, Collection &collection) const;
    void report(const QList<QUrl> &footprints, const QString &type);
    void offer(const QUrl &url, const QString &name, const QString &type, qint64 size);
    void reportExtensionSuffix(const QString &suffix, const QString &type);

    QList<QUrl> existing(const QStringList &paths, bool underHome) const;
    QList<QUrl> firefoxProfileFootprints(const FamilyCatalogue::FirefoxProfileProbe &probe) const;
    QList<QUrl> launchAgentTriplets(QStringList &stems) const;
    QList<QUrl> fourDigitLaunchAgents() const;

    ScanHost &m_host;
    const FamilyCatalogue &m_catalogue;
};
