#include "tools/CleaningItem.h"

#include <QJsonArray>

CleaningItem CleaningItem::getDicForList(const QStringList &list, const QString &type, bool isExt)
{
    CleaningItem item;
    item.AllList = list;
    item.NameText = type;
    item.isExt = isExt;
    item.isHeader = !list.isEmpty();
    return item;
}

CleaningItem CleaningItem::historyRow(const QString &name, const QString &path)
{
    CleaningItem item;
    item.NameText = name;
    item.Path = path;
    item.hasAllList = false;
    item.sizeText.clear();
    return item;
}

QJsonObject CleaningItem::toJson() const
{
    QJsonObject json{{QStringLiteral("NameText"), NameText},
                     {QStringLiteral("isChecked"), isChecked},
                     {QStringLiteral("isEnabled"), isEnabled}};
    if (!hasAllList) {
        json.insert(QStringLiteral("Path"), Path);
        return json;
    }
    json.insert(QStringLiteral("AllList"), QJsonArray::fromStringList(AllList));
    json.insert(QStringLiteral("sizeText"), sizeText);
    json.insert(QStringLiteral("isHeader"), isHeader);
    json.insert(QStringLiteral("isExt"), isExt);
    return json;
}
