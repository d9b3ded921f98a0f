#include "sim/FieldDevice.h"

#include <cmath>

#include "hart/HartFrame.h"

namespace sim {

namespace {
constexpr uint8_t kUnitKilopascal = 12;
constexpr uint8_t kUnitDegreesCelsius = 32;
constexpr uint8_t kDeviceRevision = 1;
constexpr uint8_t kSoftwareRevision = 3;
constexpr uint8_t kHardwareRevision = 0x08;  // hardware 1, Bell 202 signalling
constexpr uint8_t kTagDataByte = 1;

// Day, month, year - 1900.
constexpr uint8_t kDate[] = {1, 6, 124};
}  // namespace

FieldDevice::FieldDevice(const DeviceConfig& config, unsigned busyAnswers, bool burstMode,
                         bool busyForever)
    : m_config(config),
      m_busyLeft(busyAnswers),
      m_busyForever(busyForever),
      m_burstMode(burstMode) {}

Bytes FieldDevice::LongAddress() const {
    const uint32_t id = m_config.deviceId;
    return {static_cast<uint8_t>(m_config.manufacturer & hart::kAddressBits), m_config.deviceType,
            static_cast<uint8_t>(id >> 16), static_cast<uint8_t>(id >> 8),
            static_cast<uint8_t>(id)};
}

bool FieldDevice::IsAddressed(const Frame& request) const {
    if (!request.IsLong()) {
        return request.address.size() == 1 &&
               (request.address[0] & hart::kAddressBits) == m_config.pollAddress;
    }
    Bytes heard = request.address;
    if (heard.size() != hart::kLongAddressBytes) return false;
    heard[0] &= hart::kAddressBits;
    return heard == LongAddress();
}

Bytes FieldDevice::ReplyAddress(const Frame& request) const {
    const uint8_t flags = static_cast<uint8_t>((request.address.at(0) & hart::kPrimaryMasterBit) |
                                               (m_burstMode ? hart::kBurstModeBit : 0));
    if (!request.IsLong()) return {static_cast<uint8_t>(flags | m_config.pollAddress)};
    Bytes address = LongAddress();
    address[0] |= flags;
    return address;
}

Frame FieldDevice::Answer(const Frame& request) {
    Frame reply;
    reply.delimiter = request.IsLong() ? hart::kDelimSlaveLong : hart::kDelimSlaveShort;
    reply.address = ReplyAddress(request);
    reply.command = request.command;
    uint8_t responseCode = 0;
    const Bytes payload = Payload(request, responseCode);
    reply.data = {responseCode, 0};
    reply.data.insert(reply.data.end(), payload.begin(), payload.end());
    return reply;
}

Bytes FieldDevice::Payload(const Frame& request, uint8_t& responseCode) {
    const uint8_t command = request.command;
    if (command == 0) return IdentityPayload();
    // The identity still answers, so that a master finds the device and then waits on it.
    if (m_busyForever) {
        responseCode = kResponseBusy;
        return {};
    }
    if (Legacy()) {
        if (command == 4) {
            if (request.data.empty() || request.data[0] != kTagDataByte) {
                responseCode = kResponseInvalidSelection;
                return {};
            }
            Bytes payload{kTagDataByte};
            const Bytes tag = PackAscii(m_config.tag, 6);
            payload.insert(payload.end(), tag.begin(), tag.end());
            return payload;
        }
        responseCode = kResponseNotImplemented;
        return {};
    }
    if ((command == 3 || command == 13) && m_busyLeft > 0) {
        --m_busyLeft;
        responseCode = kResponseBusy;
        return {};
    }
    switch (command) {
        case 3:
            return DynamicVariables();
        case 13:
            return TagPayload();
        case 20: {
            Bytes longTag(m_config.longTag.begin(), m_config.longTag.end());
            longTag.resize(32, 0);
            return longTag;
        }
        default:
            responseCode = kResponseNotImplemented;
            return {};
    }
}

Bytes FieldDevice::IdentityPayload() const {
    const Bytes address = LongAddress();
    if (Legacy()) {
        return {m_config.deviceType,
                m_config.manufacturer,
                m_config.revision,
                kDeviceRevision,
                kSoftwareRevision,
                kHardwareRevision,
                0,
                address[2],
                address[3],
                address[4]};
    }
    Bytes payload{254,
                  m_config.manufacturer,
                  m_config.deviceType,
                  static_cast<uint8_t>(kReplyPreambles),
                  m_config.revision,
                  kDeviceRevision,
                  kSoftwareRevision,
                  kHardwareRevision,
                  0,  // flags
                  address[2],
                  address[3],
                  address[4]};
    if (m_config.revision >= 6) {
        // Preambles master to slave, device variables, configuration change counter.
        payload.insert(payload.end(), {5, 1, 0, 0});
    }
    if (m_config.revision >= 7) {
        // Extended status, manufacturer and private label codes, device profile.
        payload.insert(payload.end(), {0, 0, m_config.manufacturer, 0, m_config.manufacturer, 1});
    }
    return payload;
}

Bytes FieldDevice::TagPayload() const {
    Bytes payload = PackAscii(m_config.tag, 6);
    const Bytes descriptor = PackAscii(m_config.descriptor, 12);
    payload.insert(payload.end(), descriptor.begin(), descriptor.end());
    payload.insert(payload.end(), std::begin(kDate), std::end(kDate));
    return payload;
}

Bytes FieldDevice::DynamicVariables() {
    // A loop current that drifts slowly around 12 mA, and a pressure that follows it over a
    // 0 to 100 kPa range.
    const float current = 12.0f + 0.25f * std::sin(0.3f * static_cast<float>(m_readings++));
    const float pressure = (current - 4.0f) / 16.0f * 100.0f;
    Bytes payload;
    AppendFloat(payload, current);
    payload.push_back(kUnitKilopascal);
    AppendFloat(payload, pressure);
    payload.push_back(kUnitDegreesCelsius);
    AppendFloat(payload, 21.5f);
    return payload;
}

Frame FieldDevice::BurstFrame() {
    Frame frame;
    frame.delimiter = hart::kDelimBurstLong;
    frame.address = LongAddress();
    frame.address[0] |= hart::kBurstModeBit;
    frame.command = 3;
    frame.data = {0, 0};
    const Bytes payload = DynamicVariables();
    frame.data.insert(frame.data.end(), payload.begin(), payload.end());
    return frame;
}

Frame FieldDevice::OtherMasterRequest() const {
    Frame frame;
    frame.delimiter = hart::kDelimMasterLong;
    frame.address = LongAddress();
    frame.address[0] |= hart::kPrimaryMasterBit;
    frame.command = 1;
    return frame;
}

}  // namespace sim
