#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cli/DescriptorStream.h"
#include "traffic/PcapWriter.h"

// --pcap FILE: every frame of the run in a capture file, written as it happens (see
// traffic/PcapWriter.h).
class CCaptureFile {
public:
    // keepTrying: whether a write cut by a signal is worth trying again.
    explicit CCaptureFile(std::function<bool()> keepTrying = [] { return true; })
        : m_keepTrying(std::move(keepTrying)) {}
    ~CCaptureFile();
    CCaptureFile(const CCaptureFile&) = delete;
    CCaptureFile& operator=(const CCaptureFile&) = delete;

    // Creates the file, or empties the one there, and writes its header. A symbolic link in
    // its place is refused rather than followed: in a shared folder it may have been
    // planted to make us overwrite its target. A FIFO or a device is written as it is.
    // False with a message when it cannot be opened; a header that could not be written
    // shows in Complete().
    bool Create(const std::string& path, std::string& error);
    // Adds a record of the line traffic; only after a successful Create.
    void Write(const traffic::TrafficFrame& frame);
    // Every write so far reached the file.
    bool Complete() const { return m_stream && m_stream->Error() == 0 && m_writer->Good(); }
    // Closes the file; false when that or any write before it failed.
    bool Close();
    // What was lost, for a capture that is not Complete().
    std::string FailureText() const;
    const std::string& Path() const { return m_path; }

private:
    std::function<bool()> m_keepTrying;
    std::string m_path;
    int m_fd = -1;
    int m_closeError = 0;
    size_t m_framesBeforeFailure = 0;
    std::unique_ptr<CDescriptorStream> m_stream;
    std::optional<traffic::CPcapWriter> m_writer;
};
