#pragma once

#include "scan/AdwareScanReport.h"

#include <QByteArray>
#include <QCborMap>
#include <optional>

// The keyed archive of reports and threats, in CBOR. Each record is a map
// under the keys of its class, written in a fixed order; the archive's root
// is the ordered list of reports. Decoding re-derives every value that is not
// stored (presence, check mark and colours of threats; display date, colour
// and image of reports) from the file system and the clock.
class ReportArchive
{
public:
    static QCborMap encodeAdware(const Adware &adware);
    static AdwarePtr decodeAdware(const QCborMap &map);
    static QCborMap encodeReport(const AdwareScanReport &report);
    static ReportPtr decodeReport(const QCborMap &map);

    static QByteArray archivedDataWithRootObject(const QList<ReportPtr> &reports);
    // Nothing when the bytes are not an archive of a report list; error says why.
    static std::optional<QList<ReportPtr>> unarchive(const QByteArray &data, QString *error = nullptr);
};
