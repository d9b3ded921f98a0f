#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "serial/PortHolders.h"
#include "troubleshooter/CheckTitles.h"
#include "troubleshooter/Checks.h"

namespace {

enum class LockProbe { Free, Locked, Exclusive, NotProbed };

// What CSerial's exclusive open would meet: a flock someone else has, or an open that
// TIOCEXCL refuses.
LockProbe ProbeLock(const std::string& path) {
    // Opening without O_NONBLOCK could wait for carrier on a real line.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EBUSY ? LockProbe::Exclusive : LockProbe::NotProbed;
    LockProbe result = LockProbe::Free;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        result = errno == EWOULDBLOCK ? LockProbe::Locked : LockProbe::NotProbed;
    }
    close(fd);  // drops our lock at once
    return result;
}

std::string NamesOf(const std::vector<PortHolder>& users) {
    std::string names;
    for (const auto& user : users) {
        if (!names.empty()) names += ", ";
        names += user.name + " (PID " + user.pid + ")";
    }
    return names;
}

}  // namespace

CheckResult CheckHolders(const std::string& path, const SystemRoots& roots) {
    const std::string title = CheckText(kHoldersTitle);
    const LockProbe lock = ProbeLock(path);
    const PortHolders found = FindPortHolders(path, roots.proc);
    // The port's other end (a simulator, socat) keeps the slave open but is what Tralvo
    // talks to, not a rival for the port.
    std::vector<PortHolder> holders;
    std::vector<PortHolder> otherEnds;
    for (const auto& user : found.holders)
        (user.holdsPtyMaster ? otherEnds : holders).push_back(user);

    // Only who keeps Tralvo out may be told to go. The kernel records a flock's owner; the
    // exclusive mode of a tty has none, so there it is whoever alone has the port open.
    std::vector<PortHolder> blockers;
    std::vector<PortHolder> readers;
    for (const auto& user : holders) (user.holdsLock ? blockers : readers).push_back(user);
    if (lock == LockProbe::Exclusive && blockers.empty() && holders.size() == 1)
        blockers.swap(readers);

    if (lock == LockProbe::Locked || lock == LockProbe::Exclusive) {
        if (blockers.empty()) {
            return {title, CheckOutcome::Fail,
                    CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "%1 is locked by a process this user cannot see."),
                              {path}),
                    CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "Find it with: sudo fuser -v %1, then close that "
                                                "program."),
                              {path})};
        }
        std::string pids;
        for (const auto& holder : blockers) pids += " " + holder.pid;
        const std::string program =
            blockers.size() == 1 ? blockers[0].name
                                 : CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "those programs"));
        std::string why =
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "%1 is locked and held open by %2."),
                      {path, NamesOf(blockers)});
        if (!readers.empty()) {
            why += " " + CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                     "%1 also has it open, without the lock."),
                                   {NamesOf(readers)});
        }
        return {title, CheckOutcome::Fail, why,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "Close %1, or end it with: kill%2"),
                          {program, pids})};
    }

    // The port opens for Tralvo: whoever else has it open is worth knowing (a reader there
    // may take replies), but is not a failure.
    std::string why;
    if (lock == LockProbe::Free) {
        why = holders.empty()
                  ? CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "%1 is not locked and no other process has it "
                                                "open."),
                              {path})
                  : CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "%1 opens for Tralvo, but %2 also has it open and "
                                                "may read what the device sends."),
                              {path, NamesOf(holders)});
    } else {
        why = holders.empty()
                  ? CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "The lock of %1 could not be probed; no other "
                                                "process has it open."),
                              {path})
                  : CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "The lock of %1 could not be probed; %2 has it "
                                                "open."),
                              {path, NamesOf(holders)});
    }
    if (found.unreadable) {
        why += " " + CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                 "%1 processes of other users could not be "
                                                 "looked at."),
                               {std::to_string(found.unreadable)});
    }
    if (!otherEnds.empty()) {
        why += " " + CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                 "Its other end is held by %1, which is what "
                                                 "Tralvo talks to."),
                               {NamesOf(otherEnds)});
    }
    return {title, holders.empty() ? CheckOutcome::Pass : CheckOutcome::Info, why, {}};
}
