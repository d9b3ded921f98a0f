#pragma once

#include <string>
#include <utility>
#include <vector>

#include "portselect/PortSource.h"

// A port source that names the ports a test gives it: by display name alone, or as whole
// records with their details. A test may change them between two listings (a device that
// comes or goes).
class FakePortSource : public IPortSource {
public:
    explicit FakePortSource(const std::vector<std::string>& names, bool complete = true)
        : m_complete(complete) {
        SetNames(names);
    }
    static FakePortSource WithRecords(std::vector<PortRecord> records, bool complete = true) {
        FakePortSource source({}, complete);
        source.SetRecords(std::move(records));
        return source;
    }

    bool ReadPorts(std::vector<PortRecord>& ports) const override {
        ports.insert(ports.end(), m_records.begin(), m_records.end());
        return m_complete;
    }

    void SetNames(const std::vector<std::string>& names) {
        m_records.clear();
        for (const std::string& name : names) m_records.push_back({name, {}});
    }
    void SetRecords(std::vector<PortRecord> records) { m_records = std::move(records); }

private:
    std::vector<PortRecord> m_records;
    bool m_complete;
};

// A device monitor whose events a test sends: its descriptor is the read end of a pipe.
class FakePortMonitor : public IPortMonitor {
public:
    FakePortMonitor();
    ~FakePortMonitor() override;
    FakePortMonitor(const FakePortMonitor&) = delete;
    FakePortMonitor& operator=(const FakePortMonitor&) = delete;

    int Descriptor() const override { return m_pipe[0]; }
    bool TakeEvents() override;

    // An event; `serialPort` says whether it concerns a serial port.
    void Send(bool serialPort = true);
    int EventsTaken() const { return m_taken; }

private:
    int m_pipe[2] = {-1, -1};
    int m_taken = 0;
};

#include <fcntl.h>
#include <unistd.h>

inline FakePortMonitor::FakePortMonitor() {
    if (pipe2(m_pipe, O_NONBLOCK | O_CLOEXEC) != 0) m_pipe[0] = m_pipe[1] = -1;
}

inline FakePortMonitor::~FakePortMonitor() {
    for (int fd : m_pipe) {
        if (fd >= 0) close(fd);
    }
}

inline bool FakePortMonitor::TakeEvents() {
    bool changed = false;
    char event = 0;
    while (read(m_pipe[0], &event, 1) == 1) {
        ++m_taken;
        changed = changed || event == 'S';
    }
    return changed;
}

inline void FakePortMonitor::Send(bool serialPort) {
    const char event = serialPort ? 'S' : 'o';
    [[maybe_unused]] const ssize_t written = write(m_pipe[1], &event, 1);
}
