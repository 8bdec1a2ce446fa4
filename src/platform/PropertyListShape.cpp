#include "platform/PropertyListShape.h"

#include <optional>
#include <vector>

namespace {

constexpr QByteArrayView kBinaryMagic("bplist00");
constexpr qsizetype kTrailerBytes = 32;

// The object table of a binary property list, read with every offset and
// count checked against the bytes at hand.
class BinaryObjects
{
public:
    explicit BinaryObjects(QByteArrayView bytes) : m_bytes(bytes) {}

    bool readTrailer()
    {
        const qsizetype trailer = m_bytes.size() - kTrailerBytes;
        if (trailer < kBinaryMagic.size())
            return false;
        m_offsetSize = int(uchar(m_bytes[trailer + 6]));
        m_refSize = int(uchar(m_bytes[trailer + 7]));
        const auto count = number(trailer + 8, 8);
        const auto top = number(trailer + 16, 8);
        const auto table = number(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 || !count || !top || !table)
            return false;
        // The offset table lies between the header and the trailer.
        if (*count == 0 || *count > quint64(trailer) || *table > quint64(trailer)
            || *count * quint64(m_offsetSize) > quint64(trailer) - *table || *top >= *count)
            return false;
        m_count = qsizetype(*count);
        m_top = qsizetype(*top);
        m_table = qsizetype(*table);
        return true;
    }

    qsizetype count() const { return m_count; }
    qsizetype top() const { return m_top; }

    // The references an object holds (a dictionary's keys, then its values),
    // or nothing when its header does not fit in the bytes.
    struct Children
    {
        qsizetype first = 0; // offset of the first reference
        qsizetype count = 0;
    };
    std::optional<Children> children(qsizetype object) const
    {
        const auto offset = number(m_table + object * m_offsetSize, m_offsetSize);
        if (!offset || *offset < quint64(kBinaryMagic.size()) || *offset >= quint64(m_table))
            return std::nullopt;
        qsizetype at = qsizetype(*offset);
        const uchar marker = uchar(m_bytes[at++]);
        const int type = marker >> 4;
        if (type != 0xA && type != 0xC && type != 0xD)
            return Children{};
        quint64 length = marker & 0x0F;
        if (length == 0x0F) {
            if (at >= m_table)
                return std::nullopt;
            const uchar intMarker = uchar(m_bytes[at++]);
            const int width = 1 << (intMarker & 0x0F);
            const auto value = (intMarker >> 4) == 0x1 && width <= 8 ? number(at, width) : std::nullopt;
            if (!value)
                return std::nullopt;
            length = *value;
            at += width;
        }
        const quint64 refs = type == 0xD ? length * 2 : length;
        if (length > quint64(m_table) || refs * quint64(m_refSize) > quint64(m_table - at))
            return std::nullopt;
        return Children{at, qsizetype(refs)};
    }

    std::optional<qsizetype> reference(const Children &children, qsizetype index) const
    {
        const auto value = number(children.first + index * m_refSize, m_refSize);
        if (!value || *value >= quint64(m_count))
            return std::nullopt;
        return qsizetype(*value);
    }

private:
    std::optional<quint64> number(qsizetype at, int width) const
    {
        if (at < 0 || width < 1 || width > 8 || at > m_bytes.size() - width)
            return std::nullopt;
        quint64 value = 0;
        for (int i = 0; i < width; ++i)
            value = (value << 8) | uchar(m_bytes[at + i]);
        return value;
    }

