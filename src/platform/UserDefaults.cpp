#include "platform/UserDefaults.h"

#include "platform/IniSyntaxCheck.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// A transaction holds the lock for milliseconds; a lock older than this is
// taken over (QLockFile also takes over at once the lock of a process that
// is gone). The wait is longer, so a lock left by a hung process is reached.
constexpr int kStaleLockMs = 30000;
constexpr int kLockWaitMs = 45000;

std::atomic<quint64> s_writeCounter{0};

// QLockFile::tryLock(timeout) sleeps ever longer between attempts (up to
// seconds), which makes a queue of a few dozen processes crawl; a
// transaction is short, so try again soon, at a slightly random pace.
bool takeLock(QLockFile &lock)
{
    QDeadlineTimer deadline(kLockWaitMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        QThread::usleep(1000 + QRandomGenerator::global()->bounded(4000));
    }
    return true;
}

QString lockFailure(const QLockFile &lock)
{
    switch (lock.error()) {
    case QLockFile::LockFailedError:
        return QStringLiteral("Could not write the preferences: another process kept the lock file %1 for more than %2 s")
            .arg(lock.fileName())
            .arg(kLockWaitMs / 1000);
    case QLockFile::PermissionError:
        return QStringLiteral("Could not write the preferences: the lock file %1 cannot be created (the folder is "
                              "not writable)")
            .arg(lock.fileName());
    default:
        return QStringLiteral("Could not write the preferences: the lock file %1 cannot be created")
            .arg(lock.fileName());
    }
}

// The file a write replaces: the target of a link, so the link stays.
QString writeTarget(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.isSymLink() && info.exists())
        return info.canonicalFilePath();
    return fileName;
}

} // namespace

UserDefaults::UserDefaults(const QString &fileName)
    : m_fileName(QFileInfo(fileName).absoluteFilePath())
{
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    QMutexLocker locker(&m_lock);
    if (!reloadLocked())
        Log::warning(m_loadError);
}

UserDefaults::~UserDefaults()
{
    QMutexLocker locker(&m_lock);
    if (!m_pending.isEmpty())
        synchronize();
}

QString UserDefaults::defaultFileName()
{
    const QString chosen = qEnvironmentVariable("SWEEPLING_SETTINGS");
    if (!chosen.isEmpty())
        return chosen;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Sweepling/Sweepling.ini");
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    QMutexLocker locker(&m_lock);
    const auto pending = m_pending.constFind(key);
    if (pending != m_pending.cend())
        return pending->isValid() ? *pending : m_registered.value(key);
    const auto stored = m_values.constFind(key);
    if (stored != m_values.cend())
        return *stored;
    return m_registered.value(key);
}

bool UserDefaults::boolForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().toLower();
        return text == QLatin1String("true") || text == QLatin1String("yes") || text.toInt() != 0;
    }
    return value.toBool();
}

QByteArray UserDefaults::dataForKey(const QString &key) const
{
    return objectForKey(key).toByteArray();
}

bool UserDefaults::contains(const QString &key) const
{
    QMutexLocker locker(&m_lock);
    const auto pending = m_pending.constFind(key);
    if (pending != m_pending.cend() && pending->isValid())
        return true;
    if (pending == m_pending.cend() && m_values.contains(key))
        return true;
    return m_registered.contains(key);
}

QStringList UserDefaults::allKeys() const
{
    QMutexLocker locker(&m_lock);
    QStringList keys;
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
        if (!m_pending.contains(it.key()))
            keys.append(it.key());
    }
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        if (it->isValid())
            keys.append(it.key());
    }
    keys.sort();
    return keys;
}

void UserDefaults::setObject(const QVariant &value, const QString &key)
{
    QMutexLocker locker(&m_lock);
    m_pending.insert(key, value);
}

void UserDefaults::setBool(bool value, const QString &key)
{
    setObject(value, key);
}

void UserDefaults::removeObjectForKey(const QString &key)
{
    setObject(QVariant(), key);
}

void UserDefaults::registerDefaults(const QVariantMap &defaults)
{
    QMutexLocker locker(&m_lock);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_registered.insert(it.key(), it.value());
}

bool UserDefaults::synchronize()
{
    return transaction({});
}

bool UserDefaults::transaction(const std::function<void()> &change)
{
    QMutexLocker locker(&m_lock);
    if (m_inTransaction) {
        // Called from within a change: the outer transaction writes.
        if (change)
            change();
        return true;
    }
    m_lastError.clear();
    // Reading alone needs no lock: the file is only ever replaced whole.
    const bool writes = change || !m_pending.isEmpty();
    QLockFile lock(lockFileName());
    lock.setStaleLockTime(kStaleLockMs);
    if (writes && !takeLock(lock))
        return fail(lockFailure(lock));
    if (!reloadLocked())
        return fail(m_loadError);
    if (change) {
        m_inTransaction = true;
        change();
        m_inTransaction = false;
    }
    return writeLocked();
}

