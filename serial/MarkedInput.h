#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// With parity checking on, the line discipline is asked (PARMRK) to mark what it receives
// rather than replace a bad byte with 0x00: a received 0xFF comes doubled, and a byte that
// arrived with a parity or framing error (or a break, as 0x00) comes as 0xFF 0x00 byte.
// This turns the marked stream back into the bytes as they were received and counts the
// marked ones. A sequence split between two reads is carried over to the next.
class CMarkedInput {
public:
    // Decodes raw[0..count) into out, which has room for count bytes; returns how many
    // bytes it wrote. errorsAt, if given, gets the offset within out of each marked byte,
    // plus base.
    size_t Decode(const uint8_t* raw, size_t count, uint8_t* out,
                  std::vector<uint32_t>* errorsAt = nullptr, size_t base = 0);
    // Forgets a sequence begun in input that has since been discarded.
    void Reset() { m_state = State::Plain; }
    // Bytes that came marked as received with an error since construction.
    uint32_t MarkedBytes() const { return m_marked; }

private:
    enum class State { Plain, AfterMark, ErrorByte };
    State m_state = State::Plain;
    uint32_t m_marked = 0;
};
