#pragma once

#include <QString>

// Every key the application keeps in the user's preferences.
namespace PreferenceKeys {
inline const QString NSApplicationCrashOnExceptions = QStringLiteral("NSApplicationCrashOnExceptions");
inline const QString NSConstraintBasedLayoutVisualizeMutuallyExclusiveConstraints =
    QStringLiteral("NSConstraintBasedLayoutVisualizeMutuallyExclusiveConstraints");
inline const QString SandboxingDone = QStringLiteral("SandboxingDone");
inline const QString kSaveDirectory = QStringLiteral("kSaveDirectory");
inline const QString kSaveDirectoryForHD8 = QStringLiteral("kSaveDirectoryForHD-8");
inline const QString LibraryAccess = QStringLiteral("Library Access");
inline const QString kLastScanDate = QStringLiteral("kLastScanDate");
inline const QString kSaveReport = QStringLiteral("kSaveReport");
inline const QString ScheduleOn = QStringLiteral("ScheduleOn");
inline const QString ScheduleStartDate = QStringLiteral("ScheduleStartDate");
inline const QString ScheduleEndDate = QStringLiteral("ScheduleEndDate");
inline const QString ScheduleTime = QStringLiteral("ScheduleTime");
inline const QString ScheduleType = QStringLiteral("ScheduleType");
inline const QString ScheduleDate = QStringLiteral("ScheduleDate");
inline const QString kIsRunOnStart = QStringLiteral("kIsRunOnStart");
inline const QString kIsDockIcon = QStringLiteral("kIsDockIcon");
inline const QString RealTimeScanONOFF = QStringLiteral("RealTimeScanONOFF");
// Address of the remote text file behind "SandboxingDone".
inline const QString SandboxingURL = QStringLiteral("SandboxingURL");
} // namespace PreferenceKeys
