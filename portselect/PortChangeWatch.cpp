#include "portselect/PortChangeWatch.h"

#include <QSocketNotifier>

PortMonitorWatch::PortMonitorWatch(IPortMonitor& monitor) : m_monitor(monitor) { Watch(); }

PortMonitorWatch::PortMonitorWatch(std::unique_ptr<IPortMonitor> monitor)
    : m_ownMonitor(std::move(monitor)), m_monitor(*m_ownMonitor) {
    Watch();
}

void PortMonitorWatch::Watch() {
    if (m_monitor.Descriptor() < 0) return;
    m_notifier = new QSocketNotifier(m_monitor.Descriptor(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        if (m_monitor.TakeEvents()) emit PortsChanged();
    });
}
