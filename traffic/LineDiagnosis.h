#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "traffic/TrafficFrame.h"
#include "traffic/WireText.h"

// What the line showed when a test failed: each reception that did not bring a usable
// answer is put in one class by what the capture saw, and the class seen most often
// names the check to make. A run whose receptions all brought usable answers has none.
namespace traffic {

enum class LineClass {
    Silent,        // nothing at all came back
    EchoOnly,      // only the echo of our requests: the modem sends, no device answers
    Noise,         // bytes without a preamble and frame
    Corrupt,       // frames with a bad checksum, cut short, or bytes with line errors
    OtherAddress,  // answers from an address we did not poll
    Busy,          // answers saying the device is busy
};

class CLineDiagnosis {
public:
    // Safe to call on the link's thread while another thread asks for the verdict.
    void Add(const TrafficFrame& frame);
    std::optional<LineClass> Verdict() const;
    void Reset();

private:
    static constexpr size_t kClasses = 6;
    mutable std::mutex m_mutex;
    std::array<uint64_t, kClasses> m_counts{};
    TrafficFrame m_lastRequest;
};

// The word for scripts: "silent", "echo_only", "noise", "corrupt", "other_address", "busy".
const char* LineClassKey(LineClass lineClass);
// What the line did and what to check, for people; translate gives the interface language.
std::string LineClassText(LineClass lineClass, const Translate& translate = {});

}  // namespace traffic
