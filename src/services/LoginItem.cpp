#include "services/LoginItem.h"

#include "platform/AlertPresenter.h"
#include "platform/Log.h"
#include "services/BackgroundSettings.h"
#include "services/LoginHelperChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

LoginItem::LoginItem(Alerts alerts, BackgroundSettings &settings, QString helperPath)
    : m_alerts(std::move(alerts))
    , m_settings(settings)
    , m_helperPath(std::move(helperPath))
{
}

QString LoginItem::autostartFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // XDG base directories are absolute; a relative one is ignored.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

QString LoginItem::entryPath()
{
    return autostartFolder() + QLatin1Char('/') + LoginHelperChannel::helperIdentifier() + QStringLiteral(".desktop");
}

QString LoginItem::execArgument(const QString &path)
{
    // Inside double quotes: ", `, $ and \ take a backslash; then the value
    // itself escapes every backslash once more, and a literal % is doubled.
    QString quoted;
    for (const QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    // Line breaks cannot stand in a value.
    quoted.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    quoted.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return quoted;
}

QByteArray LoginItem::entryContents(const QString &helperPath)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Sweepling Helper\n"
                                        "Comment=Starts Sweepling at login\n"
                                        "Exec=%1\n"
                                        "NoDisplay=true\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execArgument(helperPath));
    return text.toUtf8();
}

bool LoginItem::isRegistered() const
{
    return QFileInfo::exists(entryPath());
}

bool LoginItem::registerHelper(bool enabled) const
{
    const QString path = entryPath();
    if (!enabled) {
        QFile file(path);
        if (!file.exists() || file.remove())
            return true;
        Log::warning(QStringLiteral("%1 could not be removed: %2").arg(path, file.errorString()));
        return false;
    }
    if (m_helperPath.isEmpty() || !QFileInfo(m_helperPath).isExecutable()) {
        Log::warning(QStringLiteral("The login helper %1 is not an executable").arg(m_helperPath));
        return false;
    }
    if (!QDir().mkpath(autostartFolder())) {
        Log::warning(QStringLiteral("%1 could not be made").arg(autostartFolder()));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(entryContents(m_helperPath)) < 0 || !file.commit()) {
        Log::warning(QStringLiteral("%1 could not be written: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

void LoginItem::setStartAtLoginEnabled(bool enabled)
{
    if (!registerHelper(enabled)) {
        const QString text = enabled ? QStringLiteral("Error in setting at start at login")
                                     : QStringLiteral("Error in removing from start at login");
        Log::line(text);
        m_alerts().ask(QStringLiteral("Error"), text, {QStringLiteral("ok")});
    }
    m_settings.setRunOnStart(enabled);
}

void LoginItem::terminateHelper() const
{
    LoginHelperChannel::sendTerminate();
}

QString LoginItem::helperBesideApplication()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/sweepling-helper");
}
