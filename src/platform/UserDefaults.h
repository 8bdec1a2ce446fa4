#pragma once

#include <QMap>
#include <QMutex>
#include <QVariant>
#include <functional>

// The user's preferences: one INI file in the QSettings format, shared by the
// desktop application, the scheduler and every sweepling-cli process. The
// file is chosen by the caller (--settings FILE), by SWEEPLING_SETTINGS, or is
// the per-user default, so tests never touch the real preferences.
//
// Values read come from the file as last read; values set stay pending in
// this object until synchronize() writes them. Every write is one transaction
// across processes: under an inter-process lock (the file named by
// lockFileName(), beside the settings file) the file is read afresh from disk,
// the changes are applied to what it holds, and the result replaces the file
// at once (a new file renamed over it), then is read back to check it.
// transaction() lets a caller merge with the stored values inside that lock.
//
// A file QSettings cannot parse (or cannot read at all) is never written:
// loadError() says which file and line, and how to repair it; every write
// fails until the file parses again. A failed write changes nothing on disk,
// drops the changes it carried and answers false with lastError().
//
// QSettings is used only to parse and to write, each time on a file of its
// own name: its per-process cache of files by name could otherwise answer a
// stale copy when another process rewrote the file within the same
// millisecond with the same size. Safe to use from any thread.
class UserDefaults
{
public:
    explicit UserDefaults(const QString &fileName);
    ~UserDefaults();

    // The file named by SWEEPLING_SETTINGS, else the per-user default file.
    static QString defaultFileName();

    QString fileName() const { return m_fileName; }
    QString lockFileName() const { return m_fileName + QStringLiteral(".lock"); }

    QVariant objectForKey(const QString &key) const;
    QVariant valueForKey(const QString &key) const { return objectForKey(key); }
    bool boolForKey(const QString &key) const;
    QByteArray dataForKey(const QString &key) const;
    bool contains(const QString &key) const;
    // Every key the file holds (pending changes included), registered defaults left out.
    QStringList allKeys() const;

    void setObject(const QVariant &value, const QString &key);
    void setBool(bool value, const QString &key);
    void removeObjectForKey(const QString &key);

    // Values answered for keys that were never set; not written to the file.
    void registerDefaults(const QVariantMap &defaults);

    // Writes pending changes and reads what other processes wrote since.
    // Answers false when the file could not be read or written (lastError()).
    bool synchronize();

    // Re-reads the file under the inter-process lock, runs change (which reads
    // and sets values through this object) and writes what it set, all before
    // any other process may write. Answers false, with nothing written, when
    // the file could not be locked, read or written.
    bool transaction(const std::function<void()> &change);

    // Why the file cannot be used (it does not parse, or cannot be read), with
    // what to do; empty when it can. Set at construction and by every re-read.
    QString loadError() const;
    // Why the last synchronize() or transaction() failed; empty after a success.
    QString lastError() const;

private:
    bool reloadLocked();
    bool writeLocked();
    bool fail(const QString &message);
    QVariantMap readFile(const QByteArray &bytes, QString *error) const;
    QString damagedMessage(const QString &fault) const;

    const QString m_fileName;
    mutable QRecursiveMutex m_lock;
    QVariantMap m_values;             // the file as last read
    QByteArray m_bytes;               // its bytes, to parse again only when they change
    bool m_read = false;              // m_bytes holds a read (an absent file reads as empty)
    bool m_inTransaction = false;     // a change is running
    QMap<QString, QVariant> m_pending; // set since the last write; an invalid value removes
    QVariantMap m_registered;
    QString m_loadError;
    QString m_lastError;
};