    QByteArrayView m_bytes;
    int m_offsetSize = 0;
    int m_refSize = 0;
    qsizetype m_count = 0;
    qsizetype m_top = 0;
    qsizetype m_table = 0;
};

qsizetype skipPast(QByteArrayView bytes, qsizetype from, QByteArrayView end)
{
    const qsizetype found = bytes.indexOf(end, from);
    return found < 0 ? bytes.size() : found + end.size();
}

// The end of a start or end tag beginning at from ('<'), quoted attribute
// values skipped; the size of bytes when it never ends.
qsizetype tagEnd(QByteArrayView bytes, qsizetype from)
{
    char quote = 0;
    for (qsizetype i = from + 1; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return bytes.size();
}

} // namespace

QString PropertyListShape::refusal(QByteArrayView bytes)
{
    if (bytes.startsWith(kBinaryMagic))
        return binaryRefusal(bytes);
    return xmlRefusal(bytes);
}

// Walks the object graph depth first without recursion. Each object is
// visited once: its height (deepest path below it) and its size once the
// parser has copied every shared reference are kept, so a shared subtree
// costs nothing the second time and the walk stays linear. An object met
// again while it is still on the path is a cycle.
QString PropertyListShape::binaryRefusal(QByteArrayView bytes)
{
    BinaryObjects objects(bytes);
    if (!objects.readTrailer())
        return QStringLiteral("the binary trailer or offset table is damaged");
    enum State : uchar { Unseen, OnPath, Done };
    std::vector<uchar> state(size_t(objects.count()), Unseen);
    std::vector<int> height(size_t(objects.count()), 0);
    std::vector<qint64> expanded(size_t(objects.count()), 0);
    struct Frame
    {
        qsizetype object;
        BinaryObjects::Children children;
        qsizetype next = 0;
        int height = 1;
        qint64 expanded = 1;
    };
    std::vector<Frame> path;
    const auto enter = [&](qsizetype object) -> QString {
        const auto children = objects.children(object);
        if (!children)
            return QStringLiteral("object %1 lies outside the file").arg(object);
        if (int(path.size()) >= kMaxDepth)
            return QStringLiteral("nested more than %1 levels deep").arg(kMaxDepth);
        state[size_t(object)] = OnPath;
        path.push_back({object, *children});
        return {};
    };
    if (QString why = enter(objects.top()); !why.isEmpty())
        return why;
    while (!path.empty()) {
        Frame &frame = path.back();
        if (frame.next < frame.children.count) {
            const auto child = objects.reference(frame.children, frame.next++);
            if (!child)
                return QStringLiteral("a reference points past the object table");
            switch (state[size_t(*child)]) {
            case OnPath:
                return QStringLiteral("an object contains itself");
            case Done:
                frame.height = std::max(frame.height, height[size_t(*child)] + 1);
                frame.expanded = std::min(frame.expanded + expanded[size_t(*child)], kMaxObjects + 1);
                break;
            default:
                if (QString why = enter(*child); !why.isEmpty())
                    return why;
            }
            continue;
        }
        const Frame done = frame;
        path.pop_back();
        state[size_t(done.object)] = Done;
        height[size_t(done.object)] = done.height;
        expanded[size_t(done.object)] = done.expanded;
        if (done.expanded > kMaxObjects)
            return QStringLiteral("more than %1 objects once shared ones are copied").arg(kMaxObjects);
        if (!path.empty()) {
            Frame &parent = path.back();
            parent.height = std::max(parent.height, done.height + 1);
            parent.expanded = std::min(parent.expanded + done.expanded, kMaxObjects + 1);
        }
    }
    return {};
}

// Counts open elements; declarations, comments, CDATA sections and
// processing instructions do not nest.
QString PropertyListShape::xmlRefusal(QByteArrayView bytes)
{
    int depth = 0;
    qsizetype i = 0;
    while ((i = bytes.indexOf('<', i)) >= 0) {
        const QByteArrayView rest = bytes.sliced(i);
        if (rest.startsWith("<!--")) {
            i = skipPast(bytes, i + 4, "-->");
        } else if (rest.startsWith("<![CDATA[")) {
            i = skipPast(bytes, i + 9, "]]>");
        } else if (rest.startsWith("<?")) {
            i = skipPast(bytes, i + 2, "?>");
        } else if (rest.startsWith("<!")) {
            const qsizetype close = bytes.indexOf('>', i);
            const qsizetype subset = bytes.indexOf('[', i);
            i = subset >= 0 && (close < 0 || subset < close) ? skipPast(bytes, subset, "]>") : skipPast(bytes, i, ">");
        } else if (rest.startsWith("</")) {
            depth = std::max(0, depth - 1);
            i = tagEnd(bytes, i) + 1;
        } else {
            const qsizetype end = tagEnd(bytes, i);
            if (end >= bytes.size())
                break;
            if (bytes[end - 1] != '/' && ++depth > kMaxDepth)
                return QStringLiteral("nested more than %1 levels deep").arg(kMaxDepth);
            i = end + 1;
        }
    }
    return {};
}
