// The capture file: HART frames as HART-IP over UDP/IPv4 in pcapng, byte for byte.
#include <gtest/gtest.h>

#include <sstream>

#include "PcapRecords.h"
#include "TrafficFrames.h"
#include "hart/LinkResult.h"
#include "traffic/HartIpPacket.h"
#include "traffic/PcapWriter.h"

namespace traffictest {
namespace {

using traffic::CPcapWriter;
using traffic::Direction;
using traffic::TrafficFrame;

constexpr int64_t kNoonUs = 1717243200000000;  // 2024-06-01 12:00:00 UTC

Bytes Contents(const std::ostringstream& out) {
    const std::string text = out.str();
    return Bytes(text.begin(), text.end());
}

TEST(PcapWriter, WritesARequestAndANoisyAnswerAsHartIpOverUdpByteForByte) {
    std::ostringstream out;
    CPcapWriter writer(out);
    writer.Write(SentRecord(kNoonUs, IdentityPoll(), kLinkOk));
    writer.Write(ReceivedRecord(
        kNoonUs + 290000, Concat({{0x12, 0x34, 0x56, 0xFF, 0xFF}, WithChecksum(IdentityAnswer())}),
        kLinkOk, 5));
    // clang-format off
    const Bytes expected = {
        // section header: 28 bytes, byte-order magic, version 1.0, section length unknown
        0x0A, 0x0D, 0x0D, 0x0A, 0x1C, 0x00, 0x00, 0x00, 0x4D, 0x3C, 0x2B, 0x1A,
        0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
        0x1C, 0x00, 0x00, 0x00,
        // interface: 32 bytes, link type 101 (raw IP), snap length 65535,
        // if_tsresol 6 (microseconds), end of options
        0x01, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x65, 0x00, 0x00, 0x00,
        0xFF, 0xFF, 0x00, 0x00, 0x09, 0x00, 0x01, 0x00, 0x06, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00,
        // enhanced packet: 76 bytes, interface 0, time (high, low), 41 bytes captured, 41 sent
        0x06, 0x00, 0x00, 0x00, 0x4C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0xD2, 0x19, 0x06, 0x00, 0x00, 0xD0, 0xED, 0xD6,
        0x29, 0x00, 0x00, 0x00, 0x29, 0x00, 0x00, 0x00,
        // IPv4 127.0.0.1 -> 127.0.0.2, UDP 49152 -> 5094
        0x45, 0x00, 0x00, 0x29, 0x00, 0x00, 0x40, 0x00, 0x40, 0x11, 0x3C, 0xC1,
        0x7F, 0x00, 0x00, 0x01, 0x7F, 0x00, 0x00, 0x02,
        0xC0, 0x00, 0x13, 0xE6, 0x00, 0x15, 0x25, 0xCC,
        // HART-IP version 1, request, token-passing PDU, status 0, sequence 1, 13 bytes
        0x01, 0x00, 0x03, 0x00, 0x00, 0x01, 0x00, 0x0D,
        // the identity poll without its preamble, padding, no options
        0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
        0x4C, 0x00, 0x00, 0x00,
        // enhanced packet: 132 bytes, 0.29 s later, 55 bytes
        0x06, 0x00, 0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0xD2, 0x19, 0x06, 0x00, 0xD0, 0x3C, 0xF2, 0xD6,
        0x37, 0x00, 0x00, 0x00, 0x37, 0x00, 0x00, 0x00,
        // IPv4 127.0.0.2 -> 127.0.0.1, UDP 5094 -> 49152
        0x45, 0x00, 0x00, 0x37, 0x00, 0x01, 0x40, 0x00, 0x40, 0x11, 0x3C, 0xB2,
        0x7F, 0x00, 0x00, 0x02, 0x7F, 0x00, 0x00, 0x01,
        0x13, 0xE6, 0xC0, 0x00, 0x00, 0x23, 0x32, 0xF5,
        // HART-IP response, sequence 1, 27 bytes
        0x01, 0x01, 0x03, 0x00, 0x00, 0x01, 0x00, 0x1B,
        // the answer from its delimiter, its checksum as received, padding
        0x06, 0x00, 0x00, 0x0E, 0x00, 0x00, 0xFE, 0x26, 0x06, 0x05, 0x07, 0x01,
        0x03, 0x08, 0x00, 0x12, 0x34, 0x56, 0xAE, 0x00,
        // opt_comment, 34 bytes: "noise: 3 bytes before the preamble", padding
        0x01, 0x00, 0x22, 0x00,
        'n', 'o', 'i', 's', 'e', ':', ' ', '3', ' ', 'b', 'y', 't', 'e', 's', ' ', 'b',
        'e', 'f', 'o', 'r', 'e', ' ', 't', 'h', 'e', ' ', 'p', 'r', 'e', 'a', 'm', 'b',
        'l', 'e', 0x00, 0x00,
        // end of options
        0x00, 0x00, 0x00, 0x00,
        0x84, 0x00, 0x00, 0x00,
    };
    // clang-format on
    EXPECT_EQ(Contents(out), expected);
    EXPECT_TRUE(writer.Good());
}

uint16_t Big16(const Bytes& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

TEST(PcapWriter, GivesEachKindOfFrameItsMessageTypeStationsAndSoundHeaders) {
    Bytes burstAddress = kLongAddress;
    burstAddress[0] |= 0x40;
    Bytes corrupted = WithChecksum(Body(0x86, kLongAddress, 3, DynamicVariablesData()));
    corrupted.back() ^= 0x55;
    const std::vector<TrafficFrame> frames = {
        SentRecord(kNoonUs, IdentityPoll(), kLinkOk),
        ReceivedRecord(kNoonUs + 1, WithChecksum(IdentityAnswer()), kLinkOk),
        ReceivedRecord(kNoonUs + 2,
                       WithChecksum(Body(0x81, burstAddress, 3, DynamicVariablesData())), kLinkOk),
        ReceivedRecord(kNoonUs + 3, WithChecksum(Body(0x82, kLongAddress, 1, {})), kLinkOk),
        // Nothing on the line: left out.
        SentRecord(kNoonUs + 4, {}, kLinkWriteIncomplete),
        ReceivedRecord(kNoonUs + 5, {}, kLinkNoReply),
        SentRecord(kNoonUs + 6, Written(5, Body(0x82, kLongAddress, 3, {})), kLinkOk),
        ReceivedRecord(kNoonUs + 7, corrupted, kLinkChecksumMismatch),
    };
    std::ostringstream out;
    CPcapWriter writer(out);
    for (const TrafficFrame& frame : frames) writer.Write(frame);

    struct Expected {
        int64_t timeUs;
        uint8_t from, to;  // last byte of 127.0.0.x
        uint16_t fromPort, toPort;
        uint8_t messageType;
        uint16_t sequence;
        Bytes pdu;
    };
    const std::vector<Expected> expected = {
        {kNoonUs, 1, 2, 49152, 5094, 0, 1, WithChecksum(Body(0x02, {0x00}, 0, {}))},
        {kNoonUs + 1, 2, 1, 5094, 49152, 1, 1, WithChecksum(IdentityAnswer())},
        {kNoonUs + 2, 2, 1, 5094, 49152, 2, 1,
         WithChecksum(Body(0x81, burstAddress, 3, DynamicVariablesData()))},
        {kNoonUs + 3, 3, 2, 49153, 5094, 0, 1, WithChecksum(Body(0x82, kLongAddress, 1, {}))},
        {kNoonUs + 6, 1, 2, 49152, 5094, 0, 2, WithChecksum(Body(0x82, kLongAddress, 3, {}))},
        {kNoonUs + 7, 2, 1, 5094, 49152, 1, 2, corrupted},
    };
    const std::vector<PcapRecord> records = PcapRecords(Contents(out));
    ASSERT_EQ(records.size(), expected.size());
    for (size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        const Bytes& p = records[i].packet;
        const Expected& e = expected[i];
        EXPECT_EQ(records[i].timeUs, e.timeUs);
        ASSERT_EQ(p.size(), 20u + 8u + 8u + e.pdu.size());
        // IPv4: length, identification, and a header whose checksum sums to zero.
        EXPECT_EQ(Big16(p, 2), p.size());
        EXPECT_EQ(Big16(p, 4), i);
        EXPECT_EQ(traffic::InternetChecksum(std::span(p).first(20)), 0);
        EXPECT_EQ(p[15], e.from);
        EXPECT_EQ(p[19], e.to);
        // UDP: ports, length, and a checksum over the pseudo-header that sums to zero.
        EXPECT_EQ(Big16(p, 20), e.fromPort);
        EXPECT_EQ(Big16(p, 22), e.toPort);
        EXPECT_EQ(Big16(p, 24), p.size() - 20);
        const Bytes pseudo = {0x7F, 0, 0, e.from, 0x7F, 0, 0, e.to, 0, 17, p[24], p[25]};
        uint32_t pseudoSum = 0;
        for (size_t w = 0; w < pseudo.size(); w += 2) pseudoSum += Big16(pseudo, w);
        EXPECT_EQ(traffic::InternetChecksum(std::span(p).subspan(20), pseudoSum), 0);
        // HART-IP: version 1, type, token-passing PDU, status 0, sequence, length; the PDU.
        const Bytes header(p.begin() + 28, p.begin() + 36);
        const uint16_t length = static_cast<uint16_t>(8 + e.pdu.size());
        EXPECT_EQ(header, (Bytes{1, e.messageType, 3, 0, static_cast<uint8_t>(e.sequence >> 8),
                                 static_cast<uint8_t>(e.sequence),
                                 static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)}));
        EXPECT_EQ(Bytes(p.begin() + 36, p.end()), e.pdu);
        // Only the frame with the bad checksum has a note to carry.
        EXPECT_EQ(records[i].comment, i == 5 ? "bad checksum: 25 bytes" : "");
    }
}

TEST(PcapWriter, ReportsAStreamThatFailed) {
    std::ostringstream out;
    CPcapWriter writer(out);
    out.setstate(std::ios::badbit);
    writer.Write(SentRecord(kNoonUs, IdentityPoll(), kLinkOk));
    EXPECT_FALSE(writer.Good());
}

}  // namespace
}  // namespace traffictest
