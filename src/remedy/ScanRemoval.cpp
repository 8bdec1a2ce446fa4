#include "remedy/ScanRemoval.h"

#include "platform/Log.h"
#include "platform/Platform.h"

ScanRemoval::ScanRemoval(Platform &platform, ItemRemover *remover, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_removal(platform.volume().root())
    , m_guard(platform, [this] { return m_arrAdWarePath; })
{
    m_removal.setRemover(remover);
    m_guard.setDeferredRemoval([this] { reloadThreats(); });
}

void ScanRemoval::scanStarted()
{
    m_arrAdwareList.clear();
    m_arrThreats.clear();
    m_outcomeShown = false;
    Q_EMIT quarantineEnabledChanged(false);
}

void ScanRemoval::scanEnded(const QList<AdwarePtr> &threats, const ReportPtr &report)
{
    m_arrAdwareList.append(threats);
    m_arrThreats.append(threats);
    m_report = report;
    m_arrAdWarePath.clear();
    if (report) {
        for (const AdwarePtr &adware : report->adwareList())
            m_arrAdWarePath.append(adware->path());
    }
    Q_EMIT quarantineEnabledChanged(quarantineEnabled());
}

void ScanRemoval::checkBoxAction(int row, bool on)
{
    if (row < 0 || row >= m_arrAdwareList.size()) {
        Log::warning(QStringLiteral("No threat at row %1 of the scan list").arg(row));
        return;
    }
    const AdwarePtr adware = m_arrAdwareList.at(row);
    if (on) {
        if (!m_arrThreats.contains(adware))
            m_arrThreats.append(adware);
    } else {
        m_arrThreats.removeAll(adware);
    }
    Q_EMIT quarantineEnabledChanged(quarantineEnabled());
}

bool ScanRemoval::checkForAvailble(const QString &volumeRoot)
{
    if (m_outcomeShown)
        return false;
    const auto vanished = [&volumeRoot](const AdwarePtr &adware) {
        return !Adware::fileExistsAtPath(adware->path(), volumeRoot);
    };
    const qsizetype dropped = m_arrAdwareList.removeIf(vanished);
    if (dropped == 0)
        return false;
    m_arrThreats.removeIf(vanished);
    Q_EMIT quarantineEnabledChanged(quarantineEnabled());
    return true;
}

void ScanRemoval::removeAdwarePressed()
{
    m_removal.emptyLists();
    m_reportToUpdate = m_report;
    for (const AdwarePtr &adware : std::as_const(m_arrAdwareList)) {
        if (!m_arrThreats.contains(adware))
            m_removal.markNoAction(adware);
    }
    if (!m_guard.forceQuitBrowsers())
        return;
    removeSelectedAndShow(ThreatRemoval::Order::FailedRemovedLeftAlone);
}

void ScanRemoval::reloadThreats()
{
    m_removal.emptyRemovedAndFailed();
    if (m_isScanning && m_isScanning())
        return;
    removeSelectedAndShow(ThreatRemoval::Order::FailedLeftAloneRemoved);
}

void ScanRemoval::removeThisAdware(const QList<AdwarePtr> &threats)
{
    m_removal.removeThisAdware(threats, true);
}

void ScanRemoval::removeSelectedAndShow(ThreatRemoval::Order order)
{
    m_outcomeShown = true;
    Q_EMIT outcomeBoxShown();
    removeThisAdware(m_arrThreats);
    if (m_reportToUpdate)
        m_reportToUpdate->setAdwareList(m_removal.outcomeList(order));
    m_summary = OutcomeDisplay::summary(m_removal.unDeletedAdware().size(), OutcomeDisplay::spacedFailedFormat());
    Q_EMIT threatTableReloaded();
    Q_EMIT summaryChanged(m_summary);
}
