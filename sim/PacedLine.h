#pragma once

#include <deque>
#include <optional>

#include "sim/FieldBus.h"
#include "sim/LineTiming.h"
#include "sim/Trace.h"

// What the simulated line carries and when, without a descriptor or a clock of its own: bytes
// read from the line go in with the time they were read, and what the line carries back by a
// given time comes out in line order. Times are milliseconds on the caller's steady scale, so
// tests can run it in virtual time.
namespace sim {

class PacedLine {
public:
    PacedLine(FieldBus& bus, const LineTiming& timing, Trace* trace = nullptr);

    // Bytes read from the line at `now`. Each is heard one character time after the later of
    // its arrival and the end of the one before, as a 1200-baud receiver hears it.
    void Hear(double now, const Bytes& bytes);
    // Everything the line carries back by `now`, in order, to be written at once: the echo,
    // answers and unprompted frames, the late echo, trickle and babble.
    Bytes Take(double now);
    // When Take has something new to give; +infinity when nothing is coming.
    double NextDueMs() const;
    // When the device end sent its last answer (Behaviour::vanishAfter) and fell silent for
    // good; empty while it is still there.
    std::optional<double> LastAnswerSentMs() const { return m_lastAnswerSentMs; }

private:
    struct Outgoing {
        double startMs;
        double endMs;  // when its last byte is off a 1200-baud line
        const char* what;
        Bytes bytes;
        bool answer;
        size_t sent = 0;
    };
    enum class Source { None, LateEcho, Transmission, Trickle, Babble };
    struct Next {
        Source source = Source::None;
        double atMs = 0;
    };

    Bytes EchoAtOnce(const Bytes& heard);
    void Schedule(const Transmission& t, double startMs);
    void StartUnprompted(double now);
    bool UnpromptedDue(double now) const;
    double SilenceEndMs() const;
    Next NextOutput() const;
    void Emit(const Next& next, double now, Bytes& out);
    void EmitTransmissionByte(double now, Bytes& out);
    // The last answer before vanishing is on its way: nothing new is scheduled.
    bool Leaving() const;

    FieldBus& m_bus;
    LineTiming m_timing;
    Trace* m_trace;
    std::deque<Outgoing> m_queue;  // in the order they go on the line
    Bytes m_echoNow;               // echo to go out at the next Take
    Bytes m_echoHeld;              // the echo's tail, held back for the late echo
    double m_echoDueMs = 0;
    double m_heardEndMs = 0;     // when the last heard byte ends on a 1200-baud line
    double m_lastArrivalMs = 0;  // when the last byte was actually read
    double m_sentEndMs = 0;      // when the last transmission scheduled ends
    double m_busyUntilMs = 0;    // when the last transmission begun ends
    double m_nextTrickleMs;
    double m_nextBabbleMs = 0;
    size_t m_unpromptedTurn = 0;
    unsigned m_answersScheduled = 0;
    unsigned m_answersSent = 0;
    std::optional<double> m_lastAnswerSentMs;
};

}  // namespace sim
