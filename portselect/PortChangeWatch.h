#pragma once

#include <QObject>
#include <memory>

#include "portselect/PortSource.h"

class QSocketNotifier;

// Tells the port chooser that serial ports may have come or gone, so that it lists them
// again.
class PortChangeWatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void PortsChanged();
};

// A watch over a monitor's descriptor: PortsChanged when the events that arrived concern a
// serial port. Watches nothing when the monitor has no descriptor.
class PortMonitorWatch : public PortChangeWatch {
public:
    // The monitor is not owned; it must outlive the watch.
    explicit PortMonitorWatch(IPortMonitor& monitor);
    explicit PortMonitorWatch(std::unique_ptr<IPortMonitor> monitor);

private:
    void Watch();

    std::unique_ptr<IPortMonitor> m_ownMonitor;
    IPortMonitor& m_monitor;
    QSocketNotifier* m_notifier = nullptr;
};

// A watch over this machine's serial ports: udev's messages on Linux, the device-change
// broadcast to the application's windows on Windows.
std::unique_ptr<PortChangeWatch> WatchSystemPorts();
