#include "platform/FileName.h"

#include <QUtf8StringView>

namespace {

// Length of the valid UTF-8 sequence at the start of bytes, or 0 when its
// first byte does not begin one (overlong forms, surrogates and code points
// past U+10FFFF are not valid).
qsizetype validSequenceLength(const unsigned char *bytes, qsizetype available)
{
    const unsigned char lead = bytes[0];
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (available < length || bytes[1] < low || bytes[1] > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (bytes[i] < 0x80 || bytes[i] > 0xBF)
            return 0;
    }
    return length;
}

bool isEscape(char16_t unit)
{
    return unit >= FileName::kFirstEscape && unit <= FileName::kLastEscape;
}

// An escape is a low surrogate with no high surrogate before it.
bool isLoneEscapeAt(QStringView text, qsizetype i)
{
    return isEscape(text[i].unicode()) && (i == 0 || !text[i - 1].isHighSurrogate());
}

} // namespace

QString FileName::decode(QByteArrayView bytes)
{
    if (QUtf8StringView(bytes.data(), bytes.size()).isValidUtf8())
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = validSequenceLength(data + i, bytes.size() - i);
        if (length == 0) {
            text.append(QChar(char16_t(0xDC00 | data[i])));
            ++i;
            continue;
        }
        text.append(QString::fromUtf8(bytes.sliced(i, length)));
        i += length;
    }
    return text;
}

QByteArray FileName::encode(QStringView text)
{
    if (!hasEscapedBytes(text))
        return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLoneEscapeAt(text, i))
            continue;
        bytes.append(text.sliced(start, i - start).toUtf8());
        bytes.append(char(text[i].unicode() & 0xFF));
        start = i + 1;
    }
    bytes.append(text.sliced(start).toUtf8());
    return bytes;
}

bool FileName::hasEscapedBytes(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isLoneEscapeAt(text, i))
            return true;
    }
    return false;
}
