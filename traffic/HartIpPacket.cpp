#include "traffic/HartIpPacket.h"

namespace traffic {

namespace {

constexpr uint8_t kHartIpVersion = 1;
constexpr uint8_t kTokenPassingPduMessageId = 3;
constexpr size_t kHartIpHeaderBytes = 8;
constexpr size_t kIpv4HeaderBytes = 20;
constexpr size_t kUdpHeaderBytes = 8;
constexpr uint8_t kIpv4VersionAndHeaderWords = 0x45;
constexpr uint16_t kDontFragment = 0x4000;
constexpr uint8_t kTimeToLive = 64;
constexpr uint8_t kProtocolUdp = 17;

void Put16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, static_cast<uint16_t>(value >> 16));
    Put16(out, static_cast<uint16_t>(value));
}

uint32_t SumOfWords(std::span<const uint8_t> bytes, uint32_t sum) {
    size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) sum += static_cast<uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    // An odd last byte counts as the high byte of a word padded with zero.
    if (i < bytes.size()) sum += static_cast<uint32_t>(bytes[i] << 8);
    return sum;
}

}  // namespace

uint16_t InternetChecksum(std::span<const uint8_t> bytes, uint32_t partialSum) {
    uint32_t sum = SumOfWords(bytes, partialSum);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

std::vector<uint8_t> HartIpMessage(HartIpMessageType type, uint16_t sequence,
                                   std::span<const uint8_t> pdu) {
    std::vector<uint8_t> message{kHartIpVersion, static_cast<uint8_t>(type),
                                 kTokenPassingPduMessageId, 0};
    Put16(message, sequence);
    Put16(message, static_cast<uint16_t>(kHartIpHeaderBytes + pdu.size()));
    message.insert(message.end(), pdu.begin(), pdu.end());
    return message;
}

std::vector<uint8_t> Ipv4UdpPacket(Endpoint from, Endpoint to, uint16_t identification,
                                   std::span<const uint8_t> payload) {
    const auto udpLength = static_cast<uint16_t>(kUdpHeaderBytes + payload.size());
    std::vector<uint8_t> packet;
    packet.reserve(kIpv4HeaderBytes + udpLength);
    packet.push_back(kIpv4VersionAndHeaderWords);
    packet.push_back(0);  // type of service
    Put16(packet, static_cast<uint16_t>(kIpv4HeaderBytes + udpLength));
    Put16(packet, identification);
    Put16(packet, kDontFragment);
    packet.push_back(kTimeToLive);
    packet.push_back(kProtocolUdp);
    Put16(packet, 0);  // header checksum, set below
    Put32(packet, from.address);
    Put32(packet, to.address);
    const uint16_t headerChecksum = InternetChecksum(std::span(packet).first(kIpv4HeaderBytes));
    packet[10] = static_cast<uint8_t>(headerChecksum >> 8);
    packet[11] = static_cast<uint8_t>(headerChecksum);

    const size_t udpStart = packet.size();
    Put16(packet, from.port);
    Put16(packet, to.port);
    Put16(packet, udpLength);
    Put16(packet, 0);  // checksum, set below
    packet.insert(packet.end(), payload.begin(), payload.end());
    // The UDP checksum covers a pseudo-header of addresses, protocol and length.
    std::vector<uint8_t> pseudoHeader;
    Put32(pseudoHeader, from.address);
    Put32(pseudoHeader, to.address);
    Put16(pseudoHeader, kProtocolUdp);
    Put16(pseudoHeader, udpLength);
    uint16_t udpChecksum =
        InternetChecksum(std::span(packet).subspan(udpStart), SumOfWords(pseudoHeader, 0));
    // 0 would mean "no checksum"; its ones'-complement twin stands in.
    if (udpChecksum == 0) udpChecksum = 0xFFFF;
    packet[udpStart + 6] = static_cast<uint8_t>(udpChecksum >> 8);
    packet[udpStart + 7] = static_cast<uint8_t>(udpChecksum);
    return packet;
}

}  // namespace traffic
