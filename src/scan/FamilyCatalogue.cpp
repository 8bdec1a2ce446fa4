#include "scan/FamilyCatalogue.h"

#include "platform/Log.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

// The resource lives in a static library: it must be pulled in by name.
static void initCatalogueResource()
{
    Q_INIT_RESOURCE(catalogue);
}

namespace {

using Step = FamilyCatalogue::Step;
using Kind = FamilyCatalogue::Step::Kind;

const QHash<QString, Kind> &nameProbeKinds()
{
    static const QHash<QString, Kind> kinds{
        {QStringLiteral("extensions"), Kind::Extensions},
        {QStringLiteral("applications"), Kind::Applications},
        {QStringLiteral("applicationSupport"), Kind::ApplicationSupport},
        {QStringLiteral("launchAgents"), Kind::LaunchAgents},
        {QStringLiteral("launchDaemons"), Kind::LaunchDaemons},
        {QStringLiteral("paths"), Kind::Paths},
        {QStringLiteral("directPaths"), Kind::DirectPaths},
        {QStringLiteral("homePaths"), Kind::HomePaths},
    };
    return kinds;
}

const QHash<QString, Kind> &flagKinds()
{
    static const QHash<QString, Kind> kinds{
        {QStringLiteral("launchAgentTriplets"), Kind::LaunchAgentTriplets},
        {QStringLiteral("tripletStemExtensions"), Kind::TripletStemExtensions},
        {QStringLiteral("fourDigitLaunchAgents"), Kind::FourDigitLaunchAgents},
    };
    return kinds;
}

// A list of non-empty strings, or nothing.
std::optional<QStringList> stringList(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    QStringList list;
    for (const QJsonValue &item : value.toArray()) {
        if (!item.isString() || item.toString().isEmpty())
            return std::nullopt;
        list.append(item.toString());
    }
    return list;
}

std::optional<FamilyCatalogue::FirefoxProfileProbe> firefoxProbe(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    FamilyCatalogue::FirefoxProfileProbe probe;
    probe.requiredFile = object.value(QStringLiteral("requiredFile")).toString();
    probe.searchpluginsContaining = object.value(QStringLiteral("searchpluginsContaining")).toString();
    const std::optional<QStringList> files = stringList(object.value(QStringLiteral("files")).toArray());
    if (!files || (files->isEmpty() && probe.searchpluginsContaining.isEmpty()))
        return std::nullopt;
    probe.files = *files;
    return probe;
}

std::optional<Step> parseStep(const QString &key, const QJsonValue &value)
{
    Step step;
    if (const auto kind = nameProbeKinds().constFind(key); kind != nameProbeKinds().constEnd()) {
        const std::optional<QStringList> names = stringList(value);
        if (!names || names->isEmpty())
            return std::nullopt;
        step.kind = *kind;
        step.names = *names;
        return step;
    }
    if (const auto kind = flagKinds().constFind(key); kind != flagKinds().constEnd()) {
        if (value != QJsonValue(true))
            return std::nullopt;
        step.kind = *kind;
        return step;
    }
    if (key == QLatin1String("status")) {
        const QJsonArray pair = value.toArray();
        if (pair.size() != 2 || !pair[0].isString() || pair[0].toString().isEmpty() || !pair[1].isDouble()
            || pair[1].toDouble() < 0)
            return std::nullopt;
        step.kind = Kind::Status;
        step.text = pair[0].toString();
        step.seconds = pair[1].toDouble();
        return step;
    }
    if (key == QLatin1String("pause")) {
        if (!value.isDouble() || value.toDouble() < 0)
            return std::nullopt;
        step.kind = Kind::Pause;
        step.seconds = value.toDouble();
        return step;
    }
    if (key == QLatin1String("extensionSuffix")) {
        if (!value.isString() || value.toString().isEmpty())
            return std::nullopt;
        step.kind = Kind::ExtensionSuffix;
        step.text = value.toString();
        return step;
    }
    if (key == QLatin1String("firefoxProfiles")) {
        const std::optional<FamilyCatalogue::FirefoxProfileProbe> probe = firefoxProbe(value);
        if (!probe)
            return std::nullopt;
        step.kind = Kind::FirefoxProfiles;
        step.firefox = *probe;
        return step;
    }
    if (key == QLatin1String("report")) {
        if (value == QJsonValue(QStringLiteral("asCollected")))
            step.kind = Kind::Report;
        else if (value == QJsonValue(QStringLiteral("unique")))
            step.kind = Kind::UniqueReport;
        else
            return std::nullopt;
        return step;
    }
    return std::nullopt;
}

std::optional<FamilyCatalogue::Family> parseFamily(const QJsonObject &object, const QString &where, QStringList &errors)
{
    FamilyCatalogue::Family family;
    family.type = object.value(QStringLiteral("type")).toString();
    if (family.type.isEmpty()) {
        errors.append(QStringLiteral("%1: family without a type").arg(where));
        return std::nullopt;
    }
    const QJsonArray steps = object.value(QStringLiteral("steps")).toArray();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QJsonObject stepObject = steps[i].toObject();
        const QString stepWhere = QStringLiteral("%1 / %2 step %3").arg(where, family.type).arg(i + 1);
        if (stepObject.size() != 1) {
            errors.append(QStringLiteral("%1: a step names exactly one probe").arg(stepWhere));
            continue;
        }
        const QString key = stepObject.constBegin().key();
        if (std::optional<Step> step = parseStep(key, stepObject.constBegin().value()))
            family.steps.append(*step);
        else
            errors.append(QStringLiteral("%1: unusable \"%2\" step").arg(stepWhere, key));
    }
    return family;
}

