#include "cli/CliContext.h"
#include "cli/Commands.h"
#include "cli/TerminalText.h"

#include "platform/AnchoredPath.h"
#include "platform/ItemRemover.h"
#include "tools/CatalogueCleaner.h"
#include "tools/CleaningCatalogue.h"
#include "tools/ToolsSelection.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QList<CleaningEntry> buildCatalogue(CliContext &context)
{
    Platform &platform = context.platform();
    return CleaningCatalogue(platform.volume(), platform.workspace()).buildAll();
}

void printItem(QTextStream &out, const CleaningEntry &entry, const CleaningItem &item)
{
    const QString name = TerminalText::escaped(item.NameText);
    if (!item.hasAllList) {
        out << "  " << name << ": " << TerminalText::escaped(item.Path) << '\n';
    } else if (entry.isFromAdware) {
        const bool title = !item.isHeader;
        out << (title ? "  " : "    ") << name;
        if (title && !item.AllList.isEmpty())
            out << " (" << item.AllList.size() << (item.AllList.size() == 1 ? " file)" : " files)");
        out << '\n';
    } else {
        out << "  " << name << ": " << item.sizeText;
        if (!item.isEnabled)
            out << " (nothing to clean)";
        out << '\n';
    }
}

int listCatalogue(CliContext &context, bool json)
{
    const QList<CleaningEntry> entries = buildCatalogue(context);
    if (json) {
        QJsonArray array;
        for (const CleaningEntry &entry : entries)
            array.append(entry.toJson());
        context.out() << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return 0;
    }
    for (const CleaningEntry &entry : entries) {
        context.out() << TerminalText::escaped(entry.Name);
        if (entry.Size && !entry.Size->isEmpty())
            context.out() << ": " << *entry.Size;
        context.out() << '\n';
        for (const CleaningItem &item : entry.List)
            printItem(context.out(), entry, item);
    }
    return 0;
}

// Checks what ITEM names ("Entry/NameText", or "Entry" for the whole entry)
// the way the Tools page's check boxes would. Answers false for an unknown name.
bool select(QList<CleaningEntry> &entries, const QString &name)
{
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    const QString entryName = slash < 0 ? name : name.left(slash);
    for (CleaningEntry &entry : entries) {
        if (entry.Name != entryName)
            continue;
        if (slash < 0) {
            ToolsSelection::checkBoxAction(entry, 1);
            return true;
        }
        return ToolsSelection::CheckBoxAction(entry, name.mid(slash + 1), 1);
    }
    return false;
}

int preview(CliContext &context, const QList<CleaningItem> &items)
{
    const QString root = context.platform().volume().root();
    int count = 0;
    for (const CleaningItem &item : items) {
        for (const QString &path : item.AllList) {
            if (AnchoredPath::exists(root, path)) {
                context.out() << "Would remove: " << TerminalText::escaped(path) << '\n';
                ++count;
            }
        }
    }
    context.out() << count << " path(s) would be removed. Run again with --yes to remove them.\n";
    return 0;
}

int runClean(CliContext &context, const QList<CleaningItem> &items)
{
    ItemRemover remover(context.platform().volume().root());
    const CatalogueCleaner::Outcome outcome = CatalogueCleaner(remover).clean(items);
    for (const QString &path : outcome.removed)
        context.out() << "Removed: " << TerminalText::escaped(path) << '\n';
    for (const auto &[path, reason] : outcome.notRemoved)
        context.out() << "Could not remove: " << TerminalText::escaped(path) << " (" << TerminalText::escaped(reason)
                      << ")\n";
    if (outcome.succeeded()) {
        context.out() << "You have successfully cleared selected data.\n";
        return 0;
    }
    context.out() << outcome.notRemoved.size() << " of the selected files and folders could not be removed.\n";
    return 1;
}

int runItems(CliContext &context)
{
    const bool confirmed = context.takeFlag(QStringLiteral("--yes"));
    const QStringList names = context.arguments().mid(1);
    if (names.isEmpty())
        return context.fail(QStringLiteral("clean run needs at least one ITEM, written \"Entry/NameText\""));
    QList<CleaningEntry> entries = buildCatalogue(context);
    for (const QString &name : names) {
        if (name.startsWith(QLatin1String("--")))
            return context.fail(QStringLiteral("unknown option %1").arg(name));
        if (!select(entries, name))
            return context.fail(QStringLiteral("unknown item '%1'; 'clean list' shows the items").arg(name));
    }
    const QList<CleaningItem> items = CatalogueCleaner::checkedItems(entries);
    return confirmed ? runClean(context, items) : preview(context, items);
}

} // namespace

int runCleanCommand(CliContext &context)
{
    const QString action = context.arguments().value(0);
    if (action == QLatin1String("list") || action == QLatin1String("run")) {
        if (const std::optional<QString> problem = context.homeFolderProblem())
            return context.fail(*problem);
    }
    if (action == QLatin1String("list")) {
        const bool json = context.takeFlag(QStringLiteral("--json"));
        if (context.arguments().size() > 1)
            return context.fail(QStringLiteral("unexpected argument '%1'").arg(context.arguments().at(1)));
        return listCatalogue(context, json);
    }
    if (action == QLatin1String("run"))
        return runItems(context);
    return context.fail(QStringLiteral("usage: clean list [--json] | clean run ITEM... [--yes]"));
}
