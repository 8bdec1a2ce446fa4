#include "ui/ScanProgressDisplay.h"

#include "app/AppDelegate.h"
#include "app/NotificationNames.h"
#include "platform/Platform.h"
#include "ui/AppDelegateWindow.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/DashboardView.h"
#include "ui/MiddleElidedLabel.h"
#include "ui/ScanView.h"
#include "ui/UiTiming.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>

using Delivery = NotificationCenter::Delivery;

ScanProgressDisplay::ScanProgressDisplay(AppDelegate &app, DashboardView &dashboard, ScanView &scanView,
                                         QObject *parent)
    : QObject(parent)
    , m_app(app)
    , m_dashboard(&dashboard)
    , m_scanView(&scanView)
{
    NotificationCenter &center = app.platform().notifications();
    // Recorded on the posting thread, drawn by the frame timer.
    m_tokens.append(center.addObserver(NotificationNames::ScanningProgress, nullptr,
                                       [this](const Notification &) { recordSteps(); }));
    m_tokens.append(center.addObserver(NotificationNames::ScanningProgressURL, nullptr, [this](const Notification &n) {
        recordUrl(n.object.toString());
    }));
    center.addObserver(
        NotificationNames::ScanningStatusChange, this, [this](const Notification &) { m_dashboard->ScanningStatusChange(); },
        Delivery::Queued);
    center.addObserver(
        NotificationNames::listChange, this, [this](const Notification &) { changeInList(); }, Delivery::Queued);

    ScanDriver &driver = app.scanDriver();
    connect(&driver, &ScanDriver::ScanningProgressChange, this, &ScanProgressDisplay::ScanningProgressChange);
    connect(&driver, &ScanDriver::scanStarted, this, [this] {
        m_pendingSteps = 0;
        m_urlPending = false;
        m_dashboard->scanBtu()->showSpinner();
        // Also for a scan the schedule or real-time protection started: the
        // kind cannot change under a running scan.
        m_dashboard->btnScanType()->setEnabled(false);
        m_frame.start();
    });
    connect(&driver, &ScanDriver::scanCompleting, this, [this] {
        flush();
        m_frame.stop();
        m_pendingSteps = 0;
        m_urlPending = false;
    });
    connect(&driver, &ScanDriver::scanFinished, this, [this] {
        m_dashboard->scanBtu()->hideSpinner();
        m_dashboard->btnScanType()->setEnabled(true);
        m_dashboard->titleScanButton(m_app.scanDriver().state().scanType);
        m_dashboard->ScanningStatusChange();
        changeInList();
        QTimer::singleShot(UiTiming::delay(2000), this, &ScanProgressDisplay::changeValue);
    });
    connect(&driver, &ScanDriver::scanCancelled, this, [this] { m_dashboard->btnScanType()->setEnabled(true); });
    m_frame.setInterval(kFrameMilliseconds);
    connect(&m_frame, &QTimer::timeout, this, &ScanProgressDisplay::flush);
}

ScanProgressDisplay::~ScanProgressDisplay()
{
    for (int token : std::as_const(m_tokens))
        m_app.platform().notifications().removeObserver(token);
}

void ScanProgressDisplay::recordSteps()
{
    ++m_pendingSteps;
}

void ScanProgressDisplay::recordUrl(const QString &text)
{
    {
        QMutexLocker locker(&m_lock);
        m_latestUrl = text;
    }
    m_urlPending = true;
}

void ScanProgressDisplay::flush()
{
    if (!m_scanView || !m_dashboard)
        return;
    const int steps = m_pendingSteps.exchange(0);
    const bool url = m_urlPending.exchange(false);
    if (steps == 0 && !url)
        return;
    if (steps > 0)
        m_scanView->setProgress(m_scanView->progress() + steps);
    if (url) {
        const ScanState &state = m_app.scanDriver().state();
        if (state.totalScanCount >= 1 || state.fileCountCompleted > 0) {
            m_scanView->setIndeterminate(false);
        } else if (state.scanType != 0) {
            m_scanView->setProgress(0);
            m_scanView->setIndeterminate(true);
        }
        QString text;
        {
            QMutexLocker locker(&m_lock);
            text = m_latestUrl;
        }
        m_scanView->virusUrlChange(text);
        ++m_labelUpdates;
    }
    ScanningStatusUI();
}

void ScanProgressDisplay::ScanningProgressChange(const QString &text, int step)
{
    if (m_app.scanDriver().state().scanType != 0 || !m_scanView)
        return;
    m_scanView->setProgress(step);
    m_scanView->virusUrlChange(text);
    QTimer::singleShot(UiTiming::delay(50), this, [this, step] {
        if (m_scanView && m_app.scanDriver().isScanning())
            m_scanView->setProgress(qMax(m_scanView->progress(), double(step + 1)));
        ScanningStatusUI();
    });
    m_dashboard->scanningProgressLabelText()->setStyleSheet(QStringLiteral("color: gray;"));
    ScanningStatusUI();
}

void ScanProgressDisplay::ScanningStatusUI()
{
    if (!m_scanView || !m_dashboard)
        return;
    if (m_app.scanDriver().isScanning()) {
        m_dashboard->scanningProgressLabelText()->setText(
            m_dashboard->scanningProgressLabelText()->fontMetrics().elidedText(
                m_scanView->scanFileText()->fullText(), Qt::ElideMiddle,
                m_dashboard->scanningProgressLabelText()->width()));
        m_dashboard->lblScanProgress()->setText(m_scanView->scanningProgressText()->text());
        return;
    }
    m_dashboard->scanningProgressLabelText()->setText(QStringLiteral("Not Running"));
}

void ScanProgressDisplay::changeInList()
{
    if (!m_scanView || !m_dashboard)
        return;
    m_scanView->changeInList(m_app.scanDriver().isScanning(), m_dashboard->isTodayScan());
}

void ScanProgressDisplay::changeValue()
{
    if (!m_dashboard || m_app.scanDriver().isScanning())
        return;
    m_dashboard->lblScanProgress()->clear();
    m_dashboard->titleScanButton(m_app.scanDriver().state().scanType);
}
