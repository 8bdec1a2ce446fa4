#pragma once

#include "tools/CatalogueCleaner.h"
#include "tools/CleaningEntry.h"

#include <QObject>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>

class Platform;
class ItemRemover;
class QThread;

// The model behind the Tools page: the cleaning catalogue (availbleApp),
// its refresh on one background thread with entries arriving one by one,
// the selection on both levels, the detail list and the clean. Lives on the
// main thread; the catalogue list and the refresh flags are changed there
// only (the build thread hands each entry over and waits). What a clean
// could not remove is handed to the application's not-removed list window
// (notRemovedListReady). The platform must outlive the model.
class Tools : public QObject
{
    Q_OBJECT
public:
    struct DetailListLayout
    {
        int rowHeight = 50;
        bool alternatingRows = true;
        int rows = 0;
        int height = 2;
    };

    explicit Tools(Platform &platform, QObject *parent = nullptr);
    ~Tools() override;

    // What else a refresh needs: the home folder is accessible and the
    // Tools tab is the one shown. Always true until the application sets it.
    void setRefreshCondition(std::function<bool()> condition);
    void setRemover(std::unique_ptr<ItemRemover> remover);

    // Starts a refresh when the condition holds and no catalogue is being
    // built or already built; answers whether it started.
    bool resetAndAddavailbleApplications();

    const QList<CleaningEntry> &availbleApp() const { return m_availbleApp; }
    bool isScanRunningForDetails() const { return m_isScanRunningForDetails; }
    bool scanningDone() const { return m_scanningDone; }
    bool removeButtonOn() const { return m_removeButtonOn; }

    // The table: hidden with no entries; its height for n entries.
    bool isTableHidden() const { return m_availbleApp.isEmpty(); }
    static int tableHeightFor(qsizetype entries);

    // The entry check box of a row (state after the click).
    void checkBoxAction(int row, int state);
    // Opens the detail list of a row.
    void ShowDetailsFor(int row);
    bool isDetailListShown() const { return m_selectedRow >= 0; }
    const CleaningEntry *toolsSelectedDic() const;
    DetailListLayout detailListLayout() const;
    // An item check box of the open detail list, found by its tooltip.
    bool CheckBoxAction(const QString &toolTip, int state);
    // Closes the detail list and sets the entry's state from its items.
    void AddDetailsForRemoval();

    // The Remove button: asks, cleans, tells the outcome and refreshes.
    // Answers false when the user said no.
    bool cleanAndReloadData();
    CatalogueCleaner::Outcome cleanSelected();

Q_SIGNALS:
    void refreshStarted();
    void entryAppended(int row);
    // The table was reloaded; removeButtonOn() is current.
    void tableReloaded();
    void refreshFinished();
    // A clean left these files and folders in place; the not-removed list
    // window shows them.
    void notRemovedListReady(const QList<QUrl> &urls);

private:
    void scanInBG();
    void BGscanDone();
    void setHeightDetails();
    void reloadTableAndUI();
    void stopBuild();
    void tellCleanOutcome(const CatalogueCleaner::Outcome &outcome);

    Platform &m_platform;
    std::function<bool()> m_refreshCondition;
    std::unique_ptr<ItemRemover> m_remover;
    QList<CleaningEntry> m_availbleApp;
    std::unique_ptr<QThread> m_buildThread;
    std::atomic<bool> m_cancelBuild{false};
    bool m_isScanRunningForDetails = false;
    bool m_scanningDone = false;
    bool m_removeButtonOn = false;
    int m_selectedRow = -1;
};
