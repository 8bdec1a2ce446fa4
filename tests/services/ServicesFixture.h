#pragma once

#include "app/AccessController.h"
#include "app/PreferenceKeys.h"
#include "scan/ScanDriver.h"
#include "services/Clock.h"
#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <atomic>
#include <memory>

// A clock the test sets.
class ManualClock : public Clock
{
public:
    explicit ManualClock(QDateTime now) : m_now(std::move(now)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &now) { m_now = now; }
    void advance(qint64 seconds) { m_now = m_now.addSecs(seconds); }

private:
    QDateTime m_now;
};

// A platform over a small volume and a scan driver whose detector phase
// offers the files in `findings` and, when `hold` is set, waits until the
// test releases it, so a scan can be kept running.
class ServicesFixture
{
public:
    ServicesFixture()
        : mac(test.volume())
        , access(test.platform())
    {
        mac.dir(QStringLiteral("~/Library"));
        driver = std::make_unique<ScanDriver>(test.platform(), access,
                                              ScanPhases{[this](ScanHost &host) {
                                                             for (const QString &path : findings)
                                                                 host.addIfAvail(QUrl::fromLocalFile(path),
                                                                                 QFileInfo(path).fileName(),
                                                                                 QStringLiteral("Genieo"),
                                                                                 QStringLiteral("High Risk"), 0,
                                                                                 FindingSource::Detector);
                                                             if (hold)
                                                                 gate.acquire();
                                                         },
                                                         {}, {}});
        driver->setWholeDiskAccess(false);
    }
    ~ServicesFixture()
    {
        gate.release(100);
        if (driver->isScanning()) {
            QSignalSpy finished(driver.get(), &ScanDriver::scanFinished);
            finished.wait(10000);
        }
    }

    void release() { gate.release(); }
    // Waits for the running scan's end.
    bool finish()
    {
        QSignalSpy finished(driver.get(), &ScanDriver::scanFinished);
        release();
        return finished.wait(10000);
    }

    TestPlatform test;
    MacVolumeBuilder mac;
    AccessController access;
    QStringList findings;
    std::atomic<bool> hold{false};
    QSemaphore gate;
    std::unique_ptr<ScanDriver> driver;
};
