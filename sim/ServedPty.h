#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sim/FieldBus.h"
#include "sim/Line.h"
#include "sim/LineService.h"

// Simulated field devices on a pty of their own, served by a thread: the in-process form of
// tralvo-sim for tests and the benchmark. The slave path is the port to open.
namespace sim {

class ServedPty {
public:
    ServedPty(const LineTiming& timing, const std::vector<DeviceConfig>& devices = {},
              const Behaviour& behaviour = {});
    ~ServedPty();
    ServedPty(const ServedPty&) = delete;
    ServedPty& operator=(const ServedPty&) = delete;

    bool ok() const { return m_ok; }
    const std::string& SlavePath() const { return m_pty.SlavePath(); }
    // The slave descriptor held to keep the line up; a test may talk over it.
    int HeldSlave() const { return m_pty.SlaveFd(); }
    bool ReopenSlave() { return m_pty.ReopenSlave(); }
    // True once the device end vanishes (Behaviour::vanishAfter): the thread closes the
    // master, and every opener of the slave sees a hang-up, which comes after this turns true.
    bool Vanished() const { return m_vanished.load(); }
    // The bytes the devices send for a request, as the line carries them (for timing models).
    static size_t ReplyBytes(const std::vector<DeviceConfig>& devices, const Bytes& request);

private:
    PtyLine m_pty;
    bool m_ok = false;
    FieldBus m_bus;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_vanished{false};
    std::unique_ptr<LineService> m_service;
    std::thread m_thread;
};

}  // namespace sim
