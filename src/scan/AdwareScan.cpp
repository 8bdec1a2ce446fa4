#include "scan/AdwareScan.h"

#include "platform/Volume.h"

// Placeholder bodies until the inventory lands; every list is empty.
QList<QUrl> AdwareScan::getUrlListAt(const QString &) { return {}; }
QList<QUrl> AdwareScan::getApplicationList(const QString &) { return {}; }
QList<QUrl> AdwareScan::getAppList(const Volume &) { return {}; }
QList<QUrl> AdwareScan::getApplicationSupportList(const Volume &) { return {}; }
QList<QUrl> AdwareScan::getLaunchAgentsList(const Volume &) { return {}; }
QList<QUrl> AdwareScan::getLaunchDaemonsList(const Volume &) { return {}; }
QList<QUrl> AdwareScan::getSafariExtantionList(const Volume &) { return {}; }
QList<ExtensionRecord> AdwareScan::getChromeExtantionList(const Volume &) { return {}; }
QList<ExtensionRecord> AdwareScan::getFirefoxExtantionList(const Volume &) { return {}; }
qint64 AdwareScan::allocatedSizeOfTree(const QString &) { return 0; }
