#include "portselect/SerialDevice.h"

#include <initializer_list>
#include <string_view>

std::string WithoutControlCharacters(std::string text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = ' ';
    }
    return text;
}

namespace {

std::string Property(const DeviceProperties& properties, const std::string& key) {
    const auto found = properties.find(key);
    return found == properties.end() ? std::string() : found->second;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Control characters become blanks; blanks at either end go.
std::string Clean(std::string text) {
    text = WithoutControlCharacters(std::move(text));
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Underscores(std::string text) {
    for (char& c : text) {
        if (c == '_') c = ' ';
    }
    return text;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The device's own name for itself, unless udev put the hexadecimal id in place of a
// missing string; else the database's name.
std::string Named(const DeviceProperties& properties, const char* own, const char* encoded,
                  const char* plain, const char* id, const char* database) {
    const std::string idText = Property(properties, id);
    for (const std::string& candidate :
         {Property(properties, own), DecodeUdevText(Property(properties, encoded)),
          Underscores(Property(properties, plain))}) {
        std::string text = Clean(candidate);
        if (text.empty()) continue;
        if (!idText.empty() && EqualIgnoringCase(text, idText)) break;  // only the id
        return text;
    }
    return Clean(Property(properties, database));
}

bool IsNumberedUart(const std::string& name) {
    return name.size() > 4 && name.starts_with("ttyS") &&
           name.find_first_not_of("0123456789", 4) == std::string::npos;
}

std::string FirstLinkUnder(const std::string& links, std::string_view folder) {
    size_t start = 0;
    while (start < links.size()) {
        size_t end = links.find(' ', start);
        if (end == std::string::npos) end = links.size();
        const std::string_view link = std::string_view(links).substr(start, end - start);
        if (const size_t at = link.find(folder);
            at != std::string_view::npos && link.size() > at + folder.size()) {
            return std::string(link);
        }
        start = end + 1;
    }
    return {};
}

}  // namespace

std::string DecodeUdevText(const std::string& text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            HexValue(text[i + 2]) >= 0 && HexValue(text[i + 3]) >= 0) {
            decoded += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
            i += 3;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

SerialDevice SerialDeviceFromProperties(const std::string& name,
                                        const DeviceProperties& properties) {
    SerialDevice device;
    device.name = name;
    const std::string devName = Property(properties, "DEVNAME");
    device.node = devName.starts_with('/') ? devName : "/dev/" + name;
    device.usb = Property(properties, "ID_BUS") == "usb";

    PortDetails& details = device.details;
    details.product = Named(properties, "TRALVO_PRODUCT", "ID_MODEL_ENC", "ID_MODEL", "ID_MODEL_ID",
                            "ID_MODEL_FROM_DATABASE");
    details.manufacturer = Named(properties, "TRALVO_MANUFACTURER", "ID_VENDOR_ENC", "ID_VENDOR",
                                 "ID_VENDOR_ID", "ID_VENDOR_FROM_DATABASE");
    details.serial = Clean(Property(properties, "TRALVO_SERIAL"));
    if (details.serial.empty()) details.serial = Clean(Property(properties, "ID_SERIAL_SHORT"));
    const std::string vendorId = Clean(Property(properties, "ID_VENDOR_ID"));
    const std::string modelId = Clean(Property(properties, "ID_MODEL_ID"));
    if (!vendorId.empty() && !modelId.empty()) details.usbId = vendorId + ":" + modelId;
    details.driver = Clean(Property(properties, "TRALVO_DRIVER"));
    if (details.driver.empty()) details.driver = Clean(Property(properties, "ID_USB_DRIVER"));

    const std::string links = Clean(Property(properties, "DEVLINKS"));
    details.byId = FirstLinkUnder(links, "/serial/by-id/");
    device.byPath = FirstLinkUnder(links, "/serial/by-path/");

    const std::string interfaceText = Clean(Property(properties, "TRALVO_INTERFACE"));
    if (IsNumberedUart(name)) {
        details.title = kComPortTitle;
    } else if (device.usb && !interfaceText.empty()) {
        details.title = interfaceText;
    } else if (device.usb && !details.product.empty()) {
        details.title = details.product;
    } else if (!details.driver.empty()) {
        details.title = details.driver;
    } else {
        details.title = Clean(name);
    }
    return device;
}
