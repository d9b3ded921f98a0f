#pragma once

#include <cstdint>

namespace sim {

// How the simulated line misbehaves, for tests and demonstrations.
struct Behaviour {
    bool burst = false;            // the first device is in burst mode
    uint32_t burstPeriodMs = 400;  // a burst frame after this much silence
    bool otherMaster = false;      // another master's requests share the line
    uint32_t otherMasterPeriodMs = 400;
    unsigned busyAnswers = 0;       // per device: first answers to 3 and 13 say "busy"
    bool busyForever = false;       // every answer but the identity (command 0) says "busy"
    bool echo = false;              // the line carries each request back as heard
    bool noise = false;             // junk bytes before each answer's preamble
    unsigned badChecksumEvery = 0;  // every N-th answer has a wrong checksum; 0: none
    // Every N-th master request heard (sound checksum, any address) gets no answer; 0: none.
    // A dropped request makes no answer, so it does not count towards badChecksumEvery.
    unsigned dropEvery = 0;
    bool silent = false;  // no device answers
    // The device end goes away (as an unplugged USB modem does) once this many answers are
    // completely sent; 0: never.
    unsigned vanishAfter = 0;
    bool trickle = false;  // one 0xFF byte every tricklePeriodMs, for ever
    uint32_t tricklePeriodMs = 400;
    bool babble = false;         // 0xFF back to back whenever nothing else is sent
    unsigned lateEchoBytes = 0;  // the last N bytes of each request come back late; 0: none
};

}  // namespace sim
