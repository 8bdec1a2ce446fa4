#pragma once

#include "platform/Volume.h"

#include <QString>

// Writes a small, harmless Mac-like volume with the footprints of several
// adware families planted in the places they use: applications, launch
// agents, Application Support folders, caches, browser extensions. Every
// planted file holds one line of plain text saying it is a test footprint,
// the way the EICAR file serves virus scanners.
class SampleVolume
{
public:
    explicit SampleVolume(Volume volume);

    // Answers false with error set when something could not be written.
    bool write(QString *error);

    static QByteArray footprintText();

private:
    bool file(const QString &path, const QByteArray &contents = footprintText());
    bool app(const QString &path, const QString &bundleIdentifier);
    bool json(const QString &path, const QByteArray &text);

    Volume m_volume;
    QString m_error;
};
