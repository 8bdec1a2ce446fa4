#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The adware families the detector chain knows, as data: for each detector,
// the families it reports, each with its type text and the ordered steps of
// its probe (status texts and pauses, extension names, inventory names,
// literal paths, the family-specific heuristics and the report), plus the
// signature list of the file-tree walk. The data ships as a resource
// (scan/catalogue/*.json) and is read by one generic prober (FamilyDetectors),
// so adding or correcting a family never touches code. A catalogue is
// immutable once built; builtIn() is shared by every scan and thread.
class FamilyCatalogue
{
public:
    // A probe of the default profiles of Firefox: the files added when they
    // exist (relative to the profile), optionally only in profiles where
    // requiredFile exists, and the "searchplugins" entries whose name holds
    // searchpluginsContaining (ignoring case).
    struct FirefoxProfileProbe
    {
        QString requiredFile;
        QStringList files;
        QString searchpluginsContaining;
    };

    struct Step
    {
        enum class Kind {
            Status,                // waitFor(seconds, text)
            Pause,                 // a pause taken for every scan kind
            Extensions,            // checkInAllExtantion for each name
            Applications,          // name probes over the inventories ...
            ApplicationSupport,
            LaunchAgents,
            LaunchDaemons,
            Paths,                 // checkUrlAvilble: volume and home folder
            DirectPaths,           // volume paths tested one by one
            HomePaths,             // home-folder paths tested one by one
            FirefoxProfiles,       // the probe above, in every default profile
            LaunchAgentTriplets,   // download/ltvbit/update agents sharing a stem
            TripletStemExtensions, // checkInAllExtantion for each stem found
            FourDigitLaunchAgents, // launch agents whose first digit run has 4 digits
            ExtensionSuffix,       // extensions whose name ends with text (case-sensitive)
            Report,                // offers the collected footprints in order
            UniqueReport,          // the same, each URL once
        };
        Kind kind = Kind::Report;
        QString text;      // Status: its text; ExtensionSuffix: the suffix
        double seconds = 0; // Status, Pause
        QStringList names; // names or paths of the name, extension and path probes
        FirefoxProfileProbe firefox;
    };

    struct Family
    {
        QString type;
        QList<Step> steps;
    };

    struct Detector
    {
        QString method;
        QList<Family> families;
    };

    // The catalogue compiled into the program, loaded on first use. Problems
    // in the shipped data are logged and leave the faulty entries out.
    static const FamilyCatalogue &builtIn();

    // Builds a catalogue from the two data files; every problem found is
    // listed in errors() and the faulty step, family or entry is left out.
    static FamilyCatalogue fromJson(const QByteArray &families, const QByteArray &signatures);

    bool isValid() const { return m_errors.isEmpty(); }
    const QStringList &errors() const { return m_errors; }

    const QList<Detector> &detectors() const { return m_detectors; }
    // The detector entry of a method name (such as "checkGenieo"); nullptr when unknown.
    const Detector *detector(const QString &method) const;

    // The full-system signature list in list order, with the login name
    // filled into the entries of the user's home folder.
    QStringList fullSyatemScanPath(const QString &loginName) const;

private:
    QList<Detector> m_detectors;
    QStringList m_signatures;
    QStringList m_errors;
};
