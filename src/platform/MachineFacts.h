#pragma once

#include <QString>

// Facts about the computer printed in reports: its name, model and serial
// number. On this host the model and serial come from the firmware tables
// (DMI) when they can be read, and read "Not available" when they cannot
// (the serial is readable by root only).
struct MachineFacts
{
    QString computerName;
    QString model;
    QString serialNumber;
    QString loginName;

    static MachineFacts read(const QString &loginName);
    static QString notAvailableText();
};
