#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

// A temporary /sys/class/tty with the device folders behind it, laid out as the kernel
// lays them out, removed when the test ends.
class FakeSysfs {
public:
    FakeSysfs() {
        char pattern[] = "/tmp/tralvo-sysfs-XXXXXX";
        m_root = mkdtemp(pattern);
        std::filesystem::create_directories(ClassFolder());
    }
    ~FakeSysfs() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    std::string ClassFolder() const { return m_root + "/class/tty"; }

    // An on-board 8250 UART slot; type 0 is an empty slot.
    void AddUart(const std::string& tty, const std::string& type) {
        const std::string device = Device("platform/serial8250/" + tty, "serial8250");
        Write(AddTty(tty, device) + "/type", type);
    }

    // A USB serial converter: the tty hangs off a usb-serial port below the interface.
    void AddUsbSerial(const std::string& tty, const std::string& product,
                      const std::string& interfaceText = {}) {
        const std::string usbDevice = m_root + "/devices/usb1/1-" + tty;
        Write(usbDevice + "/product", product + "\n");
        const std::string interface = usbDevice + "/1-1:1.0";
        Write(interface + "/bInterfaceNumber", "00\n");
        if (!interfaceText.empty()) Write(interface + "/interface", interfaceText + "\n");
        const std::string port = interface + "/" + tty;
        std::filesystem::create_directories(port);
        Link(port + "/driver", Driver("ftdi_sio"));
        AddTty(tty, port);
    }

    // A CDC-ACM modem: the tty's device is the interface itself.
    void AddAcm(const std::string& tty, const std::string& interfaceText,
                const std::string& product) {
        const std::string usbDevice = m_root + "/devices/usb1/1-" + tty;
        if (!product.empty()) Write(usbDevice + "/product", product + "\n");
        const std::string interface = usbDevice + "/1-1:1.0";
        Write(interface + "/bInterfaceNumber", "00\n");
        if (!interfaceText.empty()) Write(interface + "/interface", interfaceText + "\n");
        Link(interface + "/driver", Driver("cdc_acm"));
        AddTty(tty, interface);
    }

    // A tty with a device that is no USB interface, served by a named driver (or none).
    void AddOther(const std::string& tty, const std::string& driver) {
        AddTty(tty, Device("virtual/" + tty, driver));
    }

    // A tty the kernel makes without a device (virtual consoles, ptmx).
    void AddWithoutDevice(const std::string& tty) {
        std::filesystem::create_directories(ClassFolder() + "/" + tty);
    }

    void Write(const std::string& path, const std::string& text) const {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << text;
    }

private:
    std::string Device(const std::string& relative, const std::string& driver) {
        const std::string device = m_root + "/devices/" + relative;
        std::filesystem::create_directories(device);
        if (!driver.empty()) Link(device + "/driver", Driver(driver));
        return device;
    }
    std::string Driver(const std::string& name) {
        const std::string driver = m_root + "/bus/drivers/" + name;
        std::filesystem::create_directories(driver);
        return driver;
    }
    std::string AddTty(const std::string& tty, const std::string& device) {
        const std::string folder = ClassFolder() + "/" + tty;
        std::filesystem::create_directories(folder);
        Link(folder + "/device", device);
        return folder;
    }
    static void Link(const std::string& link, const std::string& target) {
        std::filesystem::create_directory_symlink(target, link);
    }

    std::string m_root;
};
