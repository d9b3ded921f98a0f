#include "cli/CaptureFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/CaptureOpen.h"

CCaptureFile::~CCaptureFile() { Close(); }

bool CCaptureFile::Create(const std::string& path, std::string& error) {
    m_path = path;
    std::string reason;
    m_fd = OpenCaptureDescriptor(path, reason);
    if (m_fd < 0) {
        error = "cannot create the capture file '" + path + "': " + reason;
        return false;
    }
    m_stream = std::make_unique<CDescriptorStream>(m_fd, m_keepTrying);
    m_writer.emplace(*m_stream);
    return true;
}

void CCaptureFile::Write(const traffic::TrafficFrame& frame) {
    const bool wasComplete = Complete();
    m_writer->Write(frame);
    if (wasComplete && Complete() && !traffic::TokenPassingPdu(frame).empty())
        ++m_framesBeforeFailure;
}

bool CCaptureFile::Close() {
    if (m_fd < 0) return Complete() && m_closeError == 0;
    m_stream->flush();
    if (close(m_fd) != 0 && errno != EINTR) m_closeError = errno;
    m_fd = -1;
    return Complete() && m_closeError == 0;
}

std::string CCaptureFile::FailureText() const {
    const int error = m_stream && m_stream->Error() != 0 ? m_stream->Error() : m_closeError;
    std::string text = "cannot write the capture file '" + m_path + "'";
    if (error != 0) text += std::string(": ") + std::strerror(error);
    if (m_framesBeforeFailure == 0) return text + "; it holds no frames";
    return text + "; it holds only the first " + std::to_string(m_framesBeforeFailure) +
           " frames of the run";
}
