#pragma once

#include <cstdint>
#include <optional>

#include "sim/Frame.h"

// The device side of the line: hunts the preamble, takes the delimiter, address, command,
// byte count, data and checksum as the bytes are heard, one at a time. A frame whose
// checksum does not match its bytes is dropped, as a field device drops it.
namespace sim {

class RequestParser {
public:
    enum class Outcome { InProgress, Complete, BadChecksum };

    // Feeds one heard byte; Complete or BadChecksum when it finished a frame.
    Outcome Feed(uint8_t byte);
    // The frame that the last Complete or BadChecksum finished.
    const Frame& Last() const { return m_frame; }
    // Forgets a partly heard frame (a gap in the middle of it).
    void Reset();
    bool InFrame() const { return m_state != State::Hunt && m_state != State::Preamble; }

private:
    enum class State { Hunt, Preamble, Address, Command, ByteCount, Data, Checksum };

    Outcome Finish(uint8_t checksum);

    State m_state = State::Hunt;
    Frame m_frame;
    Frame m_building;
    size_t m_preambles = 0;
    size_t m_addressBytes = 0;
    size_t m_dataBytes = 0;
};

}  // namespace sim
