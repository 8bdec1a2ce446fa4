#pragma once

#include <QByteArray>
#include <QVariant>
#include <optional>

// Property lists, XML or binary, through libplist. Dictionaries become
// QVariantMap, arrays QVariantList, dates QDateTime (UTC), data QByteArray,
// integers qint64 (or quint64 when too large), reals double. Lists nested
// too deep for the parser are refused (PropertyListShape) with a log line.
class PropertyList
{
public:
    // Nothing when the bytes are not a property list, or one refused.
    static std::optional<QVariant> parse(const QByteArray &bytes);
    // Reads the file through BoundedFile (no FIFO, device or link; a few MiB
    // at most).
    static std::optional<QVariant> readFile(const QString &path);

    enum class Format { Xml, Binary };
    static QByteArray serialize(const QVariant &value, Format format = Format::Xml);

private:
    static std::optional<QVariant> parse(const QByteArray &bytes, const QString &what);
};
