#include "sim/Line.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "serial/ComNumberText.h"
#include "serial/ComPortMap.h"

namespace sim {

namespace {
constexpr std::string_view kPtySlaves = "/dev/pts/";

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

// Why the file at `path` may not be replaced, or nothing when it is absent or is the
// leftover of a killed simulator, which is then removed: a link to a pseudo-terminal that
// is gone (the kernel removes /dev/pts/<n> once nobody holds its master), or one whose
// number has come back as `ownPty`.
std::optional<std::string> Occupant(const std::string& path, const std::string& ownPty) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return std::nullopt;
    if (!S_ISLNK(info.st_mode)) return path + " exists and is not a link";
    const std::optional<std::string> target = LinkText(path);
    if (!target) return path + " cannot be read";
    struct stat end {};
    const bool gone = lstat(target->c_str(), &end) != 0 && errno == ENOENT;
    if (target->starts_with(kPtySlaves) && (gone || *target == ownPty)) {
        unlink(path.c_str());
        return std::nullopt;
    }
    if (target->starts_with(kPtySlaves)) {
        return path + " leads to " + *target + ", a pseudo-terminal in use (another tralvo-sim?)";
    }
    return path + " leads to " + *target + (gone ? " (not there now)" : "") +
           ", which is no simulator's";
}

bool SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}
}  // namespace

bool MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return false;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD | PARENB | PARODD;
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | CRTSCTS);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, B1200);
    cfsetospeed(&settings, B1200);
    if (tcsetattr(fd, TCSANOW, &settings) == 0) return true;
    // A pty has no parity and keeps its own; then the call fails while the line is raw all
    // the same, and raw is what counts.
    termios now{};
    return tcgetattr(fd, &now) == 0 && (now.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0 &&
           (now.c_iflag & (ICRNL | INLCR | IGNCR | IXON | ISTRIP)) == 0 &&
           (now.c_oflag & OPOST) == 0 && (now.c_cflag & CSIZE) == CS8;
}

PtyLine::~PtyLine() { Close(); }

void PtyLine::CloseMaster() {
    if (m_master >= 0) close(m_master);
    m_master = -1;
}

void PtyLine::Close() {
    CloseMaster();
    if (m_slave >= 0) close(m_slave);
    m_slave = -1;
}

bool PtyLine::Open(std::string& error) {
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        error = ErrnoText("cannot open a pseudo-terminal");
        return false;
    }
    m_slavePath = name;
    // Until Tralvo sets its line format the slave must not echo or edit what it gets. The
    // master side starts raw; setting it as well upsets the slave's settings on some
    // kernels, so it is left alone.
    if (!MakeRaw(m_slave) || !SetNonBlocking(m_master)) {
        error = ErrnoText("cannot set up the pseudo-terminal");
        return false;
    }
    fcntl(m_master, F_SETFD, FD_CLOEXEC);
    fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    return true;
}

bool PtyLine::ReopenSlave() {
    if (m_slave >= 0) close(m_slave);
    m_slave = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    return m_slave >= 0 && MakeRaw(m_slave);
}

bool PtyLine::SlaveHasInput() const {
    // Unlike FIONREAD, poll first lets the kernel finish handing on what the master wrote.
    pollfd entry{m_slave, POLLIN, 0};
    return m_slave >= 0 && poll(&entry, 1, 0) > 0 && (entry.revents & POLLIN) != 0;
}

bool ComLink::Create(unsigned comNumber, const std::string& target, std::string& error) {
    namespace fs = std::filesystem;
    const std::string com = PortTextFromNumber(comNumber);
    const std::string path = PortLinkPath(comNumber);
    if (path.empty()) {
        error = "no ports folder for " + com;
        return false;
    }
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    if (ec) {
        error = "cannot create " + fs::path(path).parent_path().string() + ": " + ec.message();
        return false;
    }
    if (const auto refusal = Occupant(path, target)) {
        error = com + " is taken: " + *refusal +
                "; choose another number, or remove the link if it is of no use";
        return false;
    }
    if (symlink(target.c_str(), path.c_str()) != 0) {
        error = errno == EEXIST ? com + " is taken: " + path + " was made meanwhile"
                                : ErrnoText("cannot create " + path);
        return false;
    }
    struct stat made {};
    if (lstat(path.c_str(), &made) != 0) {
        error = ErrnoText("cannot read " + path);
        return false;
    }
    m_path = path;
    m_target = target;
    m_device = made.st_dev;
    m_inode = made.st_ino;
    return true;
}

void ComLink::Remove() {
    if (m_path.empty()) return;
    struct stat now {};
    const bool same = lstat(m_path.c_str(), &now) == 0 && S_ISLNK(now.st_mode) &&
                      now.st_dev == m_device && now.st_ino == m_inode &&
                      LinkText(m_path) == m_target;
    if (same) unlink(m_path.c_str());
    m_path.clear();
}

int OpenExistingLine(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = ErrnoText("cannot open " + path);
        return -1;
    }
    if (!MakeRaw(fd)) {
        error = ErrnoText(path + " is not a terminal");
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace sim
