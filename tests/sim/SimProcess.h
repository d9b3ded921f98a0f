#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

// tralvo-sim as a child process of the test, with its output read through pipes.
class SimProcess {
public:
    // The build names the program's path; TRALVO_BUILD_DIR points elsewhere if set.
    static std::string Program() {
        if (const char* build = std::getenv("TRALVO_BUILD_DIR")) {
            return std::string(build) + "/sim/tralvo-sim";
        }
        return TRALVO_SIM_PROGRAM;
    }

    explicit SimProcess(const std::vector<std::string>& args) : SimProcess(Program(), args) {}

    // Another program run the same way (the command-line tool's tests run tralvo-cli).
    SimProcess(const std::string& program, const std::vector<std::string>& args) {
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::vector<std::string> all{program};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, all[0].c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        close(err[1]);
        m_out = out[0];
        m_err = err[0];
    }
    ~SimProcess() {
        if (m_pid > 0 && !m_exited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0) close(m_out);
        if (m_err >= 0) close(m_err);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return m_pid > 0; }

    // Reads standard output until it holds `text` or the time is up.
    bool WaitForOutput(const std::string& text, int timeoutMs = 5000) {
        return WaitFor(m_out, m_stdout, text, timeoutMs);
    }

    // Reads standard error until it holds `text` or the time is up.
    bool WaitForError(const std::string& text, int timeoutMs = 5000) {
        return WaitFor(m_err, m_stderr, text, timeoutMs);
    }

    // Sends a signal (if given) and waits for the exit; the exit code, or -1.
    int Finish(int signal = 0, int timeoutMs = 5000) {
        if (m_pid <= 0) return -1;
        if (signal) kill(m_pid, signal);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        int status = 0;
        while (waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) return -1;
            ReadSome(m_err, m_stderr, 10);
        }
        while (ReadSome(m_err, m_stderr, 0)) {
        }
        while (ReadSome(m_out, m_stdout, 0)) {
        }
        m_exited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string& Stdout() const { return m_stdout; }
    const std::string& Stderr() const { return m_stderr; }

private:
    static bool WaitFor(int fd, std::string& into, const std::string& text, int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (into.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !ReadSome(fd, into, static_cast<int>(left.count()))) {
                return false;
            }
        }
        return true;
    }
    static bool ReadSome(int fd, std::string& into, int timeoutMs) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, timeoutMs) <= 0) return false;
        char buffer[1024];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) return false;
        into.append(buffer, static_cast<size_t>(n));
        return true;
    }

    pid_t m_pid = -1;
    bool m_exited = false;
    int m_out = -1;
    int m_err = -1;
    std::string m_stdout;
    std::string m_stderr;
};
