#pragma once

#include <optional>
#include <vector>

#include "sim/Behaviour.h"
#include "sim/DeviceConfig.h"
#include "sim/FieldDevice.h"
#include "sim/Frame.h"
#include "sim/RequestParser.h"

// A multi-drop line of simulated field devices, without time: request bytes go in as they
// are heard, the bytes the devices put on the line come out. The line loop adds the timing;
// tests feed it directly, or plug Hear() into a fake port's responder.
namespace sim {

struct Transmission {
    enum class Kind { Answer, Burst, OtherMaster };
    Kind kind;
    Frame frame;           // as sent, without preamble
    Bytes bytes;           // on the wire: junk (with noise), preamble, frame, checksum
    bool corrupt = false;  // its checksum was made wrong on purpose
};

// What finishing a frame on the line led to.
struct HeardFrame {
    Frame frame;
    bool checksumOk = true;
    bool dropped = false;               // Behaviour::dropEvery took its answer away
    std::vector<Transmission> replies;  // an answer and possibly a burst frame after it
};

class FieldBus {
public:
    FieldBus(const std::vector<DeviceConfig>& devices, const Behaviour& behaviour);

    // One heard byte; a HeardFrame when it finished a frame.
    std::optional<HeardFrame> HearByte(uint8_t byte);
    // Everything the line carries back for the bytes heard, in order: their echo (with
    // --echo), then for each request the late tail of its echo (with --late-echo but no
    // --echo) and its answer with its burst frame.
    Bytes Hear(const Bytes& heard);
    // Forgets a partly heard frame.
    void ResetLine() { m_parser.Reset(); }
    bool InFrame() const { return m_parser.InFrame(); }

    // Unprompted traffic for a silent line.
    Transmission Burst();
    Transmission OtherMasterRequest();

    const Behaviour& Behave() const { return m_behaviour; }

private:
    std::vector<Transmission> Replies(const Frame& request);
    Transmission Send(Transmission::Kind kind, const Frame& frame, bool corrupt);
    // Counts a heard request; true when its answer is to be dropped.
    bool DropsAnswerTo(const Frame& request);

    std::vector<FieldDevice> m_devices;
    Behaviour m_behaviour;
    RequestParser m_parser;
    unsigned m_answers = 0;
    unsigned m_requests = 0;
};

}  // namespace sim
