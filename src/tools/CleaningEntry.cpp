#include "tools/CleaningEntry.h"

#include <QJsonArray>

qsizetype CleaningEntry::indexOfItem(const QString &nameText) const
{
    for (qsizetype i = 0; i < List.size(); ++i) {
        if (List.at(i).NameText == nameText)
            return i;
    }
    return -1;
}

QJsonObject CleaningEntry::toJson() const
{
    QJsonArray items;
    for (const CleaningItem &item : List)
        items.append(item.toJson());
    QJsonObject json{{QStringLiteral("Name"), Name},
                     {QStringLiteral("isChecked"), isChecked},
                     {QStringLiteral("isEnabled"), isEnabled},
                     {QStringLiteral("isFromAdware"), isFromAdware},
                     {QStringLiteral("List"), items}};
    if (Size)
        json.insert(QStringLiteral("Size"), *Size);
    return json;
}
