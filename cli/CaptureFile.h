#pragma once

#include <fstream>
#include <optional>
#include <string>

#include "hart/Clock.h"
#include "traffic/FrameTap.h"
#include "traffic/PcapWriter.h"

// --pcap FILE: every frame of the run in a capture file, written as it happens (see
// traffic/PcapWriter.h), stamped with the wall-clock time of the start plus the link
// clock's count since.
class CCaptureFile {
public:
    explicit CCaptureFile(IClock& clock) : m_clock(clock) {}

    // Creates (or empties) the file and writes its header; false with a message when it
    // cannot be created.
    bool Create(const std::string& path, std::string& error);
    // The link's observer that writes to the file; only after a successful Create.
    ILinkObserver& Observer() { return *m_tap; }
    // Every frame so far reached the file.
    bool Complete() const { return m_writer && m_writer->Good(); }
    const std::string& Path() const { return m_path; }

private:
    IClock& m_clock;
    std::string m_path;
    std::ofstream m_file;
    std::optional<traffic::CPcapWriter> m_writer;
    std::optional<traffic::CFrameTap> m_tap;
};
