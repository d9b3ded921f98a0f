#pragma once

#include <string>
#include <vector>

// The titles the enumeration gives a port itself: a numbered UART, a COM<n> link no
// device entry reaches.
inline constexpr const char* kComPortTitle = "Communications Port";
inline constexpr const char* kVirtualPortTitle = "Virtual Serial Port";

// What is known of the device behind one port, so that the user can tell ports apart.
// Every field may be empty.
struct PortDetails {
    std::string title;         // what the device is called: "FT232R USB UART", "Communications
                               // Port", "Virtual Serial Port"
    std::string device;        // the device the port reaches, links followed: "/dev/ttyUSB1"
    std::string product;       // "FT232R USB UART" (the device's own string, else the USB database)
    std::string manufacturer;  // "FTDI"
    std::string serial;        // the USB serial number: "A10K3XYZ"
    std::string byId;          // "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0"
    std::string driver;        // "ftdi_sio"
    std::string usbId;         // vendor and product id: "0403:6001"
};

// One port as a source names it: its display name, which the chooser's rules parse, and the
// details shown beside the entry.
struct PortRecord {
    std::string friendlyName;  // "FT232R USB UART (COM33)"
    PortDetails details;
};

// Where the port chooser learns which serial ports are present: their display names
// ("FT232R USB UART (COM33)") in the order the system enumerates them, each with what is
// known of its device. The chooser's parsing, de-duplication and ordering work on the names
// alone, so any source, and any test, that can name ports can feed it.
class IPortSource {
public:
    virtual ~IPortSource() = default;

    // Appends the ports present now, in enumeration order. Returns false when the
    // enumeration stopped on an error; ports then holds those found so far.
    virtual bool ReadPorts(std::vector<PortRecord>& ports) const = 0;

    // The display names of ReadPorts alone.
    bool ReadFriendlyNames(std::vector<std::string>& names) const {
        std::vector<PortRecord> ports;
        const bool complete = ReadPorts(ports);
        for (PortRecord& port : ports) names.push_back(std::move(port.friendlyName));
        return complete;
    }
};

// Tells when serial devices come or go: its descriptor becomes readable, then TakeEvents
// says whether what arrived concerns a serial port. A window watches the descriptor (a
// QSocketNotifier) and lists the ports again.
class IPortMonitor {
public:
    virtual ~IPortMonitor() = default;

    // Readable while events wait; -1 when nothing can be watched.
    virtual int Descriptor() const = 0;
    // Takes every waiting event without blocking; true when a serial port came or went.
    virtual bool TakeEvents() = 0;
};
