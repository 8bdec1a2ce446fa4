#pragma once

#include "tools/CleaningEntry.h"

// The size rule of the cleaning catalogue: every item's "sizeText" and
// "isEnabled" from the allocated size of its paths, and an entry's "Size"
// and "isEnabled" from the total. Sizes are worded in decimal units
// (1 kB = 1000 bytes); nothing at all reads "0 byte" and cannot be selected.
class SizeRule
{
public:
    static QString byteCountText(qint64 bytes);
    // countSize: sizes every item (a path listed twice counts twice) and
    // answers the total. anchor: the volume root the paths lie below.
    static qint64 countSize(QList<CleaningItem> &items, const QString &anchor);
    // Sizes the entry's items and sets its "Size" and "isEnabled".
    static void applyTo(CleaningEntry &entry, const QString &anchor);
};
