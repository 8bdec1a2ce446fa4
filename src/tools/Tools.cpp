#include "tools/Tools.h"

#include "platform/ItemRemover.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/Platform.h"
#include "tools/CleaningCatalogue.h"
#include "tools/ToolsSelection.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

Tools::Tools(Platform &platform, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_refreshCondition([] { return true; })
    , m_remover(std::make_unique<ItemRemover>(platform.volume().root()))
{
}

Tools::~Tools()
{
    stopBuild();
}

void Tools::setRefreshCondition(std::function<bool()> condition)
{
    m_refreshCondition = condition ? std::move(condition) : [] { return true; };
}

void Tools::setRemover(std::unique_ptr<ItemRemover> remover)
{
    if (remover)
        m_remover = std::move(remover);
}

bool Tools::resetAndAddavailbleApplications()
{
    if (!m_refreshCondition() || m_scanningDone || m_isScanRunningForDetails)
        return false;
    stopBuild();
    m_availbleApp.clear();
    m_selectedRow = -1;
    m_isScanRunningForDetails = true;
    m_scanningDone = false;
    Q_EMIT refreshStarted();
    setHeightDetails();
    m_cancelBuild = false;
    m_buildThread.reset(QThread::create([this] { scanInBG(); }));
    m_buildThread->start();
    return true;
}

// The build thread: every finished entry is appended on the main thread,
// which re-lays out the table before the next builder starts.
void Tools::scanInBG()
{
    const CleaningCatalogue catalogue(m_platform.volume(), m_platform.workspace());
    catalogue.build(
        [this](CleaningEntry entry) {
            MainThread::sync([this, &entry] {
                if (m_cancelBuild)
                    return;
                m_availbleApp.append(std::move(entry));
                Q_EMIT entryAppended(int(m_availbleApp.size() - 1));
                setHeightDetails();
            });
        },
        &m_cancelBuild);
    MainThread::sync([this] {
        if (!m_cancelBuild)
            BGscanDone();
    });
}

void Tools::BGscanDone()
{
    m_isScanRunningForDetails = false;
    m_scanningDone = true;
    Log::line(QStringLiteral("Cleaning catalogue built with %1 entries").arg(m_availbleApp.size()));
    Q_EMIT refreshFinished();
}

// Waits for a running build to give up. Its hand-overs to this thread are
// served meanwhile and do nothing once the build is cancelled. Only those
// calls are delivered: the page that owns the model may be half destroyed,
// and any other event could reach its widgets.
void Tools::stopBuild()
{
    if (!m_buildThread)
        return;
    m_cancelBuild = true;
    while (!m_buildThread->wait(QDeadlineTimer(10)))
        QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    m_buildThread.reset();
}

int Tools::tableHeightFor(qsizetype entries)
{
    if (entries <= 0)
        return 91;
    if (entries <= 5)
        return int(75 * entries + 15);
    return 389;
}

void Tools::setHeightDetails()
{
    reloadTableAndUI();
}

void Tools::reloadTableAndUI()
{
    m_removeButtonOn = ToolsSelection::removeButtonOn(m_availbleApp);
    Q_EMIT tableReloaded();
}

void Tools::checkBoxAction(int row, int state)
{
    if (row < 0 || row >= m_availbleApp.size())
        return;
    ToolsSelection::checkBoxAction(m_availbleApp[row], state);
    reloadTableAndUI();
}

void Tools::ShowDetailsFor(int row)
{
    m_selectedRow = row >= 0 && row < m_availbleApp.size() ? row : -1;
}

const CleaningEntry *Tools::toolsSelectedDic() const
{
    return m_selectedRow >= 0 ? &m_availbleApp.at(m_selectedRow) : nullptr;
}

Tools::DetailListLayout Tools::detailListLayout() const
{
    DetailListLayout layout;
    const CleaningEntry *entry = toolsSelectedDic();
    if (!entry)
        return layout;
    const int items = int(entry->List.size());
    if (entry->isFromAdware) {
        layout.rowHeight = 36;
        layout.alternatingRows = false;
        layout.rows = qMin(items, 6);
    } else {
        layout.rows = qMin(items, 4);
    }
    layout.height = layout.rowHeight * layout.rows + 2;
    return layout;
}

bool Tools::CheckBoxAction(const QString &toolTip, int state)
{
    if (m_selectedRow < 0)
        return false;
    return ToolsSelection::CheckBoxAction(m_availbleApp[m_selectedRow], toolTip, state);
}

void Tools::AddDetailsForRemoval()
{
    if (m_selectedRow < 0)
        return;
    ToolsSelection::AddDetailsForRemoval(m_availbleApp[m_selectedRow]);
    m_selectedRow = -1;
    reloadTableAndUI();
}

CatalogueCleaner::Outcome Tools::cleanSelected()
{
    CatalogueCleaner cleaner(*m_remover);
    return cleaner.cleanSelected(m_availbleApp);
}

bool Tools::cleanAndReloadData()
{
    if (!m_platform.alerts().askYesNo(QStringLiteral("Are you sure you want to remove selected data?"),
                                      QStringLiteral("Alert")))
        return false;
    // A build still running would append to the list being rebuilt.
    stopBuild();
    tellCleanOutcome(cleanSelected());
    m_isScanRunningForDetails = false;
    m_scanningDone = false;
    resetAndAddavailbleApplications();
    return true;
}

void Tools::tellCleanOutcome(const CatalogueCleaner::Outcome &outcome)
{
    if (outcome.succeeded()) {
        m_platform.alerts().inform(QStringLiteral("You have successfully cleared selected data."),
                                   QStringLiteral("Alert"));
        return;
    }
    const qsizetype count = outcome.notRemoved.size();
    m_platform.alerts().inform(
        QStringLiteral("%1 of the selected files and folders could not be removed; they are listed in the next window.")
            .arg(count),
        QStringLiteral("Alert"));
    QList<QUrl> urls;
    for (const QString &path : outcome.notRemovedPaths())
        urls.append(QUrl::fromLocalFile(path));
    Q_EMIT notRemovedListReady(urls);
}
