#include "traffic/PcapWriter.h"

#include <utility>

#include "hart/HartFrame.h"
#include "traffic/HartIpPacket.h"
#include "traffic/Reception.h"

namespace traffic {

namespace {

constexpr uint32_t kPcapMagic = 0xA1B2C3D4;  // microsecond timestamps
constexpr uint16_t kPcapMajorVersion = 2;
constexpr uint16_t kPcapMinorVersion = 4;
constexpr uint32_t kSnapLength = 65535;
constexpr uint32_t kLinkTypeRawIp = 101;
constexpr int64_t kMicrosPerSecond = 1000000;

// pcap is written in the byte order of its magic number; little-endian, byte by byte, so
// that the file is the same on every host.
void PutLittle16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLittle32(std::vector<uint8_t>& out, uint32_t value) {
    PutLittle16(out, static_cast<uint16_t>(value));
    PutLittle16(out, static_cast<uint16_t>(value >> 16));
}

void Emit(std::ostream& out, const std::vector<uint8_t>& bytes) {
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    // A run cut short (Ctrl+C, a crash) keeps every frame written so far.
    out.flush();
}

}  // namespace

std::vector<uint8_t> TokenPassingPdu(const TrafficFrame& frame) {
    const std::span<const uint8_t> wire = WireFrame(frame);
    if (frame.direction == Direction::Received) return {wire.begin(), wire.end()};
    size_t start = 0;
    while (start < wire.size() && wire[start] == hart::kPreambleByte) ++start;
    return {wire.begin() + static_cast<std::ptrdiff_t>(start), wire.end()};
}

CPcapWriter::CPcapWriter(std::ostream& out) : m_out(out) {
    std::vector<uint8_t> header;
    PutLittle32(header, kPcapMagic);
    PutLittle16(header, kPcapMajorVersion);
    PutLittle16(header, kPcapMinorVersion);
    PutLittle32(header, 0);  // time zone: timestamps are UTC
    PutLittle32(header, 0);  // accuracy of timestamps
    PutLittle32(header, kSnapLength);
    PutLittle32(header, kLinkTypeRawIp);
    Emit(m_out, header);
}

void CPcapWriter::Write(const TrafficFrame& frame) {
    const std::vector<uint8_t> pdu = TokenPassingPdu(frame);
    if (pdu.empty()) return;
    HartIpMessageType type = HartIpMessageType::Response;
    Endpoint from = kDeviceEndpoint;
    Endpoint to = kMasterEndpoint;
    uint16_t sequence = m_requestSequence;
    switch (DecodeFrame(pdu, frame.direction, frame.linkResult).kind) {
        case FrameKind::Request:
            type = HartIpMessageType::Request;
            std::swap(from, to);
            sequence = ++m_requestSequence;
            break;
        case FrameKind::OtherMaster:
            type = HartIpMessageType::Request;
            from = kOtherMasterEndpoint;
            to = kDeviceEndpoint;
            sequence = ++m_otherMasterSequence;
            break;
        case FrameKind::Burst:
            type = HartIpMessageType::Publish;
            sequence = ++m_publishSequence;
            break;
        default:  // an answer, or what else came back: the answer to our last request
            break;
    }
    WriteRecord(frame.timeUs,
                Ipv4UdpPacket(from, to, m_identification++, HartIpMessage(type, sequence, pdu)));
}

void CPcapWriter::WriteRecord(int64_t timeUs, const std::vector<uint8_t>& packet) {
    const int64_t time = timeUs > 0 ? timeUs : 0;
    std::vector<uint8_t> record;
    PutLittle32(record, static_cast<uint32_t>(time / kMicrosPerSecond));
    PutLittle32(record, static_cast<uint32_t>(time % kMicrosPerSecond));
    PutLittle32(record, static_cast<uint32_t>(packet.size()));  // bytes in the file
    PutLittle32(record, static_cast<uint32_t>(packet.size()));  // bytes on the wire
    record.insert(record.end(), packet.begin(), packet.end());
    Emit(m_out, record);
}

}  // namespace traffic
