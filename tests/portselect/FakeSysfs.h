#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

// A temporary /sys/class/tty with the device folders behind it, laid out as the kernel
// lays them out, and a /dev beside it with udev's /dev/serial links, removed when the test
// ends.
class FakeSysfs {
public:
    FakeSysfs() {
        char pattern[] = "/tmp/tralvo-sysfs-XXXXXX";
        m_root = mkdtemp(pattern);
        std::filesystem::create_directories(ClassFolder());
        std::filesystem::create_directories(DevFolder());
    }
    ~FakeSysfs() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    std::string ClassFolder() const { return m_root + "/class/tty"; }
    std::string DevFolder() const { return m_root + "/dev"; }
    std::string Node(const std::string& tty) const { return DevFolder() + "/" + tty; }
    std::string ById(const std::string& name) const {
        return DevFolder() + "/serial/by-id/" + name;
    }
    std::string ByPath(const std::string& name) const {
        return DevFolder() + "/serial/by-path/" + name;
    }

    // A USB adapter as udev shows it: the USB device's strings and ids, the usb-serial
    // port below its interface, the device node, and the /dev/serial links udev makes for
    // it (a by-id link already there is pointed at this adapter, as udev does on a re-plug).
    struct UsbAdapter {
        std::string product;
        std::string manufacturer;
        std::string serial;  // empty: the adapter has no serial number
        std::string byId;    // the name under /dev/serial/by-id; empty: none
        std::string byPath;  // the name under /dev/serial/by-path; empty: none
        std::string vendorId = "0403";
        std::string productId = "6001";
        std::string driver = "ftdi_sio";
    };
    void AddUsbAdapter(const std::string& tty, const UsbAdapter& adapter) {
        const std::string usbDevice = m_root + "/devices/usb1/1-" + tty;
        if (!adapter.product.empty()) Write(usbDevice + "/product", adapter.product + "\n");
        if (!adapter.manufacturer.empty()) {
            Write(usbDevice + "/manufacturer", adapter.manufacturer + "\n");
        }
        if (!adapter.serial.empty()) Write(usbDevice + "/serial", adapter.serial + "\n");
        Write(usbDevice + "/idVendor", adapter.vendorId + "\n");
        Write(usbDevice + "/idProduct", adapter.productId + "\n");
        const std::string interface = usbDevice + "/1-1:1.0";
        Write(interface + "/bInterfaceNumber", "00\n");
        const std::string port = interface + "/" + tty;
        std::filesystem::create_directories(port);
        Link(port + "/driver", Driver(adapter.driver));
        AddTty(tty, port);
        AddNode(tty);
        if (!adapter.byId.empty()) SerialLink(ById(adapter.byId), tty);
        if (!adapter.byPath.empty()) SerialLink(ByPath(adapter.byPath), tty);
    }

    // The device node of a tty in the fake /dev.
    void AddNode(const std::string& tty) const { Write(Node(tty), ""); }

    // Pulls a tty's device out: its class entry, its node, its USB device folder, and the
    // /dev/serial links that led to it.
    void Remove(const std::string& tty) const {
        std::error_code ignored;
        std::filesystem::remove_all(ClassFolder() + "/" + tty, ignored);
        std::filesystem::remove_all(m_root + "/devices/usb1/1-" + tty, ignored);
        for (const char* kind : {"/serial/by-id", "/serial/by-path"}) {
            std::filesystem::directory_iterator it(DevFolder() + kind, ignored);
            for (; !ignored && it != std::filesystem::directory_iterator(); it.increment(ignored)) {
                if (std::filesystem::read_symlink(it->path(), ignored) == Node(tty)) {
                    std::filesystem::remove(it->path(), ignored);
                }
            }
            ignored.clear();
        }
        std::filesystem::remove(Node(tty), ignored);
    }

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
    void SerialLink(const std::string& link, const std::string& tty) const {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(link).parent_path(), ignored);
        std::filesystem::remove(link, ignored);
        std::filesystem::create_symlink(Node(tty), link);
    }

    std::string m_root;
};
