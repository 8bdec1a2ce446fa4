#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// One row of a cleaning entry's detail list: the files and folders removed
// together when the row is selected and cleaned. Field names are the keys the
// Tools page and the command line show. Plain value; the Tools model owns the
// catalogue and changes it on the main thread only.
struct CleaningItem
{
    QString NameText;
    // Host paths; each may or may not exist.
    QStringList AllList;
    // 1 checked, 0 unchecked, -1 partly checked (title rows of a grouped list).
    int isChecked = 0;
    QString sizeText = QStringLiteral("0KB");
    bool isExt = false;
    // True exactly when the row stands for files; title rows carry false.
    bool isHeader = false;
    bool isEnabled = true;
    // History rows only: the host path of one browser history database.
    QString Path;
    // False for the history rows, which carry no "AllList" and no "sizeText".
    bool hasAllList = true;

    // A row standing for the given paths (isHeader := the list is not empty).
    static CleaningItem getDicForList(const QStringList &list, const QString &type, bool isExt);
    // A history row: name and database path, nothing to size or remove.
    static CleaningItem historyRow(const QString &name, const QString &path);

    QJsonObject toJson() const;
};
