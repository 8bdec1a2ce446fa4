#pragma once

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

// Where a test puts the volume it builds. Every rule on paths reads the path
// on the volume, so a scan must find exactly the same things on a volume
// mounted below folders whose names hold signature words ("Genieo",
// "MacKeeper backup"), the maker's product words ("Sweepling"), a leading dot
// and a bundle extension as on one mounted at a plain path. Scan fixtures are
// value-parameterised on the place and run at both.
enum class VolumePlace { Plain, Hostile };

// The host folder for a volume placed inside parent; its parent folders are
// made, the folder itself is not.
QString placedVolumeRoot(const QString &parent, VolumePlace place);

// The folders above the volume root at the hostile place, below parent.
QString hostileMountFolder(const QString &parent);

// A temporary folder holding a volume root at a place: path() is the root
// (made, empty), and everything goes when the object does.
class PlacedVolumeFolder
{
public:
    explicit PlacedVolumeFolder(VolumePlace place);

    bool isValid() const { return m_tmp.isValid(); }
    QString path() const { return m_root; }
    QString filePath(const QString &relative) const { return m_root + QLatin1Char('/') + relative; }
    // The temporary folder around the root.
    QString outerPath() const { return m_tmp.path(); }

private:
    QTemporaryDir m_tmp;
    QString m_root;
};

inline void PrintTo(VolumePlace place, std::ostream *out)
{
    *out << (place == VolumePlace::Plain ? "plain path" : "below signature and product words");
}

inline auto everyVolumePlace() { return ::testing::Values(VolumePlace::Plain, VolumePlace::Hostile); }

inline std::string volumePlaceName(const ::testing::TestParamInfo<VolumePlace> &info)
{
    return info.param == VolumePlace::Plain ? "PlainPath" : "BelowSignatureAndProductWords";
}
