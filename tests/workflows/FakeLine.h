#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "FakeClock.h"
#include "FakeSerial.h"
#include "hart/HartLink.h"
#include "sim/FieldBus.h"
#include "tests/sim/SimFrames.h"
#include "workflows/TestView.h"

// The real link on a fake port in virtual time, with simulated devices playing the line.
struct FakeLine {
    FakeClock clock;
    FakeSerial serial{clock};
    CHartLink link{serial, clock};
    std::unique_ptr<sim::FieldBus> bus;
    // Consulted for every request: false keeps the line silent for it.
    std::function<bool(const sim::Frame& request)> answers = [](const sim::Frame&) { return true; };

    explicit FakeLine(const std::vector<sim::DeviceConfig>& devices = {},
                      const sim::Behaviour& behaviour = {}) {
        Devices(devices, behaviour);
        serial.SetResponder([this](const FakeSerial::Bytes& request) {
            const auto frames = simtest::FramesIn(request);
            if (!frames.empty() && !answers(frames.front().frame)) return FakeSerial::Bytes{};
            return bus->Hear(request);
        });
    }
    void Devices(const std::vector<sim::DeviceConfig>& devices,
                 const sim::Behaviour& behaviour = {}) {
        bus = std::make_unique<sim::FieldBus>(devices, behaviour);
    }

    // Every request written, decoded.
    std::vector<sim::Frame> Requests() const {
        std::vector<sim::Frame> out;
        for (const auto& write : serial.Writes())
            for (const auto& heard : simtest::FramesIn(write)) out.push_back(heard.frame);
        return out;
    }
    int RequestsFor(uint8_t command) const {
        int n = 0;
        for (const auto& r : Requests()) n += r.command == command ? 1 : 0;
        return n;
    }
    // Identity polls (command 0 by short frame) sent to one polling address.
    int PollsOf(uint8_t address) const {
        int n = 0;
        for (const auto& r : Requests())
            n += r.command == 0 && !r.IsLong() && (r.address.at(0) & 0x3F) == address ? 1 : 0;
        return n;
    }
};

inline sim::DeviceConfig Device(uint8_t address, const char* tag, uint32_t id,
                                uint8_t revision = 7) {
    sim::DeviceConfig d = sim::DefaultDevice(address);
    d.tag = tag;
    d.deviceId = id;
    d.revision = revision;
    return d;
}

inline sim::Behaviour SilentLine() {
    sim::Behaviour b;
    b.silent = true;
    return b;
}

// A front end that records what the test showed and asked, and answers as told.
class RecordingView : public ITestView {
public:
    uint8_t windowPort = 3;  // what the port box holds
    bool answerYes = false;
    std::vector<TestMembers> shown;
    std::vector<QString> questions;
    std::vector<QString> errors;
    std::vector<QString> captions;
    std::vector<uint8_t> openErrorPorts;  // the port of each error box for a failed open
    std::function<void()> onShow;         // runs at every ShowMembers, e.g. to look at the line

    void ReadWindow(TestMembers& m) override { m.nComPort = windowPort; }
    void ShowMembers(const TestMembers& m) override {
        shown.push_back(m);
        if (onShow) onShow();
    }
    bool AskYesNo(const QString& text, const QString& caption) override {
        questions.push_back(text);
        captions.push_back(caption);
        return answerYes;
    }
    void ShowOpenError(const QString& text, const QString& caption, uint8_t comPort) override {
        openErrorPorts.push_back(comPort);
        errors.push_back(text);
        captions.push_back(caption);
    }
};
