#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "FakeClock.h"
#include "FakeSerial.h"
#include "hart/HartFrame.h"
#include "hart/HartLink.h"

// Frames as a field device puts them on the line, and a link opened on a fake port.
namespace linktest {

using Bytes = std::vector<uint8_t>;

// preambles x FF, the body (delimiter through last data byte), then its checksum.
inline Bytes Frame(size_t preambles, const Bytes& body) {
    Bytes out(preambles, 0xFF);
    out.insert(out.end(), body.begin(), body.end());
    out.push_back(hart::Checksum(body.data(), body.size()));
    return out;
}

// A reply body with short address: delimiter, address, command, byte count, status, payload.
inline Bytes ShortBody(uint8_t delimiter, uint8_t address, uint8_t command, uint8_t response,
                       const Bytes& payload) {
    Bytes body{delimiter, address, command, static_cast<uint8_t>(payload.size() + 2),
               response,  0x00};
    body.insert(body.end(), payload.begin(), payload.end());
    return body;
}

struct LongAddress {
    uint8_t manufacturer;
    uint8_t deviceType;
    uint8_t id[3];
};

inline Bytes LongBody(uint8_t delimiter, const LongAddress& a, uint8_t command, uint8_t response,
                      const Bytes& payload) {
    Bytes body{delimiter,    a.manufacturer,
               a.deviceType, a.id[0],
               a.id[1],      a.id[2],
               command,      static_cast<uint8_t>(payload.size() + 2),
               response,     0x00};
    body.insert(body.end(), payload.begin(), payload.end());
    return body;
}

// Payload of an identity reply in the layout marked by 254.
inline Bytes ExpandedIdentity(uint8_t manufacturer, uint8_t type, uint8_t rev, uint8_t id0,
                              uint8_t id1, uint8_t id2) {
    return {254, manufacturer, type, 5, rev, 0, 0, 0, 0, id0, id1, id2};
}

// A link on a fake port, opened at 1200 baud, its events cleared.
class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_link.OpenPort(3, 1200), kLinkOk);
        m_port.ClearEvents();
    }

    // Every request is answered with the frames the function returns for it.
    void Answer(std::function<Bytes(const Bytes&)> responder) {
        m_port.SetResponder(std::move(responder));
    }
    // The replies go out one per request, in order; after the last the line is silent.
    void AnswerInTurn(std::vector<Bytes> replies) {
        auto next = std::make_shared<size_t>(0);
        Answer([replies = std::move(replies), next](const Bytes&) {
            return *next < replies.size() ? replies[(*next)++] : Bytes{};
        });
    }
    void AnswerAlways(const Bytes& reply) {
        m_port.SetResponder([reply](const Bytes&) { return reply; });
    }
    // Requests the link wrote, in order.
    size_t Requests() const { return m_port.Writes().size(); }

    FakeClock m_clock;
    FakeSerial m_port{m_clock};
    CHartLink m_link{m_port, m_clock};
    uint8_t m_reply[hart::kReplyBufferSize] = {};
};

}  // namespace linktest
