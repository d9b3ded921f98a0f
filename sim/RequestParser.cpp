#include "sim/RequestParser.h"

#include "hart/HartFrame.h"

namespace sim {

namespace {
bool KnownFrameType(uint8_t delimiter) {
    const uint8_t type = delimiter & hart::kFrameTypeBits;
    const uint8_t expansion = delimiter & 0x60;  // expansion bytes are not used on this line
    return expansion == 0 &&
           (type == hart::kFrameTypeBurst || type == hart::kFrameTypeMasterToSlave ||
            type == hart::kFrameTypeSlaveToMaster);
}
}  // namespace

void RequestParser::Reset() {
    m_state = State::Hunt;
    m_preambles = 0;
}

RequestParser::Outcome RequestParser::Feed(uint8_t byte) {
    switch (m_state) {
        case State::Hunt:
            if (byte == hart::kPreambleByte) {
                m_preambles = 1;
                m_state = State::Preamble;
            }
            return Outcome::InProgress;
        case State::Preamble:
            if (byte == hart::kPreambleByte) {
                ++m_preambles;
                return Outcome::InProgress;
            }
            if (!KnownFrameType(byte)) {
                Reset();
                return Outcome::InProgress;
            }
            m_building = Frame{};
            m_building.delimiter = byte;
            m_building.preambles = m_preambles;
            m_addressBytes = m_building.IsLong() ? hart::kLongAddressBytes : 1;
            m_state = State::Address;
            return Outcome::InProgress;
        case State::Address:
            m_building.address.push_back(byte);
            if (m_building.address.size() == m_addressBytes) m_state = State::Command;
            return Outcome::InProgress;
        case State::Command:
            m_building.command = byte;
            m_state = State::ByteCount;
            return Outcome::InProgress;
        case State::ByteCount:
            m_dataBytes = byte;
            m_state = m_dataBytes ? State::Data : State::Checksum;
            return Outcome::InProgress;
        case State::Data:
            m_building.data.push_back(byte);
            if (m_building.data.size() == m_dataBytes) m_state = State::Checksum;
            return Outcome::InProgress;
        case State::Checksum:
            return Finish(byte);
    }
    return Outcome::InProgress;
}

RequestParser::Outcome RequestParser::Finish(uint8_t checksum) {
    Reset();
    // The encoded frame without its preamble and checksum is what the checksum covers.
    Bytes covered = Encode(m_building, 0);
    covered.pop_back();
    m_frame = m_building;
    m_frame.checksum = checksum;
    return hart::Checksum(covered.data(), covered.size()) == checksum ? Outcome::Complete
                                                                      : Outcome::BadChecksum;
}

}  // namespace sim
