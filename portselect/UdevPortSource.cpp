#include "portselect/UdevPortSource.h"

#include <libudev.h>
#include <unistd.h>

#include <map>

#include "portselect/SysfsPortSource.h"
#include "serial/ComPortMap.h"

namespace {

struct UdevDeleter {
    void operator()(udev* handle) const { udev_unref(handle); }
    void operator()(udev_enumerate* handle) const { udev_enumerate_unref(handle); }
    void operator()(udev_device* handle) const { udev_device_unref(handle); }
    void operator()(udev_monitor* handle) const { udev_monitor_unref(handle); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

bool IsLegacyUart(const std::string& name) {
    return name.size() > 4 && name.starts_with("ttyS") && name[4] >= '0' && name[4] <= '9';
}

// A tty the port list takes: in a fixed COM range, with a device of its own (the
// "device" link of sysfs; virtual consoles and ptys have none).
bool IsListedTty(udev_device* tty, const std::string& name) {
    if (!ComNumberForDevice("/dev/" + name)) return false;
    const std::string syspath = Text(udev_device_get_syspath(tty));
    return access((syspath + "/device").c_str(), F_OK) == 0;
}

void SetIfEmpty(DeviceProperties& properties, const char* key, const char* value) {
    std::string& slot = properties[key];
    if (slot.empty()) slot = Text(value);
}

}  // namespace

UdevPortSource::UdevPortSource(NumberAssignment assignment) : m_assignment(assignment) {}

bool UdevPortSource::ReadPorts(std::vector<PortRecord>& ports) const {
    std::vector<SerialDevice> devices;
    const bool complete = ReadDevices(devices);
    AppendPortRecords(devices, m_assignment, ports);
    return complete;
}

bool UdevPortSource::ReadDevices(std::vector<SerialDevice>& devices) const {
    const UdevPtr<udev> context(udev_new());
    if (!context)
        return SysfsPortSource("/sys/class/tty", "/dev", m_assignment).ReadDevices(devices);
    const UdevPtr<udev_enumerate> enumeration(udev_enumerate_new(context.get()));
    if (!enumeration || udev_enumerate_add_match_subsystem(enumeration.get(), "tty") < 0)
        return false;
    const bool complete = udev_enumerate_scan_devices(enumeration.get()) >= 0;
    std::map<unsigned, SerialDevice> byNumber;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration.get())) {
        const UdevPtr<udev_device> tty(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!tty) continue;
        const std::string name = Text(udev_device_get_sysname(tty.get()));
        if (!IsListedTty(tty.get(), name)) continue;
        if (IsLegacyUart(name)) {
            const std::string type = Text(udev_device_get_sysattr_value(tty.get(), "type"));
            if (type == "0" || type == "unknown") continue;  // an empty 8250 slot
        }
        DeviceProperties properties;
        udev_list_entry* property = nullptr;
        udev_list_entry_foreach(property, udev_device_get_properties_list_entry(tty.get())) {
            properties[Text(udev_list_entry_get_name(property))] =
                Text(udev_list_entry_get_value(property));
        }
        if (const char* node = udev_device_get_devnode(tty.get())) properties["DEVNAME"] = node;
        // The parents are owned by the tty's record.
        if (udev_device* parent = udev_device_get_parent(tty.get())) {
            properties["TRALVO_DRIVER"] = Text(udev_device_get_driver(parent));
        }
        if (udev_device* interface =
                udev_device_get_parent_with_subsystem_devtype(tty.get(), "usb", "usb_interface")) {
            properties["ID_BUS"] = "usb";
            properties["TRALVO_INTERFACE"] =
                Text(udev_device_get_sysattr_value(interface, "interface"));
        }
        if (udev_device* usbDevice =
                udev_device_get_parent_with_subsystem_devtype(tty.get(), "usb", "usb_device")) {
            properties["TRALVO_PRODUCT"] =
                Text(udev_device_get_sysattr_value(usbDevice, "product"));
            properties["TRALVO_MANUFACTURER"] =
                Text(udev_device_get_sysattr_value(usbDevice, "manufacturer"));
            properties["TRALVO_SERIAL"] = Text(udev_device_get_sysattr_value(usbDevice, "serial"));
            SetIfEmpty(properties, "ID_VENDOR_ID",
                       udev_device_get_sysattr_value(usbDevice, "idVendor"));
            SetIfEmpty(properties, "ID_MODEL_ID",
                       udev_device_get_sysattr_value(usbDevice, "idProduct"));
        }
        const auto number = ComNumberForDevice("/dev/" + name);
        byNumber.emplace(*number, SerialDeviceFromProperties(name, properties));
    }
    for (auto& [number, device] : byNumber) devices.push_back(std::move(device));
    return complete;
}

struct UdevPortMonitor::Handles {
    UdevPtr<udev> context;
    UdevPtr<udev_monitor> monitor;
};

UdevPortMonitor::UdevPortMonitor() : m_handles(std::make_unique<Handles>()) {
    m_handles->context.reset(udev_new());
    if (!m_handles->context) return;
    // udevd's messages come after its rules made the /dev/serial links; without a udevd
    // (no control socket) only the kernel's own arrive.
    const char* source = access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    m_handles->monitor.reset(udev_monitor_new_from_netlink(m_handles->context.get(), source));
    if (!m_handles->monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_handles->monitor.get(), "tty", nullptr) <
            0 ||
        udev_monitor_enable_receiving(m_handles->monitor.get()) < 0) {
        m_handles->monitor.reset();
    }
}

UdevPortMonitor::~UdevPortMonitor() = default;

int UdevPortMonitor::Descriptor() const {
    return m_handles->monitor ? udev_monitor_get_fd(m_handles->monitor.get()) : -1;
}

bool UdevPortMonitor::TakeEvents() {
    if (!m_handles->monitor) return false;
    bool changed = false;
    // The socket does not block: receiving ends when nothing more waits.
    while (
        const UdevPtr<udev_device> device{udev_monitor_receive_device(m_handles->monitor.get())}) {
        const std::string action = Text(udev_device_get_action(device.get()));
        const std::string name = Text(udev_device_get_sysname(device.get()));
        if ((action == "add" || action == "remove") && ComNumberForDevice("/dev/" + name)) {
            changed = true;
        }
    }
    return changed;
}

const IPortSource& SystemPortSource(NumberAssignment assignment) {
    static const UdevPortSource assigning(NumberAssignment::Assign);
    static const UdevPortSource listing(NumberAssignment::ListOnly);
    return assignment == NumberAssignment::Assign ? assigning : listing;
}

std::unique_ptr<IPortMonitor> MakeSystemPortMonitor() {
    return std::make_unique<UdevPortMonitor>();
}
