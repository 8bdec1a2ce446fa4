#pragma once

class UserDefaults;

// The three background settings, with the value a missing key reads as:
// real-time scanning "RealTimeScanONOFF" (on), start at login
// "kIsRunOnStart" (off), dock icon "kIsDockIcon" (shown). Each setter writes
// its key through at once; a write that fails is logged and the value stays
// pending in the preferences object.
class BackgroundSettings
{
public:
    explicit BackgroundSettings(UserDefaults &defaults);

    bool isRealTimeProtectionON() const;
    void setRealTimeProtectionON(bool on);
    bool runOnStart() const;
    void setRunOnStart(bool on);
    bool dockIcon() const;
    void setDockIcon(bool shown);

private:
    bool read(const char *key, bool absent) const;
    void write(const char *key, bool value);

    UserDefaults &m_defaults;
};
