#include "serial/MarkedInput.h"

namespace {
constexpr uint8_t kMark = 0xFF;
constexpr uint8_t kErrorFollows = 0x00;
}  // namespace

size_t CMarkedInput::Decode(const uint8_t* raw, size_t count, uint8_t* out,
                            std::vector<uint32_t>* errorsAt, size_t base) {
    size_t written = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = raw[i];
        switch (m_state) {
            case State::Plain:
                if (byte == kMark)
                    m_state = State::AfterMark;
                else
                    out[written++] = byte;
                break;
            case State::AfterMark:
                if (byte == kErrorFollows) {
                    m_state = State::ErrorByte;
                    break;
                }
                // 0xFF 0xFF is one received 0xFF. The line discipline makes no other pair;
                // should one come, the byte is kept (out has room for one byte per input).
                out[written++] = byte;
                m_state = State::Plain;
                break;
            case State::ErrorByte:
                ++m_marked;
                if (errorsAt) errorsAt->push_back(static_cast<uint32_t>(base + written));
                out[written++] = byte;
                m_state = State::Plain;
                break;
        }
    }
    return written;
}
