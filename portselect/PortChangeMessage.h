#pragma once

#include <cstdint>

// Windows' device-change broadcast by its numbers (WM_DEVICECHANGE and those of <dbt.h>), so
// that which messages concern ports is decided, and tested, without Windows' headers.
inline constexpr uint32_t kDeviceChangeMessage = 0x0219;    // WM_DEVICECHANGE
inline constexpr uintptr_t kDeviceArrival = 0x8000;         // DBT_DEVICEARRIVAL
inline constexpr uintptr_t kDeviceRemoveComplete = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
inline constexpr uint32_t kDeviceTypePort = 3;              // DBT_DEVTYP_PORT

// Whether a window message announces that a device came or went; only then does its lParam
// point to a broadcast header (DEV_BROADCAST_HDR) whose device type can be read. Queries,
// cancelled and pending removals and the bare "something changed" carry none.
constexpr bool IsDeviceArrivalOrRemoval(uint32_t message, uintptr_t event) {
    return message == kDeviceChangeMessage &&
           (event == kDeviceArrival || event == kDeviceRemoveComplete);
}

// Whether such a header's device is a port, which the chooser lists (volumes, interfaces and
// handles are not).
constexpr bool IsPortDevice(uint32_t deviceType) { return deviceType == kDeviceTypePort; }
