#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FakeClock.h"
#include "FakeSerial.h"
#include "hart/Encoding.h"
#include "hart/HartFrame.h"
#include "hart/HartLink.h"

// Plays one arbitrary byte stream as the line behind the link. The first bytes choose the
// operation and its arguments; the rest is cut into the replies the line carries back, one
// per request, each led by a byte that gives its length and, in its top bits, how late it
// comes. Everything runs on virtual time, so no input can make the link wait for real.
namespace linkfuzz {

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    uint8_t Byte() { return Empty() ? 0 : m_data[m_pos++]; }
    std::vector<uint8_t> Take(size_t n) {
        const size_t count = n < m_size - m_pos ? n : m_size - m_pos;
        std::vector<uint8_t> out(m_data + m_pos, m_data + m_pos + count);
        m_pos += count;
        return out;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// One reply: length byte (low 6 bits x 4 bytes, up to 252), lateness in its top 2 bits.
inline std::vector<uint8_t> NextReply(Input& in, FakeSerial& port) {
    const uint8_t lead = in.Byte();
    static constexpr uint64_t kTurnarounds[] = {20, 0, 480, 1600};
    port.SetTurnaroundMs(kTurnarounds[lead >> 6]);
    return in.Take(static_cast<size_t>(lead & 0x3F) * 4);
}

inline void RunDecoders(Input& in) {
    std::vector<uint8_t> packed = in.Take(255);
    char text[22];
    std::memset(text, 0x7F, sizeof text);
    UnpackAscii(packed.data(), text, static_cast<uint8_t>(packed.size()));
    if (!std::memchr(text, 0, sizeof text)) __builtin_trap();  // the text must stay terminated
    if (packed.size() >= 4) {
        float value;
        DecodeFloat(&value, packed.data());
    }
}

inline void RunOne(const uint8_t* data, size_t size) {
    Input in(data, size);
    const uint8_t operation = in.Byte();
    const uint8_t argument = in.Byte();
    const uint8_t failures = in.Byte();

    FakeClock clock;
    FakeSerial port(clock);
    CHartLink link(port, clock);
    if (operation % 8 == 7) {
        RunDecoders(in);
        return;
    }
    if (link.OpenPort(static_cast<uint8_t>(argument | 1), 1200) != kLinkOk) return;
    if (failures & 0x01) port.writeStatus = kSerialTimeout;
    if (failures & 0x02) port.writeShortBy = 1;
    port.SetEcho(failures & 0x04);
    port.SetResponder([&](const FakeSerial::Bytes&) { return NextReply(in, port); });

    uint8_t reply[hart::kReplyBufferSize];
    std::memset(reply, 0xA5, sizeof reply);
    switch (operation % 8) {
        case 0:
        case 1:
            // The line's bytes are already there when the reception starts.
            port.Arrive(in.Take(size));
            link.ReceiveFrame(operation % 8 == 1, reply, 500);
            break;
        case 2:
            link.PollIdentity(argument & 0x0F, static_cast<uint8_t>(argument >> 4));
            break;
        case 3:
        case 4:
            // The identity comes from the line too, then a command by long address.
            link.PollIdentity(0, 1);
            link.SendCommand(argument, reply);
            break;
        case 5:
            link.PollIdentity(argument & 0x0F, 1);
            link.SendShortCommand(argument, reply, failures);
            break;
        case 6:
            link.m_nManufacturer = argument;
            link.m_nDeviceType = failures;
            link.SendCommand(13, reply);
            break;
    }
    link.ClosePort();
}

}  // namespace linkfuzz