std::optional<QJsonObject> documentObject(const QByteArray &bytes, const QString &what, QStringList &errors)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        errors.append(QStringLiteral("%1: %2").arg(what, error.error != QJsonParseError::NoError
                                                             ? error.errorString()
                                                             : QStringLiteral("not an object")));
        return std::nullopt;
    }
    return document.object();
}

QList<FamilyCatalogue::Detector> parseDetectors(const QJsonObject &root, QStringList &errors)
{
    QList<FamilyCatalogue::Detector> detectors;
    QStringList seen;
    for (const QJsonValue &value : root.value(QStringLiteral("detectors")).toArray()) {
        const QJsonObject object = value.toObject();
        FamilyCatalogue::Detector detector;
        detector.method = object.value(QStringLiteral("method")).toString();
        if (detector.method.isEmpty() || seen.contains(detector.method)) {
            errors.append(QStringLiteral("detector without a method name, or named twice: \"%1\"").arg(detector.method));
            continue;
        }
        seen.append(detector.method);
        for (const QJsonValue &family : object.value(QStringLiteral("families")).toArray()) {
            if (std::optional<FamilyCatalogue::Family> parsed = parseFamily(family.toObject(), detector.method, errors))
                detector.families.append(*parsed);
        }
        if (detector.families.isEmpty())
            errors.append(QStringLiteral("%1: no families").arg(detector.method));
        detectors.append(detector);
    }
    return detectors;
}

QStringList parseSignatures(const QJsonObject &root, QStringList &errors)
{
    QStringList signatures;
    for (const QJsonValue &group : root.value(QStringLiteral("groups")).toArray()) {
        const QString name = group.toObject().value(QStringLiteral("group")).toString();
        const std::optional<QStringList> entries = stringList(group.toObject().value(QStringLiteral("entries")));
        if (!entries) {
            errors.append(QStringLiteral("signature group \"%1\": entries must be non-empty texts").arg(name));
            continue;
        }
        signatures.append(*entries);
    }
    return signatures;
}

QByteArray readResource(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

FamilyCatalogue FamilyCatalogue::fromJson(const QByteArray &families, const QByteArray &signatures)
{
    FamilyCatalogue catalogue;
    if (const std::optional<QJsonObject> root = documentObject(families, QStringLiteral("families"), catalogue.m_errors))
        catalogue.m_detectors = parseDetectors(*root, catalogue.m_errors);
    if (const std::optional<QJsonObject> root = documentObject(signatures, QStringLiteral("signatures"), catalogue.m_errors))
        catalogue.m_signatures = parseSignatures(*root, catalogue.m_errors);
    return catalogue;
}

const FamilyCatalogue &FamilyCatalogue::builtIn()
{
    static const FamilyCatalogue catalogue = [] {
        initCatalogueResource();
        FamilyCatalogue loaded = fromJson(readResource(QStringLiteral(":/catalogue/families.json")),
                                          readResource(QStringLiteral(":/catalogue/signatures.json")));
        for (const QString &error : loaded.errors())
            Log::warning(QStringLiteral("Family catalogue: %1").arg(error));
        return loaded;
    }();
    return catalogue;
}

const FamilyCatalogue::Detector *FamilyCatalogue::detector(const QString &method) const
{
    for (const Detector &entry : m_detectors) {
        if (entry.method == method)
            return &entry;
    }
    return nullptr;
}

QStringList FamilyCatalogue::fullSyatemScanPath(const QString &loginName) const
{
    QStringList paths;
    paths.reserve(m_signatures.size());
    for (const QString &signature : m_signatures) {
        QString path = signature;
        paths.append(path.replace(QLatin1String("%@"), loginName));
    }
    return paths;
}
