#pragma once

#include "scan/AdwareScanReport.h"
#include "support/MacVolumeBuilder.h"
#include "support/RefusingItemRemover.h"
#include "support/TestPlatform.h"

#include <QUrl>

// A temporary Mac volume with threats on it, and a remover that can be told
// to refuse some of them.
struct RemovalFixture
{
    RemovalFixture()
        : mac(test.volume())
        , remover(test.volume().root())
    {
    }

    // A threat record for a file made at the volume path.
    AdwarePtr threat(const QString &volumePath, const QString &infection = QStringLiteral("Adware"))
    {
        return threatAt(mac.file(volumePath), infection);
    }

    static AdwarePtr threatAt(const QString &hostPath, const QString &infection = QStringLiteral("Adware"))
    {
        return Adware::AdwareWithName(hostPath.section(QLatin1Char('/'), -1), true, infection, 0,
                                      QUrl::fromLocalFile(hostPath), QStringLiteral("High Risk"));
    }

    static QStringList paths(const QList<AdwarePtr> &threats)
    {
        QStringList list;
        for (const AdwarePtr &adware : threats)
            list << adware->path();
        return list;
    }

    TestPlatform test;
    MacVolumeBuilder mac;
    RefusingItemRemover remover;
};
