#pragma once

#include <QString>

#include <functional>

class AlertPresenter;
class BackgroundSettings;

// Start at login through the helper executable: on Linux an XDG autostart
// entry "$XDG_CONFIG_HOME/autostart/com.brindlecast.AdwareHelper.desktop"
// (~/.config when the variable is unset or not absolute) that runs
// sweepling-helper. A registration that fails shows the "Error" alert and
// the setting is stored all the same.
class LoginItem
{
public:
    // alerts answers the presenter in use when an alert is due: the
    // application may replace its presenter after this object was made.
    using Alerts = std::function<AlertPresenter &()>;
    LoginItem(Alerts alerts, BackgroundSettings &settings, QString helperPath);

    static QString autostartFolder();
    static QString entryPath();
    // The entry's text for a helper at helperPath.
    static QByteArray entryContents(const QString &helperPath);
    // A path as one argument of an entry's Exec line (quoted, escaped).
    static QString execArgument(const QString &path);

    // Writes (true) or removes (false) the entry; answers false on failure.
    bool registerHelper(bool enabled) const;
    bool isRegistered() const;

    // The Dashboard's check box: register or unregister, store "kIsRunOnStart".
    void setStartAtLoginEnabled(bool enabled);

    // At start, when start at login is on: tells a running helper to end.
    void terminateHelper() const;

    // sweepling-helper beside the running executable.
    static QString helperBesideApplication();

private:
    Alerts m_alerts;
    BackgroundSettings &m_settings;
    QString m_helperPath;
};
