#include "app/RemoteFlag.h"

#include "app/PreferenceKeys.h"
#include "platform/Log.h"
#include "platform/UserDefaults.h"

#include <QNetworkReply>
#include <QNetworkRequest>

RemoteFlag::RemoteFlag(UserDefaults &defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
{
}

QUrl RemoteFlag::defaultUrl()
{
    return QUrl(QStringLiteral("https://www.quorvane.com/sweepling/sandboxing.txt"));
}

QUrl RemoteFlag::url() const
{
    const QString configured = m_defaults.objectForKey(PreferenceKeys::SandboxingURL).toString();
    return configured.isEmpty() ? defaultUrl() : QUrl(configured);
}

void RemoteFlag::checkDataFromURL()
{
    QNetworkRequest request(url());
    request.setTransferTimeout(15000);
    QNetworkReply *reply = m_network.get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        bool done = false;
        if (reply->error() == QNetworkReply::NoError) {
            const QString body = QString::fromUtf8(reply->readAll());
            done = body == QLatin1String("true");
        } else {
            Log::line(QStringLiteral("Remote flag request failed: %1").arg(reply->errorString()));
        }
        m_defaults.setBool(done, PreferenceKeys::SandboxingDone);
        m_defaults.synchronize();
        Q_EMIT finished(done);
    });
}
