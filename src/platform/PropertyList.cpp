#include "platform/PropertyList.h"

#include "platform/BoundedFile.h"
#include "platform/Log.h"
#include "platform/PropertyListShape.h"

#include <QDateTime>
#include <QTimeZone>
#include <cstdlib>
#include <limits>
#include <memory>
#include <plist/plist.h>

namespace {

// Seconds between the Unix epoch and the property-list epoch (2001-01-01).
constexpr qint64 kMacEpochOffset = 978307200;

struct PlistDeleter
{
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

QString takeString(char *raw)
{
    QString text = raw ? QString::fromUtf8(raw) : QString();
    std::free(raw);
    return text;
}

QVariant toVariant(plist_t node, int depth)
{
    if (!node || depth > PropertyListShape::kMaxDepth)
        return {};
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return bool(value);
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        if (value > uint64_t(std::numeric_limits<qint64>::max()))
            return QVariant::fromValue<quint64>(value);
        return QVariant::fromValue<qint64>(qint64(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_STRING: {
        char *raw = nullptr;
        plist_get_string_val(node, &raw);
        return takeString(raw);
    }
    case PLIST_KEY: {
        char *raw = nullptr;
        plist_get_key_val(node, &raw);
        return takeString(raw);
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return QDateTime::fromMSecsSinceEpoch((qint64(sec) + kMacEpochOffset) * 1000 + usec / 1000,
                                              QTimeZone::utc());
    }
    case PLIST_DATA: {
        char *raw = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &raw, &length);
        QByteArray data(raw, qsizetype(length));
        std::free(raw);
        return data;
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t size = plist_array_get_size(node);
        for (uint32_t i = 0; i < size; ++i)
            list.append(toVariant(plist_array_get_item(node, i), depth + 1));
        return list;
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        while (it) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!key)
                break;
            map.insert(takeString(key), toVariant(value, depth + 1));
        }
        std::free(it);
        return map;
    }
    default:
        return {};
    }
}

plist_t fromVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
        return plist_new_real(value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        return plist_new_data(data.constData(), uint64_t(data.size()));
    }
    case QMetaType::QDateTime: {
        const qint64 ms = value.toDateTime().toMSecsSinceEpoch() - kMacEpochOffset * 1000;
        return plist_new_date(int32_t(ms / 1000), int32_t((ms % 1000) * 1000));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant &item : value.toList())
            plist_array_append_item(array, fromVariant(item));
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            plist_dict_set_item(dict, it.key().toUtf8().constData(), fromVariant(it.value()));
        return dict;
    }
    default:
        return plist_new_string(value.toString().toUtf8().constData());
    }
}

} // namespace

std::optional<QVariant> PropertyList::parse(const QByteArray &bytes)
{
    return parse(bytes, QStringLiteral("a property list"));
}

std::optional<QVariant> PropertyList::parse(const QByteArray &bytes, const QString &what)
{
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    if (const QString why = PropertyListShape::refusal(bytes); !why.isEmpty()) {
        Log::warning(QStringLiteral("Not parsed %1: %2").arg(what, why));
        return std::nullopt;
    }
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), uint32_t(bytes.size()), &root);
    if (!root)
        return std::nullopt;
    PlistPtr guard(root);
    return toVariant(root, 0);
}

std::optional<QVariant> PropertyList::readFile(const QString &path)
{
    const std::optional<QByteArray> bytes = BoundedFile::read(path, BoundedFile::kPropertyListBytes);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes, path);
}

QByteArray PropertyList::serialize(const QVariant &value, Format format)
{
    PlistPtr root(fromVariant(value));
    char *raw = nullptr;
    uint32_t length = 0;
    if (format == Format::Xml)
        plist_to_xml(static_cast<plist_t>(root.get()), &raw, &length);
    else
        plist_to_bin(static_cast<plist_t>(root.get()), &raw, &length);
    QByteArray bytes(raw, qsizetype(length));
    std::free(raw);
    return bytes;
}
