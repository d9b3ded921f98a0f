#pragma once

#include <optional>

#include "sim/DeviceConfig.h"
#include "sim/Frame.h"

// One simulated field device: decides whether a request is addressed to it and builds the
// answer frame (without preamble) that it puts on the line.
namespace sim {

inline constexpr uint8_t kResponseBusy = 32;
inline constexpr uint8_t kResponseNotImplemented = 64;
inline constexpr uint8_t kResponseInvalidSelection = 2;

class FieldDevice {
public:
    FieldDevice(const DeviceConfig& config, unsigned busyAnswers, bool burstMode,
                bool busyForever = false);

    // Short frames by polling address, long frames by long address; master and burst bits
    // do not count.
    bool IsAddressed(const Frame& request) const;
    // The answer to a master's request addressed to this device.
    Frame Answer(const Frame& request);
    // A burst frame with the dynamic variables, as a device in burst mode sends it.
    Frame BurstFrame();
    // A request of another (primary) master to this device.
    Frame OtherMasterRequest() const;
    Bytes LongAddress() const;

private:
    Bytes Payload(const Frame& request, uint8_t& responseCode);
    Bytes IdentityPayload() const;
    Bytes TagPayload() const;
    Bytes DynamicVariables();
    Bytes ReplyAddress(const Frame& request) const;
    bool Legacy() const { return m_config.revision < 5; }

    DeviceConfig m_config;
    unsigned m_busyLeft;
    bool m_busyForever;
    bool m_burstMode;
    unsigned m_readings = 0;
};

}  // namespace sim