QString UserDefaults::loadError() const
{
    QMutexLocker locker(&m_lock);
    return m_loadError;
}

QString UserDefaults::lastError() const
{
    QMutexLocker locker(&m_lock);
    return m_lastError;
}

bool UserDefaults::fail(const QString &message)
{
    m_lastError = message;
    // What could not be written is dropped: written later, outside the
    // transaction that made it, it could undo other processes' changes.
    m_pending.clear();
    Log::warning(message);
    return false;
}

bool UserDefaults::reloadLocked()
{
    const QFileInfo info(m_fileName);
    QByteArray bytes;
    if (info.isDir()) {
        m_loadError = QStringLiteral("The preferences file %1 is a folder, not a file. Sweepling reads and stores "
                                     "no preferences until it is moved aside or removed.")
                          .arg(m_fileName);
        return false;
    }
    if (info.exists()) {
        QFile file(m_fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            m_loadError = QStringLiteral("The preferences file %1 cannot be read (%2). Sweepling stores nothing "
                                         "until it can: make it readable, or move it aside to start with new "
                                         "preferences.")
                              .arg(m_fileName, file.errorString());
            return false;
        }
        bytes = file.readAll();
    }
    if (m_read && bytes == m_bytes && m_loadError.isEmpty())
        return true;
    if (const auto fault = IniSyntaxCheck::firstFault(bytes)) {
        m_loadError = damagedMessage(QStringLiteral("line %1: \"%2\"").arg(fault->line).arg(fault->text));
        return false;
    }
    QString error;
    QVariantMap values = readFile(bytes, &error);
    if (!error.isEmpty()) {
        m_loadError = damagedMessage(error);
        return false;
    }
    m_values = std::move(values);
    m_bytes = bytes;
    m_read = true;
    m_loadError.clear();
    return true;
}

QVariantMap UserDefaults::readFile(const QByteArray &bytes, QString *error) const
{
    if (bytes.isEmpty())
        return {};
    // A file of its own name: see the class comment.
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/sweepling-settings-XXXXXX.ini"));
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush()) {
        *error = QStringLiteral("no temporary copy to parse (%1)").arg(copy.errorString());
        return {};
    }
    copy.close();
    QSettings settings(copy.fileName(), QSettings::IniFormat);
    QVariantMap values;
    const QStringList keys = settings.allKeys();
    for (const QString &key : keys)
        values.insert(key, settings.value(key));
    if (settings.status() != QSettings::NoError)
        *error = QStringLiteral("QSettings reports a format error");
    return values;
}

bool UserDefaults::writeLocked()
{
    if (m_pending.isEmpty())
        return true;
    QVariantMap next = m_values;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        if (it->isValid())
            next.insert(it.key(), *it);
        else
            next.remove(it.key());
    }
    const QString target = writeTarget(m_fileName);
    const QString fresh = QStringLiteral("%1.new-%2-%3").arg(target).arg(QCoreApplication::applicationPid()).arg(++s_writeCounter);
    auto failed = [&](const QString &why) {
        QFile::remove(fresh);
        return fail(QStringLiteral("Could not write the preferences file %1: %2").arg(m_fileName, why));
    };
    {
        // Made first to learn why it cannot be (a read-only folder, a full disk).
        QFile probe(fresh);
        if (!probe.open(QIODevice::WriteOnly))
            return failed(probe.errorString());
    }
    {
        QSettings out(fresh, QSettings::IniFormat);
        for (auto it = next.cbegin(); it != next.cend(); ++it)
            out.setValue(it.key(), it.value());
        out.sync();
        if (out.status() != QSettings::NoError)
            return failed(QStringLiteral("the new file could not be written (is the disk full?)"));
    }
    QFile written(fresh);
    if (!written.open(QIODevice::ReadOnly))
        return failed(written.errorString());
    const QByteArray bytes = written.readAll();
    written.close();
    if (QFileInfo::exists(target))
        QFile::setPermissions(fresh, QFileInfo(target).permissions());
    if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(target).constData()) != 0)
        return failed(QString::fromLocal8Bit(std::strerror(errno)));
    // Read back: the file now holds what was written.
    QFile check(target);
    if (!check.open(QIODevice::ReadOnly) || check.readAll() != bytes)
        return fail(QStringLiteral("Could not write the preferences file %1: it does not hold what was written")
                        .arg(m_fileName));
    m_values = std::move(next);
    m_bytes = bytes;
    m_read = true;
    m_pending.clear();
    return true;
}

QString UserDefaults::damagedMessage(const QString &fault) const
{
    return QStringLiteral("The preferences file %1 cannot be parsed (%2). Sweepling leaves it as it is and stores "
                          "nothing until it parses again: repair that line, or move the file aside (for example to "
                          "%1.damaged) to start with new preferences.")
        .arg(m_fileName, fault);
}
