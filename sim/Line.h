#pragma once

#include <sys/types.h>

#include <string>

// The two ways the simulator gets a line: a pseudo-terminal of its own, published as
// COM<n> by a link in Tralvo's ports folder, or a tty someone else made.
namespace sim {

// Sets raw 8-bit mode without echo or line editing; odd parity at 1200 baud where the
// device has a line speed.
bool MakeRaw(int fd);

// A pseudo-terminal whose master side the simulator serves. It keeps a descriptor of the
// slave side open, so that the master survives Tralvo closing and reopening the port.
class PtyLine {
public:
    PtyLine() = default;
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    bool Open(std::string& error);
    int MasterFd() const { return m_master; }
    int SlaveFd() const { return m_slave; }
    // Closes the held slave and opens it again, so that the line is closed for a moment.
    bool ReopenSlave();
    // Whether the slave side holds bytes that nobody has read yet.
    bool SlaveHasInput() const;
    // Closes the master side: every opener of the slave sees a hang-up, as when a USB modem
    // is unplugged, and the slave's path goes once the last of them has closed it.
    void CloseMaster();
    // Closes both sides, the held slave too.
    void Close();
    const std::string& SlavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

// A link COM<n> in the ports folder that leads to a device. COM<n> is taken only when it is
// free or is the leftover of a simulator that was killed (a link to a pseudo-terminal that
// is gone); a live or foreign one is refused. Removed when the object goes, if it is still
// the very link made here.
class ComLink {
public:
    ComLink() = default;
    ~ComLink() { Remove(); }
    ComLink(const ComLink&) = delete;
    ComLink& operator=(const ComLink&) = delete;

    bool Create(unsigned comNumber, const std::string& target, std::string& error);
    void Remove();
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::string m_target;
    // The link file made, so that one made anew by someone else is not taken for it.
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

// Opens an existing tty or pty for the simulator: read and write, non-blocking, raw.
int OpenExistingLine(const std::string& path, std::string& error);

}  // namespace sim
