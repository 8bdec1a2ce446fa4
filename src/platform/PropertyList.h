#pragma once

#include <QByteArray>
#include <QVariant>
#include <optional>

// Property lists, XML or binary, through libplist. Dictionaries become
// QVariantMap, arrays QVariantList, dates QDateTime (UTC), data QByteArray,
// integers qint64 (or quint64 when too large), reals double.
class PropertyList
{
public:
    // Nothing when the bytes are not a property list.
    static std::optional<QVariant> parse(const QByteArray &bytes);
    static std::optional<QVariant> readFile(const QString &path);

    enum class Format { Xml, Binary };
    static QByteArray serialize(const QVariant &value, Format format = Format::Xml);
};
