#pragma once

#include <QString>
#include <QStringList>
#include <sys/types.h>
#include <unistd.h>

// The suite runs as root, for whom a folder of mode 000 is as readable as
// any other. Tests of unreadable folders run the code under test as an
// ordinary user instead:
//  - in this process, AsUnprivilegedUser sets the effective user and group
//    to "nobody" (65534) for its lifetime; the real and saved ids stay root,
//    so they can be taken back. glibc changes the ids of every thread.
//  - a child process (the command line) is started through setpriv with
//    the same ids (commandAsUnprivilegedUser()).
// Run by an ordinary user, both leave the ids alone: the mode bits then
// apply as they are.
class AsUnprivilegedUser
{
public:
    static constexpr uid_t kNobody = 65534;

    AsUnprivilegedUser()
        : m_switched(::geteuid() == 0)
    {
        if (m_switched && ::setegid(kNobody) != 0) {
            m_switched = false;
        } else if (m_switched && ::seteuid(kNobody) != 0) {
            [[maybe_unused]] const int group = ::setegid(0);
            m_switched = false;
        }
    }
    ~AsUnprivilegedUser()
    {
        if (m_switched) {
            [[maybe_unused]] const int user = ::seteuid(0);
            [[maybe_unused]] const int group = ::setegid(0);
        }
    }
    AsUnprivilegedUser(const AsUnprivilegedUser &) = delete;
    AsUnprivilegedUser &operator=(const AsUnprivilegedUser &) = delete;

    // Whether a folder of mode 000 now refuses this process.
    bool effective() const { return m_switched || ::geteuid() != 0; }

    // The program and arguments that run program with arguments as that user.
    static QStringList commandAsUnprivilegedUser(const QString &program, const QStringList &arguments)
    {
        if (::geteuid() != 0)
            return QStringList{program} + arguments;
        return QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), program}
               + arguments;
    }

private:
    bool m_switched;
};
