#include "scan/ReportArchive.h"

#include "platform/FileName.h"

#include <QCborArray>
#include <QCborStreamReader>
#include <QCborValue>

namespace {
const QString kName = QStringLiteral("name");
const QString kIsChecked = QStringLiteral("isChecked");
const QString kInfections = QStringLiteral("infections");
const QString kSize = QStringLiteral("size");
const QString kUrl = QStringLiteral("url");
const QString kRisk = QStringLiteral("risk");
const QString kAdwareCount = QStringLiteral("adwareCount");
const QString kReportType = QStringLiteral("reportType");
const QString kScanDate = QStringLiteral("scanDate");
const QString kAdwareList = QStringLiteral("adwareList");
const QString kScanDuration = QStringLiteral("scanDuration");
const QString kReportId = QStringLiteral("reportId");
const QString kIsRed = QStringLiteral("isRed");

// A path whose name is not valid UTF-8 holds escaped bytes (FileName),
// which CBOR text cannot carry: such a path is stored as a file URL with the
// bytes percent-encoded, and such a name as the bytes themselves.
QCborValue urlEntry(const QUrl &url)
{
    const QString path = url.toLocalFile();
    if (!FileName::hasEscapedBytes(path))
        return QCborValue(url);
    const QByteArray encoded = FileName::encode(path).toPercentEncoding("/");
    return QCborValue(QCborKnownTags::Url, QStringLiteral("file://") + QString::fromLatin1(encoded));
}

QUrl urlValue(const QCborValue &value)
{
    if (value.isUrl()) {
        const QUrl url = value.toUrl();
        if (!url.isLocalFile() || !url.host().isEmpty())
            return url;
        const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        return path.isValidUtf8() ? url : QUrl::fromLocalFile(FileName::decode(path));
    }
    if (value.isString())
        return QUrl(value.toString());
    return {};
}

QCborValue nameEntry(const QString &name)
{
    return FileName::hasEscapedBytes(name) ? QCborValue(FileName::encode(name)) : QCborValue(name);
}

QString nameValue(const QCborValue &value)
{
    return value.isByteArray() ? FileName::decode(value.toByteArray()) : value.toString();
}
} // namespace

QCborMap ReportArchive::encodeAdware(const Adware &adware)
{
    QCborMap map;
    map.insert(kName, nameEntry(adware.name()));
    map.insert(kIsChecked, adware.isChecked());
    map.insert(kInfections, adware.infections());
    map.insert(kSize, adware.size());
    map.insert(kUrl, urlEntry(adware.url()));
    map.insert(kRisk, adware.risk());
    return map;
}

AdwarePtr ReportArchive::decodeAdware(const QCborMap &map)
{
    // The stored check mark is not read: selection follows presence.
    return Adware::AdwareWithName(nameValue(map.value(kName)), true, map.value(kInfections).toString(),
                                  map.value(kSize).toInteger(), urlValue(map.value(kUrl)),
                                  map.value(kRisk).toString());
}

QCborMap ReportArchive::encodeReport(const AdwareScanReport &report)
{
    QCborArray list;
    for (const AdwarePtr &adware : report.adwareList())
        list.append(encodeAdware(*adware));
    QCborMap map;
    map.insert(kAdwareCount, qint64(report.adwareCount()));
    map.insert(kReportType, report.reportType());
    // An instant in UTC ("...Z"), so a report reads the same moment in every time zone.
    map.insert(kScanDate, QCborValue(report.scanDate().toUTC()));
    map.insert(kAdwareList, list);
    map.insert(kScanDuration, report.scanDuration());
    map.insert(kReportId, report.reportId());
    map.insert(kIsRed, report.isRed());
    return map;
}

ReportPtr ReportArchive::decodeReport(const QCborMap &map)
{
    auto report = std::make_shared<AdwareScanReport>();
    report->setAdwareCount(quint64(std::max<qint64>(map.value(kAdwareCount).toInteger(), 0)));
    report->setReportType(map.value(kReportType).toString());
    const QCborValue date = map.value(kScanDate);
    // Dates written without an offset (older archives) are local time, as they always were.
    report->setScanDate(date.isDateTime() ? date.toDateTime().toLocalTime() : QDateTime());
    QList<AdwarePtr> list;
    const QCborArray stored = map.value(kAdwareList).toArray();
    list.reserve(stored.size());
    for (const QCborValue &item : stored) {
        if (item.isMap())
            list.append(decodeAdware(item.toMap()));
    }
    report->setAdwareList(list);
    report->setReportId(map.value(kReportId).toString());
    report->setScanDuration(map.value(kScanDuration).toString());
    report->setIsRed(map.value(kIsRed).toBool());
    report->recomputeDerived();
    return report;
}

QByteArray ReportArchive::archivedDataWithRootObject(const QList<ReportPtr> &reports)
{
    QCborArray root;
    for (const ReportPtr &report : reports)
        root.append(encodeReport(*report));
    return QCborValue(QCborKnownTags::Signature, root).toCbor();
}

std::optional<QList<ReportPtr>> ReportArchive::unarchive(const QByteArray &data, QString *error)
{
    QCborParserError parseError;
    QCborValue value = QCborValue::fromCbor(data, &parseError);
    if (parseError.error != QCborError::NoError) {
        if (error)
            *error = QStringLiteral("not a report archive (%1 at byte %2)")
                         .arg(parseError.errorString())
                         .arg(parseError.offset);
        return std::nullopt;
    }
    if (value.isTag() && value.tag() == QCborTag(QCborKnownTags::Signature))
        value = value.taggedValue();
    if (!value.isArray()) {
        if (error)
            *error = QStringLiteral("the archive's root is not a list of reports");
        return std::nullopt;
    }
    QList<ReportPtr> reports;
    for (const QCborValue &item : value.toArray()) {
        if (!item.isMap()) {
            if (error)
                *error = QStringLiteral("an entry of the archive is not a report");
            return std::nullopt;
        }
        reports.append(decodeReport(item.toMap()));
    }
    return reports;
}
