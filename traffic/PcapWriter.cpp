#include "traffic/PcapWriter.h"

#include <span>
#include <utility>

#include "hart/HartFrame.h"
#include "hart/LinkResult.h"
#include "traffic/HartIpPacket.h"
#include "traffic/Reception.h"
#include "traffic/WireText.h"

namespace traffic {

namespace {

constexpr uint32_t kSectionHeaderBlock = 0x0A0D0D0A;
constexpr uint32_t kInterfaceDescriptionBlock = 1;
constexpr uint32_t kEnhancedPacketBlock = 6;
constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr uint16_t kMajorVersion = 1;
constexpr uint16_t kMinorVersion = 0;
constexpr uint16_t kLinkTypeRawIp = 101;
constexpr uint32_t kSnapLength = 65535;
constexpr uint16_t kOptionEnd = 0;
constexpr uint16_t kOptionComment = 1;
constexpr uint16_t kOptionTimeResolution = 9;
constexpr uint8_t kMicroseconds = 6;  // 10^-6 s
constexpr size_t kLongestOption = 0xFFFF;

// Written little-endian, byte by byte, so that the file is the same on every host.
void PutLittle16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLittle32(std::vector<uint8_t>& out, uint32_t value) {
    PutLittle16(out, static_cast<uint16_t>(value));
    PutLittle16(out, static_cast<uint16_t>(value >> 16));
}

// Block bodies and option values end on a 32-bit boundary.
void PadTo32Bits(std::vector<uint8_t>& out) {
    while (out.size() % 4 != 0) out.push_back(0);
}

void PutOption(std::vector<uint8_t>& out, uint16_t code, std::span<const uint8_t> value) {
    PutLittle16(out, code);
    PutLittle16(out, static_cast<uint16_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
    PadTo32Bits(out);
}

// A block: its type and total length around the body, the length repeated at the end so
// that a reader can walk the file backwards.
std::vector<uint8_t> Block(uint32_t type, std::vector<uint8_t> body) {
    PadTo32Bits(body);
    const auto length = static_cast<uint32_t>(body.size() + 12);
    std::vector<uint8_t> block;
    block.reserve(length);
    PutLittle32(block, type);
    PutLittle32(block, length);
    block.insert(block.end(), body.begin(), body.end());
    PutLittle32(block, length);
    return block;
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
    std::vector<uint8_t> section;
    PutLittle32(section, kByteOrderMagic);
    PutLittle16(section, kMajorVersion);
    PutLittle16(section, kMinorVersion);
    PutLittle32(section, 0xFFFFFFFF);  // section length: not known while writing
    PutLittle32(section, 0xFFFFFFFF);
    std::vector<uint8_t> header = Block(kSectionHeaderBlock, std::move(section));

    std::vector<uint8_t> interface;
    PutLittle16(interface, kLinkTypeRawIp);
    PutLittle16(interface, 0);  // reserved
    PutLittle32(interface, kSnapLength);
    PutOption(interface, kOptionTimeResolution, std::span(&kMicroseconds, 1));
    PutOption(interface, kOptionEnd, {});
    const std::vector<uint8_t> description =
        Block(kInterfaceDescriptionBlock, std::move(interface));
    header.insert(header.end(), description.begin(), description.end());
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
    WritePacket(frame.timeUs,
                Ipv4UdpPacket(from, to, m_identification++, HartIpMessage(type, sequence, pdu)),
                JoinedNotes(WireNotes(frame)));
}

void CPcapWriter::WritePacket(int64_t timeUs, const std::vector<uint8_t>& packet,
                              const std::string& comment) {
    const auto time = static_cast<uint64_t>(timeUs > 0 ? timeUs : 0);
    std::vector<uint8_t> body;
    body.reserve(packet.size() + comment.size() + 32);
    PutLittle32(body, 0);  // the one interface
    PutLittle32(body, static_cast<uint32_t>(time >> 32));
    PutLittle32(body, static_cast<uint32_t>(time));
    PutLittle32(body, static_cast<uint32_t>(packet.size()));  // bytes in the file
    PutLittle32(body, static_cast<uint32_t>(packet.size()));  // bytes on the wire
    body.insert(body.end(), packet.begin(), packet.end());
    PadTo32Bits(body);
    if (!comment.empty()) {
        const auto* text = reinterpret_cast<const uint8_t*>(comment.data());
        PutOption(
            body, kOptionComment,
            std::span(text, comment.size() < kLongestOption ? comment.size() : kLongestOption));
        PutOption(body, kOptionEnd, {});
    }
    Emit(m_out, Block(kEnhancedPacketBlock, std::move(body)));
}

}  // namespace traffic
