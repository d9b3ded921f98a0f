#include "cli/DescriptorStream.h"

#include <unistd.h>

#include <cerrno>

CDescriptorBuf::CDescriptorBuf(int fd, std::function<bool()> keepTrying)
    : m_fd(fd), m_keepTrying(std::move(keepTrying)) {
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

CDescriptorBuf::~CDescriptorBuf() { WritePending(); }

CDescriptorBuf::int_type CDescriptorBuf::overflow(int_type ch) {
    if (!WritePending()) return traits_type::eof();
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    *pptr() = traits_type::to_char_type(ch);
    pbump(1);
    return ch;
}

int CDescriptorBuf::sync() { return WritePending() ? 0 : -1; }

bool CDescriptorBuf::WritePending() {
    const char* next = pbase();
    const char* const end = pptr();
    // Once a write failed, what follows would only leave a gap in the middle.
    while (m_error == 0 && next < end) {
        const ssize_t written = write(m_fd, next, static_cast<size_t>(end - next));
        if (written > 0) {
            next += written;
        } else if (written < 0 && errno == EINTR && m_keepTrying()) {
            continue;
        } else {
            m_error = written < 0 ? errno : EIO;
        }
    }
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return m_error == 0;
}
