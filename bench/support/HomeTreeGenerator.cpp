#include "support/HomeTreeGenerator.h"

#include <QFile>
#include <QRandomGenerator>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const kSyllables[] = {"ka", "lo", "mi", "ne", "ru", "ta", "vo", "shi", "an", "el", "or", "um",
                                  "ex", "dat", "con", "fig", "app", "cache", "log", "tmp", "doc", "img"};
const char *const kExtensions[] = {".txt", ".plist", ".json", ".db", ".png", ".jpg", ".js", ".h", ".cpp",
                                   ".log", ".sqlite", "", ".md", ".pdf", ".html", ".css"};

QByteArray word(QRandomGenerator &random, int syllables)
{
    QByteArray name;
    for (int i = 0; i < syllables; ++i)
        name += kSyllables[random.bounded(int(std::size(kSyllables)))];
    return name;
}

struct Pending
{
    QByteArray path;
    int depth;
};

class Writer
{
public:
    Writer(qint64 budget, const QStringList &signatures, quint32 seed)
        : m_budget(budget), m_random(seed)
    {
        for (int i = 0; i < signatures.size(); i += 5) {
            if (!signatures[i].contains(QLatin1Char('/')))
                m_plants.append(signatures[i].toUtf8());
        }
    }

    HomeTreeGenerator::Summary run(const QByteArray &root)
    {
        static const char *const top[] = {"Library", "Documents", "Downloads", "Desktop", "Pictures", "Music",
                                          "Movies", "Projects", ".cache", ".config", ".local", ".Trash"};
        static const char *const library[] = {"Caches", "Application Support", "Preferences", "LaunchAgents",
                                              "Containers", "Logs", "Saved Application State", "Cookies"};
        for (const char *name : top)
            folder(root + '/' + name, 1);
        for (const char *name : library)
            folder(root + "/Library/" + name, 2);
        while (!m_queue.empty() && m_summary.entries < m_budget) {
            // Mostly depth first, sometimes breadth first: long chains and wide levels.
            Pending next;
            if (m_random.bounded(4) == 0) {
                next = m_queue.front();
                m_queue.pop_front();
            } else {
                next = m_queue.back();
                m_queue.pop_back();
            }
            fill(next);
        }
        return m_summary;
    }

private:
    void fill(const Pending &at)
    {
        const int roll = m_random.bounded(100);
        // Most folders are small; a few are very wide (caches, photo libraries).
        int files = roll < 60 ? m_random.bounded(12) : roll < 95 ? m_random.bounded(60) : m_random.bounded(2500);
        int subfolders = at.depth >= 16 ? 0 : m_random.bounded(at.depth < 4 ? 9 : 5);
        if (m_queue.size() < 8 && subfolders == 0)
            subfolders = 2; // keep the tree growing until the budget is reached
        for (int i = 0; i < files && m_summary.entries < m_budget; ++i)
            file(at.path, i);
        for (int i = 0; i < subfolders && m_summary.entries < m_budget; ++i) {
            QByteArray name = word(m_random, 1 + m_random.bounded(3));
            if (m_random.bounded(20) == 0)
                name.prepend('.');
            folder(at.path + '/' + name + QByteArray::number(i), at.depth + 1);
        }
    }

    void folder(const QByteArray &path, int depth)
    {
        if (::mkdir(path.constData(), 0755) != 0)
            return;
        ++m_summary.entries;
        ++m_summary.folders;
        m_summary.deepest = std::max(m_summary.deepest, depth);
        m_queue.push_back({path, depth});
    }

    void file(const QByteArray &folderPath, int index)
    {
        const int roll = m_random.bounded(1000);
        QByteArray name = word(m_random, 1 + m_random.bounded(4)) + QByteArray::number(index);
        if (roll < 10) {
            link(folderPath + '/' + name + "-link");
            return;
        }
        if (roll < 90)
            name.prepend('.');
        if (!m_plants.isEmpty() && m_random.bounded(4000) == 0) {
            name += m_plants[m_random.bounded(int(m_plants.size()))];
            ++m_summary.plantedHits;
        }
        name += kExtensions[m_random.bounded(int(std::size(kExtensions)))];
        const int fd = ::open((folderPath + '/' + name).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            return;
        ::close(fd);
        ++m_summary.entries;
        ++m_summary.files;
        if (name.startsWith('.'))
            ++m_summary.hiddenFiles;
    }

    void link(const QByteArray &path)
    {
        static const char *const targets[] = {"..", ".", "/usr", "/etc/hostname", "missing-target"};
        if (::symlink(targets[m_random.bounded(int(std::size(targets)))], path.constData()) != 0)
            return;
        ++m_summary.entries;
        ++m_summary.links;
    }

    qint64 m_budget;
    QRandomGenerator m_random;
    QList<QByteArray> m_plants;
    std::deque<Pending> m_queue;
    HomeTreeGenerator::Summary m_summary;
};

void removeBelow(int folderFd)
{
    const int readFd = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    DIR *dir = readFd >= 0 ? ::fdopendir(readFd) : nullptr;
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        if (entry->d_type == DT_DIR) {
            const int child = ::openat(folderFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0) {
                removeBelow(child);
                ::close(child);
            }
            ::unlinkat(folderFd, name, AT_REMOVEDIR);
        } else {
            ::unlinkat(folderFd, name, 0);
        }
    }
    ::closedir(dir);
}

} // namespace

QStringList HomeTreeGenerator::signatures(int count)
{
    QRandomGenerator random(292);
    QStringList list;
    for (int i = 0; list.size() < count; ++i) {
        const QString product = QString::fromLatin1(word(random, 2 + random.bounded(2)));
        const QString name = product.left(1).toUpper() + product.mid(1);
        switch (i % 6) {
        case 0: list.append(name); break;
        case 1: list.append(name + QStringLiteral(".app")); break;
        case 2: list.append(QStringLiteral("com.%1.agent.plist").arg(product)); break;
        case 3: list.append(QStringLiteral("/Library/Application Support/%1").arg(name)); break;
        case 4: list.append(QStringLiteral("/Library/LaunchAgents/com.%1.update.plist").arg(product)); break;
        default: list.append(QStringLiteral("/Library/Caches/com.%1.%2").arg(product, name)); break;
        }
    }
    return list;
}

HomeTreeGenerator::Summary HomeTreeGenerator::write(const QString &root, qint64 entries, const QStringList &signatures,
                                                    quint32 seed)
{
    return Writer(entries, signatures, seed).run(QFile::encodeName(root));
}

void HomeTreeGenerator::removeContents(const QString &root)
{
    const int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    removeBelow(fd);
    ::close(fd);
}
