#include "portselect/SetupApiPortRecord.h"

#include <string_view>
#include <vector>

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t end = text.find(separator); end != std::string_view::npos;
         start = end + 1, end = text.find(separator, start)) {
        parts.push_back(text.substr(start, end - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

bool IsHexId(std::string_view text) {
    return text.size() == 4 &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == Lower(prefix);
}

// "VID_0403", "PID_6001" -> "0403:6001"; empty when either is not such an id.
std::string UsbId(std::string_view vendor, std::string_view product) {
    if (!StartsWithIgnoringCase(vendor, "VID_") || !StartsWithIgnoringCase(product, "PID_"))
        return {};
    vendor.remove_prefix(4);
    product.remove_prefix(4);
    if (!IsHexId(vendor) || !IsHexId(product)) return {};
    return Lower(vendor) + ":" + Lower(product);
}

bool IsSerialNumber(std::string_view text) {
    return !text.empty() && text.find('&') == std::string_view::npos;
}

bool IsComName(std::string_view name) {
    return name.size() > 3 && name.starts_with("COM") &&
           name.find_first_not_of("0123456789", 3) == std::string_view::npos;
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

// "USB Serial Port (COM4)" -> "USB Serial Port"; the name itself when no bracket with a COM
// name ends it.
std::string WithoutPortSuffix(const std::string& name) {
    const std::string trimmed = Trimmed(name);
    const size_t open = trimmed.rfind(" (COM");
    if (open == std::string::npos || !trimmed.ends_with(')')) return trimmed;
    const std::string_view inside =
        std::string_view(trimmed).substr(open + 2, trimmed.size() - open - 3);
    return IsComName(inside) ? Trimmed(trimmed.substr(0, open)) : trimmed;
}

}  // namespace

UsbIdentity UsbIdentityFromInstanceId(const std::string& instanceId) {
    const std::vector<std::string_view> parts = Split(instanceId, '\\');
    if (parts.size() != 3) return {};
    UsbIdentity identity;
    if (StartsWithIgnoringCase(parts[0], "USB") && parts[0].size() == 3) {
        // "VID_0403&PID_6001" or a composite device's "VID_2341&PID_0043&MI_00".
        const std::vector<std::string_view> ids = Split(parts[1], '&');
        if (ids.size() < 2) return {};
        identity.usbId = UsbId(ids[0], ids[1]);
        if (!identity.usbId.empty() && IsSerialNumber(parts[2])) identity.serial = parts[2];
    } else if (StartsWithIgnoringCase(parts[0], "FTDIBUS")) {
        // "VID_0403+PID_6001+A10K3XYZA": the serial number and the chip's channel letter.
        const std::vector<std::string_view> ids = Split(parts[1], '+');
        if (ids.size() != 3) return {};
        identity.usbId = UsbId(ids[0], ids[1]);
        if (!identity.usbId.empty() && IsSerialNumber(ids[2]) && ids[2].size() > 1)
            identity.serial = ids[2].substr(0, ids[2].size() - 1);
    }
    return identity;
}

PortRecord PortRecordFromSetupApi(const SetupApiDevice& device) {
    PortRecord record;
    PortDetails& details = record.details;
    const std::string name =
        Trimmed(device.friendlyName).empty() ? Trimmed(device.description) : device.friendlyName;
    details.title = WithoutPortSuffix(name);
    if (IsComName(device.portName)) {
        const std::string suffix = "(" + device.portName + ")";
        if (Trimmed(name).ends_with(suffix)) {
            record.friendlyName = name;
        } else {
            record.friendlyName =
                details.title.empty() ? device.portName : details.title + " " + suffix;
        }
    } else {
        record.friendlyName = name;
    }
    details.product = Trimmed(device.busDescription);
    details.driver = device.service;
    details.manufacturer = device.manufacturer;
    UsbIdentity usb = UsbIdentityFromInstanceId(device.instanceId);
    // Only a USB function asks its device: the parent of a Bluetooth or PCI port is some
    // other device altogether.
    if (!usb.usbId.empty() && usb.serial.empty()) {
        const UsbIdentity parent = UsbIdentityFromInstanceId(device.parentInstanceId);
        if (parent.usbId == usb.usbId) usb.serial = parent.serial;
    }
    details.usbId = std::move(usb.usbId);
    details.serial = std::move(usb.serial);
    return record;
}
