#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

// A pseudo-terminal pair standing in for a serial line: the program opens the slave path
// as its port, the test plays the device on the master. The test's own slave descriptor
// lets it inspect the line's settings and see when input has arrived without taking it.
class PtyPair {
public:
    PtyPair() {
        char name[256] = {};
        m_ok = openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0;
        m_slavePath = name;
    }
    ~PtyPair() {
        CloseMaster();
        if (m_slave >= 0) close(m_slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_ok; }
    const std::string& slavePath() const { return m_slavePath; }
    const char* path() const { return m_slavePath.c_str(); }
    // The test's own descriptor of the program's side of the line.
    int SlaveFd() const { return m_slave; }

    // The device sends bytes; true when the master took them all.
    bool Send(const std::string& bytes) {
        return write(m_master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // What the program sent, read at the device within the time-out.
    std::string Receive(size_t count, int timeoutMs = 2000) {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd entry{m_master, POLLIN, 0};
            if (poll(&entry, 1, 50) <= 0) continue;
            char buffer[256];
            const ssize_t n = read(m_master, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, static_cast<size_t>(n));
        }
        return got;
    }

    // Waits until the line holds at least `count` bytes of input, without reading them.
    bool WaitForInput(int count, int timeoutMs = 2000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            int queued = 0;
            if (ioctl(m_slave, FIONREAD, &queued) == 0 && queued >= count) return true;
            pollfd entry{m_slave, POLLIN, 0};
            poll(&entry, 1, 10);
        }
        return false;
    }

    // Waits until the program has read everything the line held.
    bool WaitForInputTaken(int timeoutMs = 2000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        int queued = 1;
        while (ioctl(m_slave, FIONREAD, &queued) == 0 && queued > 0) {
            if (std::chrono::steady_clock::now() >= end) return false;
            pollfd none{-1, 0, 0};
            poll(&none, 0, 1);
        }
        return queued == 0;
    }

    termios LineSettings() const {
        termios settings{};
        tcgetattr(m_slave, &settings);
        return settings;
    }

    // The far end vanishes, as an unplugged USB modem does.
    void CloseMaster() {
        if (m_master >= 0) close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    bool m_ok = false;
    std::string m_slavePath;
};
