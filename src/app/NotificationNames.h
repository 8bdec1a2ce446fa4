#pragma once

#include <QString>

// Names of the notifications posted on the default notification centre.
namespace NotificationNames {
inline const QString ScanningProgress = QStringLiteral("ScanningProgress");
inline const QString ScanningProgressURL = QStringLiteral("ScanningProgressURL");
inline const QString ScanningStatusUI = QStringLiteral("ScanningStatusUI");
inline const QString ScanningStatusChange = QStringLiteral("ScanningStatusChange");
inline const QString listChange = QStringLiteral("listChange");
inline const QString UpdateThreat = QStringLiteral("UpdateThreat");
inline const QString StopScan = QStringLiteral("StopScan");
inline const QString RefreshReport = QStringLiteral("RefreshReport");
// One threat found by a background scan, for the notification cards (object: AdwarePtr).
inline const QString noteCustom = QStringLiteral("noteCustom");
} // namespace NotificationNames
