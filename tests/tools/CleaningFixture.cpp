#include "CleaningFixture.h"

#include <sys/stat.h>

CleaningFixture::CleaningFixture()
    : mac(test.volume())
{
}

QList<CleaningEntry> CleaningFixture::build()
{
    return CleaningCatalogue(test.volume(), test.workspace()).buildAll();
}

QStringList CleaningFixture::names(const QList<CleaningEntry> &entries)
{
    QStringList list;
    for (const CleaningEntry &entry : entries)
        list << entry.Name;
    return list;
}

QStringList CleaningFixture::itemNames(const CleaningEntry &entry)
{
    QStringList list;
    for (const CleaningItem &item : entry.List)
        list << item.NameText;
    return list;
}

const CleaningEntry &CleaningFixture::entryNamed(const QList<CleaningEntry> &entries, const QString &name)
{
    for (const CleaningEntry &entry : entries) {
        if (entry.Name == name)
            return entry;
    }
    ADD_FAILURE() << "no entry " << name.toStdString();
    static const CleaningEntry none;
    return none;
}

const CleaningItem &CleaningFixture::itemNamed(const CleaningEntry &entry, const QString &name)
{
    const qsizetype at = entry.indexOfItem(name);
    if (at >= 0)
        return entry.List.at(at);
    ADD_FAILURE() << "no item " << name.toStdString() << " in " << entry.Name.toStdString();
    static const CleaningItem none;
    return none;
}

qint64 CleaningFixture::blocksOf(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? qint64(info.st_blocks) * 512 : 0;
}
