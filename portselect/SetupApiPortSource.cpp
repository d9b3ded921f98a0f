#include "portselect/SetupApiPortSource.h"

#include <windows.h>

// First, so that devguid.h defines the class GUIDs here.
#include <initguid.h>

#include <cfgmgr32.h>
#include <devguid.h>
#include <devpkey.h>
#include <setupapi.h>

#include <cwchar>
#include <iterator>
#include <memory>
#include <string>

#include "portselect/SetupApiPortRecord.h"
#include "portselect/SystemPorts.h"

namespace {

// Names and ids are short; a property that keeps asking for more is not read.
constexpr int kReadAttempts = 4;

std::string Utf8(const wchar_t* text, size_t capacity) {
    const size_t length = wcsnlen(text, capacity);
    if (length == 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0) return {};
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr,
                        nullptr);
    return utf8;
}

// A text property of the device's registry record; empty when it has none.
std::string TextProperty(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD property) {
    std::wstring buffer(128, L'\0');
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = 0;
        DWORD needed = 0;
        const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        if (SetupDiGetDeviceRegistryPropertyW(set, &info, property, &type,
                                              reinterpret_cast<BYTE*>(buffer.data()), bytes,
                                              &needed)) {
            return type == REG_SZ ? Utf8(buffer.data(), bytes / sizeof(wchar_t)) : std::string();
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        buffer.assign(needed / sizeof(wchar_t) + 1, L'\0');
    }
    return {};
}

// A device's own name on its bus; empty where the bus tells none (a motherboard's UART).
std::string BusDescription(HDEVINFO set, SP_DEVINFO_DATA& info) {
    wchar_t text[256] = {};  // a USB string holds at most 126 characters
    DEVPROPTYPE type = 0;
    if (!SetupDiGetDevicePropertyW(set, &info, &DEVPKEY_Device_BusReportedDeviceDesc, &type,
                                   reinterpret_cast<BYTE*>(text), sizeof(text), nullptr, 0) ||
        type != DEVPROP_TYPE_STRING) {
        return {};
    }
    return Utf8(text, std::size(text));
}

// "PortName" of the device's hardware key: the name the port opens by ("COM3").
std::string PortName(HDEVINFO set, SP_DEVINFO_DATA& info) {
    const HKEY key =
        SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == INVALID_HANDLE_VALUE) return {};
    std::wstring buffer(32, L'\0');
    std::string name;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = 0;
        DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LSTATUS status = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                                reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        if (status == ERROR_SUCCESS) {
            if (type == REG_SZ) name = Utf8(buffer.data(), bytes / sizeof(wchar_t));
            break;
        }
        if (status != ERROR_MORE_DATA) break;
        buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    }
    RegCloseKey(key);
    return name;
}

std::string InstanceId(DEVINST device) {
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    if (CM_Get_Device_IDW(device, id, MAX_DEVICE_ID_LEN + 1, 0) != CR_SUCCESS) return {};
    return Utf8(id, MAX_DEVICE_ID_LEN + 1);
}

std::string ParentInstanceId(DEVINST device) {
    DEVINST parent = 0;
    if (CM_Get_Parent(&parent, device, 0) != CR_SUCCESS) return {};
    return InstanceId(parent);
}

struct DeviceSetDeleter {
    void operator()(void* set) const { SetupDiDestroyDeviceInfoList(set); }
};

}  // namespace

bool SetupApiPortSource::ReadPorts(std::vector<PortRecord>& ports) const {
    const HDEVINFO handle =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const std::unique_ptr<void, DeviceSetDeleter> set(handle);
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof(info);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(handle, index, &info); ++index) {
        SetupApiDevice device;
        device.friendlyName = TextProperty(handle, info, SPDRP_FRIENDLYNAME);
        device.description = TextProperty(handle, info, SPDRP_DEVICEDESC);
        device.busDescription = BusDescription(handle, info);
        device.portName = PortName(handle, info);
        device.service = TextProperty(handle, info, SPDRP_SERVICE);
        device.manufacturer = TextProperty(handle, info, SPDRP_MFG);
        device.instanceId = InstanceId(info.DevInst);
        device.parentInstanceId = ParentInstanceId(info.DevInst);
        ports.push_back(PortRecordFromSetupApi(device));
    }
    // Read before the set is destroyed, which may set another.
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS || error == ERROR_NO_MORE_ITEMS;
}

// Windows gives every port its number itself; there is nothing to assign.
const IPortSource& SystemPortSource(NumberAssignment) {
    static const SetupApiPortSource source;
    return source;
}
