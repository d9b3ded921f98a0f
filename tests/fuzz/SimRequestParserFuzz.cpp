// libFuzzer entry: arbitrary line bytes through the simulated device's request parser, then
// through the whole device side. A frame the parser finishes must be exactly the bytes heard
// last, its checksum verdict must agree with the checksum, and every frame the devices send
// must parse back as sent.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "hart/HartFrame.h"
#include "sim/FieldBus.h"
#include "sim/RequestParser.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

// The frame the parser finished with the byte at `end - 1`.
void CheckHeard(const sim::RequestParser& parser, sim::RequestParser::Outcome outcome,
                const uint8_t* begin, const uint8_t* end) {
    const sim::Frame& frame = parser.Last();
    Require(frame.preambles >= 1);
    Require(frame.address.size() == (frame.IsLong() ? 5u : 1u));
    // Heard as the last bytes: the preamble run, the fields and the checksum as they came.
    const sim::Bytes heard = sim::AsHeard(frame);
    Require(heard.size() <= static_cast<size_t>(end - begin));
    Require(std::equal(heard.begin(), heard.end(), end - heard.size()));
    // A fresh encoding differs from what was heard in the checksum at most, and only when
    // the parser said the checksum was bad.
    const sim::Bytes encoded = sim::Encode(frame, frame.preambles);
    const bool checksumOk = encoded.back() == frame.checksum;
    Require(checksumOk == (outcome == sim::RequestParser::Outcome::Complete));
    Require(std::equal(encoded.begin(), encoded.end() - 1, heard.begin()));
    Require(hart::Checksum(heard.data() + frame.preambles, heard.size() - frame.preambles - 1) ==
            encoded.back());
}

// What a device sends parses back as the frame it meant to send.
void CheckSent(const sim::Transmission& t, bool mayBeCorrupt) {
    sim::RequestParser parser;
    size_t frames = 0;
    for (size_t i = 0; i < t.bytes.size(); ++i) {
        const auto outcome = parser.Feed(t.bytes[i]);
        if (outcome == sim::RequestParser::Outcome::InProgress) continue;
        ++frames;
        Require(i + 1 == t.bytes.size());
        Require(mayBeCorrupt || outcome == sim::RequestParser::Outcome::Complete);
        const sim::Frame& back = parser.Last();
        Require(back.delimiter == t.frame.delimiter && back.address == t.frame.address &&
                back.command == t.frame.command && back.data == t.frame.data);
    }
    Require(frames == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sim::RequestParser parser;
    for (size_t i = 0; i < size; ++i) {
        const auto outcome = parser.Feed(data[i]);
        if (outcome != sim::RequestParser::Outcome::InProgress) {
            CheckHeard(parser, outcome, data, data + i + 1);
        }
    }
    if (size == 0) return 0;

    // The first byte picks how the line behaves; the devices hear the rest.
    const uint8_t choice = data[0];
    sim::Behaviour behaviour;
    behaviour.burst = choice & 0x01;
    behaviour.noise = choice & 0x02;
    behaviour.echo = choice & 0x04;
    behaviour.busyAnswers = (choice >> 3) & 0x03;
    behaviour.badChecksumEvery = (choice >> 5) & 0x03;
    behaviour.lateEchoBytes = (choice & 0x80) ? 3 : 0;
    sim::DeviceConfig legacy = sim::DefaultDevice(1);
    legacy.revision = 4;
    sim::FieldBus bus({sim::DefaultDevice(0), legacy}, behaviour);
    for (size_t i = 1; i < size; ++i) {
        const auto heard = bus.HearByte(data[i]);
        if (!heard) continue;
        for (const sim::Transmission& t : heard->replies) {
            CheckSent(t, behaviour.badChecksumEvery != 0);
        }
    }
    const sim::Bytes line(data + 1, data + size);
    sim::FieldBus timeless({sim::DefaultDevice(0), legacy}, behaviour);
    const sim::Bytes carried = timeless.Hear(line);
    Require(!behaviour.echo || std::equal(line.begin(), line.end(), carried.begin()));
    return 0;
}
