#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "hart/HartFrame.h"

// What a scripted device on a pty needs to keep a 1200-baud line's timing: a pty hands it
// the request at once, but on the line its last byte comes only after the on-air time, and
// the device answers a turnaround later.
namespace scriptedline {

constexpr double kByteMs = 11.0 * 1000.0 / 1200.0;
constexpr std::chrono::milliseconds kTurnaround{20};

// When a device that began to hear a request of `length` bytes at `heard` answers.
inline std::chrono::steady_clock::time_point AnswerTime(std::chrono::steady_clock::time_point heard,
                                                        size_t length) {
    using namespace std::chrono;
    return heard +
           duration_cast<microseconds>(
               duration<double, std::milli>(static_cast<double>(length) * kByteMs)) +
           kTurnaround;
}

// preambles x FF, the body, then its checksum.
inline std::string Frame(size_t preambles, const std::string& body) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(body.data());
    return std::string(preambles, '\xFF') + body +
           static_cast<char>(hart::Checksum(bytes, body.size()));
}

}  // namespace scriptedline
