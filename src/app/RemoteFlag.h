#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

class UserDefaults;

// The remote flag "SandboxingDone": a plain text file on the maker's web
// server whose body "true" (exactly) lets scans use the whole disk. Anything
// else, and any failure, stores NO. The address is the preference
// "SandboxingURL", with defaultUrl() when it is not set.
class RemoteFlag : public QObject
{
    Q_OBJECT
public:
    explicit RemoteFlag(UserDefaults &defaults, QObject *parent = nullptr);

    static QUrl defaultUrl();
    QUrl url() const;

    // Sends the request; finished() follows on this object's thread.
    void checkDataFromURL();

Q_SIGNALS:
    void finished(bool sandboxingDone);

private:
    UserDefaults &m_defaults;
    QNetworkAccessManager m_network;
};
