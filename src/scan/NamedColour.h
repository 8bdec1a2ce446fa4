#pragma once

#include <QString>

// A colour kept by name and value, so records carry their display colour
// without depending on a GUI library. Views turn it into a real colour.
struct NamedColour
{
    QString name;
    int red = 0;
    int green = 0;
    int blue = 0;
    double alpha = 1.0;

    static NamedColour black() { return {QStringLiteral("black"), 0, 0, 0, 1.0}; }
    static NamedColour grey() { return {QStringLiteral("grey"), 128, 128, 128, 1.0}; }
    // The threat count of a report that found something, and of one that did not.
    static NamedColour reportRed() { return {QStringLiteral("red"), 181, 47, 53, 1.0}; }
    static NamedColour reportGreen() { return {QStringLiteral("green"), 74, 192, 86, 1.0}; }

    bool operator==(const NamedColour &) const = default;
};
