#include "reports/Reports.h"

#include "app/DateWording.h"
#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/Platform.h"
#include "reports/PDFGenerate.h"

#include <QPointer>

using PreferenceKeys::kSaveReport;

Reports::Reports(Platform &platform, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_store(platform.defaults())
    , m_removal(platform.volume().root())
    , m_guard(platform, [this] { return m_arrAdwarePath; })
{
    m_guard.setDeferredRemoval([this] { reloadReportView(); });
    QPointer<Reports> self(this);
    platform.notifications().addObserver(NotificationNames::RefreshReport, this,
                                         [self](const Notification &notification) {
                                             // Handled on the main thread whoever posts it.
                                             if (MainThread::isCurrent()) {
                                                 if (self)
                                                     self->refreshReport(notification);
                                                 return;
                                             }
                                             MainThread::async([self, notification] {
                                                 if (self)
                                                     self->refreshReport(notification);
                                             });
                                         });
    m_reportList = loadListReportWithKey(kSaveReport);
    m_isReportAvailable = !m_reportList.isEmpty();
}

QList<ReportPtr> Reports::loadListReportWithKey(const QString &key)
{
    return m_store.load(key);
}

bool Reports::saveListReport(const QList<ReportPtr> &list, const QString &key)
{
    const bool saved = m_store.save(list, key).has_value();
    m_storeError = m_store.error();
    if (!saved)
        Q_EMIT storeFailed(m_storeError);
    return saved;
}

void Reports::writeReportList()
{
    const auto written = m_store.save(m_reportList, kSaveReport);
    m_storeError = m_store.error();
    if (written) {
        m_reportList = *written;
    } else {
        // The store is as it was: show that, not the change that was lost.
        Log::warning(QStringLiteral("The reports were not stored: %1").arg(m_storeError));
        m_reportList = m_store.load(kSaveReport);
        Q_EMIT storeFailed(m_storeError);
    }
    setFlag(m_isReportAvailable, !m_reportList.isEmpty(), &Reports::isReportAvailableChanged);
    Q_EMIT reportListChanged();
}

void Reports::updateReportInDefaults(const ReportPtr &report)
{
    if (!report)
        return;
    if (!MainThread::isCurrent()) {
        QPointer<Reports> self(this);
        MainThread::async([self, report] {
            if (self)
                self->updateReportInDefaults(report);
        });
        return;
    }
    const auto same = std::find_if(m_reportList.begin(), m_reportList.end(), [&](const ReportPtr &entry) {
        return entry->reportId() == report->reportId();
    });
    if (same != m_reportList.end())
        m_reportList.erase(same);
    m_reportList.insert(0, report);
    writeReportList();
}

void Reports::reloadReportDates()
{
    m_reportList = loadListReportWithKey(kSaveReport);
    const QDateTime now = QDateTime::currentDateTime();
    for (const ReportPtr &report : std::as_const(m_reportList))
        report->setReportDateDisplay(DateWording::relativeDateStringForDate(report->scanDate(), now));
    setFlag(m_isReportAvailable, !m_reportList.isEmpty(), &Reports::isReportAvailableChanged);
    Q_EMIT reportListChanged();
}

void Reports::backtoReportList()
{
    setPrintEnabled(false);
    setFlag(m_quarantineBtn, false, &Reports::quarantineBtnChanged);
    setFlag(m_quarantineBtnHide, false, &Reports::quarantineBtnHideChanged);
    setRemoveButton(false, false);
    setFlag(m_isReportDetails, false, &Reports::isReportDetailsChanged);
    setBox(Box::List);
    reloadReportDates();
}

void Reports::trashReport()
{
    if (!m_platform.alerts().askYesNo(deleteQuestion(), QStringLiteral("Alert")))
        return;
    const bool hadReport = m_selectedReport != nullptr;
    const QString reportId = hadReport ? m_selectedReport->reportId() : QString();
    backtoReportList();
    if (hadReport) {
        // By identifier: the open report may be a separate object from the
        // re-read list's copy (a report opened from the Scan page).
        const auto found = std::find_if(m_reportList.begin(), m_reportList.end(),
                                        [&](const ReportPtr &entry) { return entry->reportId() == reportId; });
        if (found != m_reportList.end())
            m_reportList.erase(found);
    }
    writeReportList();
}

void Reports::openThisReport(int row)
{
    if (row < 0 || row >= m_reportList.size()) {
        Log::warning(QStringLiteral("No report at row %1").arg(row));
        return;
    }
    const ReportPtr report = m_reportList.at(row);
    appendThreatPaths(report);
    if (report->adwareCount() == 0) {
        if (!m_platform.alerts().askYesNo(deleteQuestion(), QStringLiteral("Alert")))
            return;
        m_reportList.removeOne(report);
        writeReportList();
        return;
    }
    Q_EMIT detailHeaderChanged(report);
    m_selectedReport = report;
    m_tempReport = report;
    Q_EMIT detailTableChanged();
    ChangeSelection();
    reloadReportDetails();
    setFlag(m_isReportDetails, true, &Reports::isReportDetailsChanged);
    setBox(Box::Detail);
    // Every present threat starts checked, or none when none is present.
    checkAllAction(m_checkAllState);
    setPrintEnabled(true);
}

void Reports::refreshReport(const Notification &notification)
{
    const ReportPtr report = notification.object.value<ReportPtr>();
    if (!report) {
        Log::warning(QStringLiteral("RefreshReport carries no report"));
        return;
    }
    refreshReport(report);
}

void Reports::refreshReport(const ReportPtr &report)
{
    if (!report)
        return;
    m_selectedReport = report;
    showDetail(true);
}

void Reports::viewReport()
{
    if (m_selectedReport)
        showDetail(false);
}

void Reports::showDetail(bool appendPaths)
{
    Q_EMIT detailHeaderChanged(m_selectedReport);
    if (appendPaths)
        appendThreatPaths(m_selectedReport);
    m_tempReport = m_selectedReport;
    Q_EMIT detailTableChanged();
    ChangeSelection();
    reloadReportDetails();
    setFlag(m_isReportDetails, true, &Reports::isReportDetailsChanged);
    setBox(Box::Detail);
    // Presence was just re-checked (every present threat checked): the
    // selection rules turn the check-all box and the remove button on for a
    // report with a present threat, and off for one without.
    ChangeSelection();
    setPrintEnabled(true);
    if (m_reportList.isEmpty()) {
        setFlag(m_isReportDetails, false, &Reports::isReportDetailsChanged);
        setFlag(m_isReportAvailable, false, &Reports::isReportAvailableChanged);
        setBox(Box::List);
    }
}

void Reports::reloadReportDetails()
{
    if (m_selectedReport) {
        for (const AdwarePtr &adware : std::as_const(m_selectedReport->adwareList()))
            adware->recheckPresence(m_platform.volume().root());
    }
    Q_EMIT reportListChanged();
}

void Reports::ChangeSelection()
{
    const qsizetype checked = selectedThreats(true).size();
    qsizetype present = 0;
    qsizetype presentChecked = 0;
    if (m_selectedReport) {
        for (const AdwarePtr &adware : m_selectedReport->adwareList()) {
            present += adware->isAvail() ? 1 : 0;
            presentChecked += adware->isAvail() && adware->isChecked() ? 1 : 0;
        }
    }
    setFlag(m_quarantineBtnHide, present != 0, &Reports::quarantineBtnHideChanged);
    setFlag(m_quarantineBtn, checked != 0, &Reports::quarantineBtnChanged);
    if (present != 0) {
        const Qt::CheckState state = checked == 0         ? Qt::Unchecked
                                     : checked == present ? Qt::Checked
                                                          : Qt::PartiallyChecked;
        setCheckAll(state, true);
    } else {
        setCheckAll(Qt::Unchecked, false);
    }
    // The remove button's one state: shown while a threat is present,
    // enabled while a present threat is checked.
    setRemoveButton(present != 0, presentChecked != 0);
}

void Reports::checkAllAction(Qt::CheckState newState)
{
    const bool on = newState != Qt::Unchecked;
    setCheckAll(on ? Qt::Checked : Qt::Unchecked, m_checkAllEnabled);
    if (m_selectedReport) {
        for (const AdwarePtr &adware : std::as_const(m_selectedReport->adwareList())) {
            adware->recheckPresence(m_platform.volume().root());
            if (!on)
                adware->setIsChecked(false);
        }
    }
    ChangeSelection();
    Q_EMIT detailTableChanged();
}

void Reports::checkClicked(int row, bool on)
{
    if (!m_selectedReport || row < 0 || row >= m_selectedReport->adwareList().size()) {
        Log::warning(QStringLiteral("No threat at row %1 of the open report").arg(row));
        return;
    }
    m_selectedReport->adwareList().at(row)->setIsChecked(on);
    ChangeSelection();
}

void Reports::removeSelected()
{
    m_removal.emptyLists();
    if (!m_selectedReport)
        return;
    if (!m_guard.forceQuitBrowsers()) {
        ChangeSelection();
        return;
    }
    applyRemoval(ThreatRemoval::Order::FailedRemovedLeftAlone, OutcomeDisplay::failedFormat());
}

void Reports::reloadReportView()
{
    m_removal.emptyLists();
    if (m_selectedReport)
        applyRemoval(ThreatRemoval::Order::RemovedFailedLeftAlone, OutcomeDisplay::spacedFailedFormat());
}

void Reports::applyRemoval(ThreatRemoval::Order order, const QString &failedFormat)
{
    removeThisAdware(selectedThreats(true));
    for (const AdwarePtr &adware : selectedThreats(false))
        m_removal.markNoAction(adware);
    if (m_tempReport)
        m_tempReport->setAdwareList(m_removal.outcomeList(order));
    m_summary = OutcomeDisplay::summary(m_removal.unDeletedAdware().size(), failedFormat,
                                        OutcomeDisplay::successText());
    Q_EMIT summaryChanged(m_summary);
    reloadThreatDetails();
    ChangeSelection();
}

void Reports::removeAdwareFromReport()
{
    removeThisAdware(selectedThreats(true));
    reloadReportDetails();
    ChangeSelection();
    Q_EMIT detailTableChanged();
}

void Reports::removeThisAdware(const QList<AdwarePtr> &threats)
{
    m_removal.removeThisAdware(threats);
}

void Reports::reloadThreatDetails()
{
    setBox(Box::Outcome);
    Q_EMIT outcomeTableChanged();
}

void Reports::showAdwareInFileDelegate(int row)
{
    if (!m_tempReport || row < 0 || row >= m_tempReport->adwareList().size())
        return;
    m_platform.workspace().revealInFileManager(m_tempReport->adwareList().at(row)->path());
}

void Reports::makeAndPrintPDF()
{
    if (!m_selectedReport)
        return;
    const QString path = PDFGenerate::createPDFFileFor(m_selectedReport, m_platform.volume());
    if (!path.isEmpty())
        Q_EMIT printRequested(path);
}

ReportPtr Reports::reportWithId(const QString &reportId) const
{
    for (const ReportPtr &report : m_reportList) {
        if (report->reportId().compare(reportId, Qt::CaseInsensitive) == 0)
            return report;
    }
    return nullptr;
}

void Reports::appendThreatPaths(const ReportPtr &report)
{
    for (const AdwarePtr &adware : std::as_const(report->adwareList()))
        m_arrAdwarePath.append(adware->path());
}

QList<AdwarePtr> Reports::selectedThreats(bool checked) const
{
    QList<AdwarePtr> threats;
    if (m_selectedReport) {
        for (const AdwarePtr &adware : m_selectedReport->adwareList()) {
            if (adware->isChecked() == checked)
                threats.append(adware);
        }
    }
    return threats;
}

void Reports::setFlag(bool &field, bool value, void (Reports::*changed)(bool))
{
    if (field == value)
        return;
    field = value;
    Q_EMIT(this->*changed)(value);
}

void Reports::setCheckAll(Qt::CheckState state, bool enabled)
{
    if (m_checkAllState == state && m_checkAllEnabled == enabled)
        return;
    m_checkAllState = state;
    m_checkAllEnabled = enabled;
    Q_EMIT checkAllChanged(state, enabled);
}

void Reports::setRemoveButton(bool shown, bool enabled)
{
    if (m_removeButtonShown == shown && m_removeButtonEnabled == enabled)
        return;
    m_removeButtonShown = shown;
    m_removeButtonEnabled = enabled;
    Q_EMIT removeButtonChanged(shown, enabled);
}

void Reports::setPrintEnabled(bool enabled)
{
    if (m_printEnabled == enabled)
        return;
    m_printEnabled = enabled;
    Q_EMIT printItemChanged(enabled);
}

void Reports::setBox(Box box)
{
    if (m_box == box)
        return;
    m_box = box;
    Q_EMIT boxChanged(box);
}
