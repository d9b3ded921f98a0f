#pragma once

#include <cstdint>
#include <span>
#include <vector>

// A HART frame as HART-IP carries it (version 1, the token-passing PDU message), in a UDP
// datagram in an IPv4 packet: the form in which capture tools such as Wireshark decode HART.
namespace traffic {

struct Endpoint {
    uint32_t address;  // IPv4, most significant byte first: 127.0.0.1 is 0x7F000001
    uint16_t port;
};

// The line's stations as capture addresses: our master on a high port, the devices at the
// HART-IP port, and any other master on the line on a high port of its own.
inline constexpr uint16_t kHartIpPort = 5094;
inline constexpr Endpoint kMasterEndpoint{0x7F000001, 49152};
inline constexpr Endpoint kDeviceEndpoint{0x7F000002, kHartIpPort};
inline constexpr Endpoint kOtherMasterEndpoint{0x7F000003, 49153};

enum class HartIpMessageType : uint8_t { Request = 0, Response = 1, Publish = 2 };

// The 8-byte HART-IP header (version, message type, message id 3 for a token-passing PDU,
// status 0, sequence number, length of header and body), then the PDU: delimiter through
// checksum, without preamble.
std::vector<uint8_t> HartIpMessage(HartIpMessageType type, uint16_t sequence,
                                   std::span<const uint8_t> pdu);

// payload in a UDP datagram in an IPv4 packet, with the lengths and both checksums set.
// identification: the IPv4 packet's identification field.
std::vector<uint8_t> Ipv4UdpPacket(Endpoint from, Endpoint to, uint16_t identification,
                                   std::span<const uint8_t> payload);

// The Internet checksum (ones' complement of the ones'-complement sum of 16-bit words),
// continuing a partial sum.
uint16_t InternetChecksum(std::span<const uint8_t> bytes, uint32_t partialSum = 0);

}  // namespace traffic
