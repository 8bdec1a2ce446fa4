#include "tools/SizeRule.h"

#include "platform/AllocatedSize.h"

#include <QLocale>

QString SizeRule::byteCountText(qint64 bytes)
{
    if (bytes <= 0)
        return QStringLiteral("0 byte");
    if (bytes == 1)
        return QStringLiteral("1 byte");
    // Whole kilobytes, one decimal for megabytes, two beyond.
    const int precision = bytes < 1000 * 1000 ? 0 : bytes < 1000 * 1000 * 1000 ? 1 : 2;
    return QLocale().formattedDataSize(bytes, precision, QLocale::DataSizeSIFormat);
}

qint64 SizeRule::countSize(QList<CleaningItem> &items, const QString &anchor)
{
    qint64 total = 0;
    for (CleaningItem &item : items) {
        qint64 sum = 0;
        for (const QString &path : std::as_const(item.AllList))
            sum += AllocatedSize::fileSizeOf(path, anchor);
        item.sizeText = byteCountText(sum);
        item.isEnabled = sum > 0;
        total += sum;
    }
    return total;
}

void SizeRule::applyTo(CleaningEntry &entry, const QString &anchor)
{
    const qint64 total = countSize(entry.List, anchor);
    entry.Size = byteCountText(total);
    entry.isEnabled = total > 0;
}
