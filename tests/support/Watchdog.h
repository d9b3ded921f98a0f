#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Guards a test against code that waits for ever on a file the test put in its way (a FIFO,
// a lock that never goes stale). Past its limit the watchdog clears those files away, over
// and over, so the code under test goes on and the test ends; Dismiss then says that it had
// to step in.
class Watchdog {
public:
    explicit Watchdog(std::vector<std::string> obstacles,
                      std::chrono::milliseconds limit = std::chrono::seconds(5))
        : m_thread([this, obstacles = std::move(obstacles), limit] { Watch(obstacles, limit); }) {}
    ~Watchdog() { Dismiss(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Ends the watch. True when the code under test was still waiting at the limit.
    bool Dismiss() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bDismissed = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) m_thread.join();
        return m_bSteppedIn;
    }

private:
    static void ClearAway(const std::string& path) {
        // A FIFO opened at both ends never waits, and gives an open waiting on it the
        // partner it needs; only then may it go.
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode)) {
            const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK);
            if (fd >= 0) close(fd);
        }
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }

    void Watch(const std::vector<std::string>& obstacles, std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto dismissed = [this] { return m_bDismissed; };
        if (m_wake.wait_for(lock, limit, dismissed)) return;
        m_bSteppedIn = true;
        do {
            for (const std::string& path : obstacles) ClearAway(path);
        } while (!m_wake.wait_for(lock, std::chrono::milliseconds(50), dismissed));
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bDismissed = false;
    bool m_bSteppedIn = false;
    std::thread m_thread;  // last: it runs as soon as it exists
};
