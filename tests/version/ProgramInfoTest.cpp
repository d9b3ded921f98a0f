// Every program answers --version and --help without a display, as on a server, over SSH
// or in a package build: the window program must not reach for the window system first.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "tests/sim/SimProcess.h"
#include "version/Version.h"

namespace {

using ::testing::HasSubstr;

struct Program {
    const char* name;
    const char* pathInBuild;  // below TRALVO_BUILD_DIR
    const char* builtPath;
};

void PrintTo(const Program& program, std::ostream* out) { *out << program.name; }

std::string PathOf(const Program& program) {
    if (const char* build = std::getenv("TRALVO_BUILD_DIR"))
        return std::string(build) + "/" + program.pathInBuild;
    return program.builtPath;
}

// Takes away every way to a display for the programs this test starts, and gives it back.
class NoDisplay {
public:
    NoDisplay() {
        for (const char* name : kNames) {
            if (const char* value = std::getenv(name)) m_saved[name] = value;
            unsetenv(name);
        }
    }
    ~NoDisplay() {
        for (const auto& [name, value] : m_saved) setenv(name.c_str(), value.c_str(), 1);
    }
    NoDisplay(const NoDisplay&) = delete;
    NoDisplay& operator=(const NoDisplay&) = delete;

private:
    static constexpr const char* kNames[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    std::map<std::string, std::string> m_saved;
};

class ProgramInfo : public ::testing::TestWithParam<Program> {
protected:
    // Runs the program with one argument to its end; its exit status.
    int Run(const char* argument) {
        const NoDisplay noDisplay;
        m_process.emplace(PathOf(GetParam()), std::vector<std::string>{argument});
        return m_process->Finish(0, 10000);
    }

    std::optional<SimProcess> m_process;
};

TEST_P(ProgramInfo, VersionPrintsTheProgramAndTheProjectVersion) {
    EXPECT_EQ(Run("--version"), 0) << m_process->Stderr();
    EXPECT_EQ(m_process->Stdout(), std::string(GetParam().name) + " " TRALVO_VERSION "\n");
}

TEST_P(ProgramInfo, HelpPrintsTheUsage) {
    EXPECT_EQ(Run("--help"), 0) << m_process->Stderr();
    EXPECT_THAT(m_process->Stdout(), HasSubstr("Usage"));
    EXPECT_THAT(m_process->Stdout(), HasSubstr(GetParam().name));
    EXPECT_THAT(m_process->Stdout(), HasSubstr("--version"));
}

INSTANTIATE_TEST_SUITE_P(
    EveryProgram, ProgramInfo,
    ::testing::Values(Program{"tralvo", "app/tralvo", TRALVO_WINDOW_PROGRAM},
                      Program{"tralvo-cli", "cli/tralvo-cli", TRALVO_CLI_PROGRAM},
                      Program{"tralvo-sim", "sim/tralvo-sim", TRALVO_SIM_PROGRAM}),
    [](const ::testing::TestParamInfo<Program>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == '-') c = '_';
        return name;
    });

}  // namespace
