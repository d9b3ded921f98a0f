#pragma once

#include <array>
#include <functional>
#include <ostream>
#include <streambuf>

// An output stream on a file descriptor that remembers why its first write failed, so that
// a lost line can be reported with its reason (a full disk, a closed pipe). A write cut by a
// signal is tried again unless keepTrying() says the run is over. The descriptor is not
// owned.
class CDescriptorBuf : public std::streambuf {
public:
    explicit CDescriptorBuf(
        int fd, std::function<bool()> keepTrying = [] { return true; });
    ~CDescriptorBuf() override;
    CDescriptorBuf(const CDescriptorBuf&) = delete;
    CDescriptorBuf& operator=(const CDescriptorBuf&) = delete;

    // The errno of the first failed write; 0 while every write succeeded.
    int Error() const { return m_error; }

protected:
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    bool WritePending();

    int m_fd;
    std::function<bool()> m_keepTrying;
    int m_error = 0;
    std::array<char, 4096> m_buffer{};
};

class CDescriptorStream : public std::ostream {
public:
    explicit CDescriptorStream(
        int fd, std::function<bool()> keepTrying = [] { return true; })
        : std::ostream(nullptr), m_buf(fd, std::move(keepTrying)) {
        rdbuf(&m_buf);
    }
    int Error() const { return m_buf.Error(); }

private:
    CDescriptorBuf m_buf;
};
