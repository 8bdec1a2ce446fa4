#include "remedy/DirectRemoval.h"

#include "platform/Platform.h"
#include "remedy/FileList.h"
#include "remedy/ThreatRemoval.h"

DirectRemoval::DirectRemoval(Platform &platform, ItemRemover *remover, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_removal(std::make_unique<ThreatRemoval>(platform.volume().root()))
    , m_fileList(new FileList(platform.notifications(), this))
{
    m_removal->setRemover(remover);
    m_fileList->setVolumeRoot(platform.volume().root());
}

DirectRemoval::~DirectRemoval() = default;

DirectRemoval::Outcome DirectRemoval::remove(const QList<AdwarePtr> &threats)
{
    m_fileList->setIsReport(false);
    m_fileList->resetListAndMakeList();
    Outcome outcome;
    for (const AdwarePtr &adware : threats) {
        if (!adware || outcome.removed.contains(adware) || outcome.failed.contains(adware))
            continue;
        const bool removed = m_removal->deleteThreat(*adware);
        adware->setIsDeleted(removed);
        (removed ? outcome.removed : outcome.failed).append(adware);
    }
    if (!outcome.failed.isEmpty()) {
        m_fileList->beginSheet();
        QList<QUrl> urls;
        for (const AdwarePtr &adware : std::as_const(outcome.failed))
            urls.append(adware->url());
        m_fileList->addObjects(urls);
    }
    return outcome;
}

void DirectRemoval::removeThisAndReloadData(const AdwarePtr &threat)
{
    remove({threat});
    Q_EMIT changeInListRequested();
}

void DirectRemoval::removeAdwarepressed(const QList<AdwarePtr> &scanList)
{
    QList<AdwarePtr> checked;
    for (const AdwarePtr &adware : scanList) {
        if (adware && adware->isChecked())
            checked.append(adware);
    }
    const Outcome outcome = remove(checked);
    if (outcome.failed.isEmpty() && !outcome.removed.isEmpty())
        m_platform.alerts().inform(successText(), QStringLiteral("Alert"));
    Q_EMIT changeInListRequested();
}
