#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FakeClock.h"
#include "FakeSerial.h"
#include "hart/HartLink.h"
#include "sim/FieldBus.h"
#include "sim/Frame.h"

// A real link on a fake port in virtual time, with simulated field devices answering on
// the line, and the identity poll that the poll test leaves behind for the monitor.
namespace pvtest {

using Bytes = std::vector<uint8_t>;

inline constexpr uint8_t kComPort = 3;

// The command number of a request as written (preamble, delimiter, address, command...).
inline int CommandOf(const Bytes& request) {
    size_t at = 0;
    while (at < request.size() && request[at] == 0xFF) ++at;
    if (at >= request.size()) return -1;
    const size_t commandPos = at + ((request[at] & 0x80) ? 6 : 2);
    return commandPos < request.size() ? request[commandPos] : -1;
}

class LineFixture : public ::testing::Test {
protected:
    LineFixture() {
        SetDevices({sim::DefaultDevice(0)});
        m_serial.SetResponder(
            [this](const Bytes& request) { return m_bSilent ? Bytes{} : m_bus->Hear(request); });
    }

    void SetDevices(const std::vector<sim::DeviceConfig>& devices) {
        m_bus = std::make_unique<sim::FieldBus>(devices, sim::Behaviour{});
    }
    sim::DeviceConfig DeviceWithRevision(uint8_t revision) {
        sim::DeviceConfig device = sim::DefaultDevice(0);
        device.revision = revision;
        return device;
    }

    // What the poll test leaves behind: the identity of the device at address 0 in the
    // link, the port closed. The line's record starts afresh.
    void PollFirst() {
        ASSERT_EQ(m_link.OpenPort(kComPort, 1200), kLinkOk);
        ASSERT_TRUE(m_link.PollIdentity(0, 2));
        m_link.ClosePort();
        m_serial.ClearEvents();
    }

    // Command 3 answered by "command not implemented" without data, then by the loop
    // current (12 mA) alone from then on.
    void AnswerCommand3LackingValues() {
        m_serial.SetResponder([this](const Bytes& request) {
            if (CommandOf(request) != 3) return m_bus->Hear(request);
            size_t at = 0;
            while (request[at] == 0xFF) ++at;
            return sim::Encode(sim::Frame{
                .delimiter = 0x86,
                .address = Bytes(request.begin() + at + 1, request.begin() + at + 6),
                .command = 3,
                .data = m_nCommand3Replies++ == 0 ? Bytes{64, 0} : Bytes{0, 0, 0x41, 0x40, 0, 0}});
        });
    }

    // Requests of one command on the line since the last PollFirst.
    int Requests(int command) const {
        int n = 0;
        for (const Bytes& request : m_serial.Writes()) n += CommandOf(request) == command;
        return n;
    }

    FakeClock m_clock;
    FakeSerial m_serial{m_clock};
    CHartLink m_link{m_serial, m_clock};
    std::unique_ptr<sim::FieldBus> m_bus;
    bool m_bSilent = false;
    size_t m_nCommand3Replies = 0;
};

}  // namespace pvtest
