#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "hart/HartLink.h"
#include "serial/ComPortMap.h"
#include "sim/ServedPty.h"

// The COM number the bench's lines are plugged in as.
inline constexpr uint8_t kBenchComPort = 250;

// Settings and COM links of this run live in a folder of its own, never the user's.
class ScratchHome {
public:
    ScratchHome() {
        char pattern[] = "/tmp/tralvo-bench-XXXXXX";
        if (mkdtemp(pattern)) m_path = pattern;
        setenv("XDG_CONFIG_HOME", m_path.c_str(), 1);
    }
    ~ScratchHome() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

    // Makes COM<kBenchComPort> lead to the device.
    bool Plug(const std::string& device) const {
        const std::string link = PortLinkPath(kBenchComPort);
        std::error_code error;
        std::filesystem::remove(link, error);
        std::filesystem::create_directories(std::filesystem::path(link).parent_path(), error);
        return symlink(device.c_str(), link.c_str()) == 0;
    }
    // Plugs the simulated line in and opens the link on it at 1200 baud.
    bool OpenOn(const sim::ServedPty& line, CHartLink& link) const {
        return line.ok() && Plug(line.SlavePath()) &&
               link.OpenPort(kBenchComPort, hart::kLineBaud) == kLinkOk;
    }

private:
    std::string m_path;
};
