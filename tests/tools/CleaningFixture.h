#pragma once

#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"
#include "tools/CleaningCatalogue.h"

#include <gtest/gtest.h>

// A Mac-like volume in a temporary folder for the cleaning tests, with
// shortcuts to build and look through its catalogue.
class CleaningFixture : public ::testing::Test
{
protected:
    CleaningFixture();

    // Host path of a home-relative path ("/Library/Safari" -> ".../Users/tester/Library/Safari").
    QString home(const QString &rest) const { return test.volume().home(rest); }
    QList<CleaningEntry> build();
    static QStringList names(const QList<CleaningEntry> &entries);
    static QStringList itemNames(const CleaningEntry &entry);
    // The entry of that name; fails the test when it is missing.
    static const CleaningEntry &entryNamed(const QList<CleaningEntry> &entries, const QString &name);
    static const CleaningItem &itemNamed(const CleaningEntry &entry, const QString &name);
    // Allocated bytes of one entry as the file system reports it.
    static qint64 blocksOf(const QString &path);

    TestPlatform test;
    MacVolumeBuilder mac;
};
