#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "traffic/TrafficFrame.h"

// Writes line traffic as a capture file (pcapng, one interface of raw IPv4 packets,
// microsecond timestamps): each frame on the line as a HART-IP message over UDP, our
// requests from the master to the device's HART-IP port, answers back, bursts published by
// the device and another master's requests from an address of its own. What the line did
// beyond the frame (noise, echo, line errors, a frame cut short or with a bad checksum)
// rides along as the packet's comment. Wireshark and tshark decode it as HART_IP.
namespace traffic {

class CPcapWriter {
public:
    // Writes the section header and the interface description at once.
    explicit CPcapWriter(std::ostream& out);

    // Adds the frame, if it was one on the line: a request that was not written whole and a
    // reception that brought no frame have nothing to show and are left out.
    void Write(const TrafficFrame& frame);
    // Every write so far reached the stream.
    bool Good() const { return !m_out.fail(); }

private:
    void WritePacket(int64_t timeUs, const std::vector<uint8_t>& packet,
                     const std::string& comment);

    std::ostream& m_out;
    uint16_t m_requestSequence = 0;
    uint16_t m_publishSequence = 0;
    uint16_t m_otherMasterSequence = 0;
    uint16_t m_identification = 0;
};

// The HART-IP token-passing PDU of a frame (delimiter through checksum) as it was on the
// line, or nothing when it carries no frame: a received one incomplete or with its bad
// checksum as it came.
std::vector<uint8_t> TokenPassingPdu(const TrafficFrame& frame);

}  // namespace traffic
