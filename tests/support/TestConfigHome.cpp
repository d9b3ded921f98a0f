// CTest runs every test of a program as a process of its own, several at a time, all given
// the program's settings folder. Tests that write settings or port links would then see each
// other's files, so each process takes a folder of its own below that one, removed at exit.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

class ProcessConfigHome {
public:
    ProcessConfigHome() {
        const char* shared = getenv("XDG_CONFIG_HOME");
        if (!shared || shared[0] != '/') return;
        m_path = std::string(shared) + "/process-" + std::to_string(getpid());
        std::error_code error;
        std::filesystem::create_directories(m_path, error);
        if (error) {
            m_path.clear();
            return;
        }
        setenv("XDG_CONFIG_HOME", m_path.c_str(), 1);
    }
    ~ProcessConfigHome() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    ProcessConfigHome(const ProcessConfigHome&) = delete;
    ProcessConfigHome& operator=(const ProcessConfigHome&) = delete;

private:
    std::string m_path;
};

const ProcessConfigHome processConfigHome;

}  // namespace
