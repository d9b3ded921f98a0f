#include "sim/ServedPty.h"

namespace sim {

ServedPty::ServedPty(const LineTiming& timing, const std::vector<DeviceConfig>& devices,
                     const Behaviour& behaviour)
    : m_bus(devices, behaviour) {
    std::string error;
    m_ok = m_pty.Open(error);
    if (!m_ok) return;
    m_service = std::make_unique<LineService>(m_pty.MasterFd(), m_bus, timing);
    m_service->WatchDrain([this] { return !m_pty.SlaveHasInput(); });
    m_thread = std::thread([this] {
        if (m_service->Run(m_stop) == LineService::End::Vanished) {
            // Said before the hang-up, so that whoever sees the hang-up also sees this.
            m_vanished = true;
            m_pty.CloseMaster();
        }
    });
}

ServedPty::~ServedPty() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

size_t ServedPty::ReplyBytes(const std::vector<DeviceConfig>& devices, const Bytes& request) {
    FieldBus bus(devices, {});
    return bus.Hear(request).size();
}

}  // namespace sim
