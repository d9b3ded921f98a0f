#include "cli/CaptureFile.h"

#include <cerrno>
#include <cstring>

bool CCaptureFile::Create(const std::string& path, std::string& error) {
    m_path = path;
    errno = 0;
    m_file.open(path, std::ios::binary | std::ios::trunc);
    if (!m_file) {
        error = "cannot create the capture file '" + path + "'" +
                (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
        return false;
    }
    m_writer.emplace(m_file);
    m_tap.emplace(m_clock, traffic::WallClockNowUs(),
                  [this](traffic::TrafficFrame frame) { m_writer->Write(frame); });
    return true;
}
