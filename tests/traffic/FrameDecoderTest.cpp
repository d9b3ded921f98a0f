// The line traffic's decoder and its one-line text, on every frame the program sends or
// meets, on frames that went wrong, and on input cut short anywhere.
#include <gtest/gtest.h>

#include <random>

#include "TrafficFrames.h"
#include "hart/LinkResult.h"
#include "traffic/FrameText.h"

namespace traffictest {
namespace {

using traffic::ChecksumState;
using traffic::DecodeFrame;
using traffic::DescribeFrame;
using traffic::Direction;
using traffic::FrameKind;

std::string Sent(const Bytes& bytes, unsigned result = kLinkOk) {
    return DescribeFrame(bytes, Direction::Sent, result);
}
std::string Received(const Bytes& bytes, unsigned result = kLinkOk) {
    return DescribeFrame(bytes, Direction::Received, result);
}

TEST(FrameDecoder, DescribesTheIdentityPollAndItsAnswer) {
    EXPECT_EQ(Sent(IdentityPoll()),
              "request | poll address 0 | command 0 Read Unique Identifier | byte count 0 | "
              "checksum good");
    Bytes answer = IdentityAnswer();
    answer[5] = 0x30;  // field device status
    EXPECT_EQ(Received(answer),
              "answer | poll address 0 | command 0 Read Unique Identifier | byte count 14 | "
              "response 0 success | status cold start, more status available | manufacturer "
              "38 (0x26), device type 6 (0x06), preambles 5, universal revision 7, device "
              "revision 1, device id 1193046 (0x123456) | checksum good");

    const traffic::DecodedFrame poll = DecodeFrame(IdentityPoll(), Direction::Sent, kLinkOk);
    EXPECT_EQ(poll.preambles, 20u);
    EXPECT_EQ(poll.checksum, ChecksumState::Good);
    const traffic::DecodedFrame reply = DecodeFrame(answer, Direction::Received, kLinkOk);
    EXPECT_EQ(reply.kind, FrameKind::Answer);
    EXPECT_EQ(reply.checksum, ChecksumState::CheckedByLink);
    ASSERT_TRUE(reply.identity);
    EXPECT_TRUE(reply.identity->expanded);
    EXPECT_EQ(reply.identity->deviceId, 0x123456u);
    EXPECT_EQ(reply.identity->universalRevision, 7);
}

TEST(FrameDecoder, DescribesAnOlderDevicesIdentityAndItsTagRead) {
    const Bytes identity = Body(0x06, {0x03}, 0, {0, 0, 0x30, 0x26, 4, 2, 1, 0, 0, 1, 2, 3});
    EXPECT_EQ(Received(identity),
              "answer | poll address 3 | command 0 Read Unique Identifier | byte count 12 | "
              "response 0 success | status ok | device type 48 (0x30), universal revision 4, "
              "device revision 2, device id 66051 (0x010203) (older layout) | checksum good");

    EXPECT_EQ(Sent(Written(5, Body(0x02, {0x03}, 4, {0x01}))),
              "request | poll address 3 | command 4 Read Tag (older devices) | byte count 1 | "
              "data 01 | checksum good");
    EXPECT_EQ(Received(Body(0x06, {0x03}, 4, Concat({{0x00, 0x00, 0x01}, kPackedTag}))),
              "answer | poll address 3 | command 4 Read Tag (older devices) | byte count 9 | "
              "response 0 success | status ok | tag \"TAG1    \" | checksum good");
}

TEST(FrameDecoder, DescribesTheLongFrameTagReadAndDynamicVariables) {
    const std::string address = "manufacturer 38 (0x26), type 6 (0x06), id 1193046 (0x123456)";
    EXPECT_EQ(Sent(Written(5, Body(0x82, kLongAddress, 13, {}))),
              "request | " + address +
                  " | command 13 Read Tag, Descriptor, Date | byte count 0 "
                  "| checksum good");
    const Bytes tagData =
        Concat({{0x00, 0x00}, kPackedTag, kPackedLetters, kPackedLetters, {1, 6, 124}});
    EXPECT_EQ(Received(Body(0x86, kLongAddress, 13, tagData)),
              "answer | " + address +
                  " | command 13 Read Tag, Descriptor, Date | byte count 23 "
                  "| response 0 success | status ok | tag \"TAG1    \", descriptor "
                  "\"ABCDEFGHABCDEFGH\", date 2024-06-01 | checksum good");
    EXPECT_EQ(Received(Body(0x86, kLongAddress, 3, DynamicVariablesData())),
              "answer | " + address +
                  " | command 3 Read Dynamic Variables and Loop Current | "
                  "byte count 16 | response 0 success | status ok | loop current 12.000 mA, PV 50 "
                  "kPa, SV 21.5 degC | checksum good");

    // A unit code outside the table still shows its number.
    Bytes unnamed = DynamicVariablesData();
    unnamed[6] = 200;
    const traffic::DecodedFrame frame =
        DecodeFrame(Body(0x86, kLongAddress, 3, unnamed), Direction::Received, kLinkOk);
    ASSERT_TRUE(frame.dynamicVariables);
    EXPECT_FLOAT_EQ(frame.dynamicVariables->loopCurrentMa, 12.0f);
    ASSERT_EQ(frame.dynamicVariables->variables.size(), 2u);
    EXPECT_EQ(frame.dynamicVariables->variables[0].unit, 200);
    EXPECT_NE(traffic::FrameSummary(frame).find("PV 50 (unit 200)"), std::string::npos);
}

TEST(FrameDecoder, TellsBurstsAndOtherMastersFromAnswersAndOurRequests) {
    Bytes burstAddress = kLongAddress;
    burstAddress[0] |= 0x40;
    EXPECT_EQ(Received(Body(0x81, burstAddress, 3, DynamicVariablesData())),
              "burst | manufacturer 38 (0x26), type 6 (0x06), id 1193046 (0x123456) | "
              "command 3 Read Dynamic Variables and Loop Current | byte count 16 | response 0 "
              "success | status ok | loop current 12.000 mA, PV 50 kPa, SV 21.5 degC | checksum "
              "good");

    Bytes primary = kLongAddress;
    primary[0] |= 0x80;
    // Another master's request is read whole, checksum and all.
    EXPECT_EQ(Received(WithChecksum(Body(0x82, primary, 1, {}))),
              "other master's request (primary) | manufacturer 38 (0x26), type 6 (0x06), id "
              "1193046 (0x123456) | "
              "command 1 Read Primary Variable | byte count 0 | checksum good");
    // The same delimiter from us is our own request.
    EXPECT_EQ(
        DecodeFrame(Written(5, Body(0x82, kLongAddress, 1, {})), Direction::Sent, kLinkOk).kind,
        FrameKind::Request);
    EXPECT_EQ(Received(Body(0x05, {0x00}, 7, {})),
              "unknown frame (delimiter 0x05) | poll address 0 | command 7 | byte count 0 | "
              "checksum good");
}

TEST(FrameDecoder, ShowsWhatWentWrong) {
    // A checksum mismatch comes with the checksum byte as read.
    Bytes corrupted = WithChecksum(Body(0x06, {0x00}, 0, {0x00, 0x00}));
    corrupted.back() = 0x5E;
    EXPECT_EQ(Received(corrupted, kLinkChecksumMismatch),
              "answer | poll address 0 | command 0 Read Unique Identifier | byte count 2 | "
              "response 0 success | status ok | checksum bad (0x5E, should be 0x04) | result 2 "
              "checksum mismatch");
    EXPECT_EQ(Received({}, kLinkNoReply), "no frame | result 5 no reply");
    EXPECT_EQ(Sent(IdentityPoll(), kLinkWriteIncomplete),
              "request | poll address 0 | command 0 Read Unique Identifier | byte count 0 | "
              "checksum good | result 4 write incomplete");
    // Every device status bit, a response code with a name and one without.
    EXPECT_EQ(Received(Body(0x06, {0x00}, 48, {64, 0xFF})),
              "answer | poll address 0 | command 48 | byte count 2 | response 64 command not "
              "implemented | status device malfunction, configuration changed, cold start, more "
              "status available, loop current fixed, loop current saturated, non-primary "
              "variable out of limits, primary variable out of limits | checksum good");
    EXPECT_NE(Received(Body(0x06, {0x00}, 48, {9, 0x00})).find("| response 9 |"),
              std::string::npos);
    // A communication error report carries no payload to decode.
    EXPECT_EQ(Received(Body(0x06, {0x00}, 0, Concat({{0x90, 0x00}, kIdentityPayload}))),
              "answer | poll address 0 | command 0 Read Unique Identifier | byte count 14 | "
              "communication error: framing error | status ok | checksum good");
    // Bytes after the checksum.
    Bytes longer = IdentityPoll();
    longer.push_back(0x00);
    EXPECT_NE(Sent(longer).find("1 more bytes after the checksum"), std::string::npos);
}

TEST(FrameDecoder, SplitsAFrameIntoColumnsAndPassesEveryWordThroughTheTranslation) {
    const auto columns = [](const Bytes& bytes, unsigned result = kLinkOk,
                            const traffic::Translate& translate = {}) {
        const traffic::FrameCells cells =
            traffic::FrameColumns(DecodeFrame(bytes, Direction::Received, result), translate);
        return std::vector<std::string>{cells.address, cells.command, cells.result, cells.decode};
    };
    Bytes answer = IdentityAnswer();
    answer[5] = 0x30;
    const auto cells = columns(answer);
    EXPECT_EQ((std::vector<std::string>(cells.begin(), cells.end() - 1)),
              (std::vector<std::string>{"0", "0 Read Unique Identifier",
                                        "status cold start, more status available"}));
    EXPECT_TRUE(cells[3].starts_with("answer | byte count 14 | manufacturer 38")) << cells[3];
    EXPECT_EQ(columns(Body(0x86, kLongAddress, 13, {32, 0}))[0], "0x26 0x06 123456");
    EXPECT_EQ(columns(Body(0x86, kLongAddress, 13, {32, 0}))[2], "response 32 busy");
    EXPECT_EQ(columns({0x06, 0x00, 0x00, 0x0E, 0x00}, kLinkDataIncomplete)[2], "incomplete");
    EXPECT_EQ(columns({}, kLinkNoReply),
              (std::vector<std::string>{"", "", "no reply", "no frame"}));

    // Every part of the summary and the result cell come from the hook.
    const traffic::Translate marked = [](const char* english) {
        return "<" + std::string(english);
    };
    Bytes corrupted = WithChecksum(Body(0x06, {0x00}, 0, {0x00, 0x00}));
    corrupted.back() = 0x5E;
    EXPECT_EQ(columns(corrupted, kLinkChecksumMismatch, marked)[2], "<checksum bad");
    for (const Bytes& frame : {answer, corrupted}) {
        const std::string line = traffic::FrameSummary(
            DecodeFrame(frame, Direction::Received, kLinkChecksumMismatch), marked);
        for (size_t at = 0; at != std::string::npos + 3; at = line.find(" | ", at) + 3)
            EXPECT_EQ(line[at], '<') << line.substr(at);
    }
}

TEST(FrameDecoder, DecodesInputCutShortAsFarAsItGoesAndNeverReadsPastIt) {
    EXPECT_EQ(Received({0x06, 0x00, 0x00, 0x0E, 0x00, 0x00, 0xFE, 0x26}),
              "answer | poll address 0 | command 0 Read Unique Identifier | byte count 14 | "
              "response 0 success | status ok | cut short: 4 of 14 data bytes");
    EXPECT_EQ(Received({0x86, 0x26, 0x06}), "answer | cut short in the header");
    EXPECT_EQ(Received({0xFF, 0xFF}, kLinkNoReply),
              "no frame | 2 preamble bytes | result 5 no reply");

    // Every prefix of every kind of frame, each in a buffer of exactly its size, so that a
    // read past the end is caught (the sanitizer build runs this too).
    struct Case {
        Bytes frame;
        size_t dataEnd;  // where the last data byte ends
    };
    const Bytes tagAnswer =
        Body(0x86, kLongAddress, 13,
             Concat({{0x00, 0x00}, kPackedTag, kPackedLetters, kPackedLetters, {1, 6, 124}}));
    const Bytes burst = Body(0x81, kLongAddress, 3, DynamicVariablesData());
    const Bytes olderTag = Body(0x06, {0x00}, 4, Concat({{0x00, 0x00, 0x01}, kPackedTag}));
    const std::vector<Case> cases = {
        {IdentityPoll(), IdentityPoll().size() - 1},  // as written, with its checksum
        {IdentityAnswer(), IdentityAnswer().size()},  // the others as delivered
        {tagAnswer, tagAnswer.size()},
        {burst, burst.size()},
        {olderTag, olderTag.size()},
    };
    for (const auto& [frame, dataEnd] : cases) {
        for (size_t length = 0; length <= frame.size(); ++length) {
            const auto prefix = std::make_unique<uint8_t[]>(length);
            std::copy_n(frame.begin(), length, prefix.get());
            const std::span<const uint8_t> bytes(prefix.get(), length);
            const traffic::DecodedFrame sent = DecodeFrame(bytes, Direction::Sent, kLinkOk);
            const traffic::DecodedFrame received = DecodeFrame(bytes, Direction::Received, kLinkOk);
            EXPECT_EQ(received.truncated, length < dataEnd && received.kind != FrameKind::None)
                << length;
            EXPECT_EQ(received.checksum == ChecksumState::CheckedByLink, length == dataEnd)
                << length;
            EXPECT_FALSE(traffic::FrameSummary(sent).empty());
            EXPECT_FALSE(traffic::FrameSummary(received).empty());
        }
    }
    // And whatever bytes a line may bring.
    std::mt19937 random(5094);
    for (int round = 0; round < 2000; ++round) {
        const size_t length = random() % 300;
        const auto bytes = std::make_unique<uint8_t[]>(length);
        for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(random());
        // Frames of a kind whose payload is decoded, more often than chance would have them.
        if (length > 3) bytes[2] = static_cast<uint8_t>(random() % 14);
        const std::span<const uint8_t> span(bytes.get(), length);
        EXPECT_FALSE(
            traffic::FrameSummary(DecodeFrame(span, Direction::Received, kLinkOk)).empty());
    }
}

}  // namespace
}  // namespace traffictest
