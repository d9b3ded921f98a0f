#include "cli/PvCommand.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/ExitCodes.h"
#include "cli/JsonLine.h"
#include "cli/PollJson.h"
#include "cli/PvTickOutput.h"
#include "cli/TerminalView.h"
#include "workflows/PollHartNetwork.h"
#include "workflows/PvMonitor.h"

namespace {

// How long a stop request may wait for the check while the monitor waits for a tick.
constexpr uint32_t kStopCheckMs = 100;

// The monitor with the terminal as its view: the boxes become one line per tick, message
// boxes go to the error stream, and the timer is a deadline on the link's clock.
class TerminalPvMonitor final : public PvMonitor {
public:
    TerminalPvMonitor(std::ostream& err, const std::function<bool()>& stopRequested,
                      const std::function<QDateTime()>& now)
        : m_err(err), m_stopRequested(stopRequested), m_now(now) {}

    // Waits for the timer's next tick; false when a stop was requested first.
    bool WaitForTick() {
        IClock& clock = m_pLink->Clock();
        for (;;) {
            if (m_stopRequested()) return false;
            const auto left = static_cast<int32_t>(m_dueMs - clock.TickCount());
            if (left <= 0) break;
            m_pLink->Pause(std::min(static_cast<uint32_t>(left), kStopCheckMs));
        }
        // As with a window timer, a late tick doesn't make extra ticks pile up behind it.
        const uint32_t now = clock.TickCount();
        m_dueMs += m_periodMs;
        if (static_cast<int32_t>(m_dueMs - now) <= 0) m_dueMs = now + m_periodMs;
        return true;
    }

    // The boxes as the last tick showed them.
    const PvTick& Shown() const { return m_shown; }
    // How the run ended: passed unless something cut it short.
    int ExitStatus() const {
        switch (Fault()) {
            case PvRunFault::None:
                return kExitPassed;
            case PvRunFault::HartError:
                return kExitFailed;
            case PvRunFault::OpenFailed:
            case PvRunFault::PortStopped:
                return kExitPortError;
        }
        return kExitFailed;
    }

protected:
    bool UpdateData(bool saveAndValidate) override {
        if (!saveAndValidate)
            m_shown = PvTick{m_now(), m_nCount, m_nErrors, m_strAO, m_strPV, m_lastReading};
        return true;
    }
    void RepaintNow() override {}
    void ShowMessage(const std::string& text) override {
        // Ctrl+C cuts a transaction short; what that does to the tick is no failure.
        if (m_stopRequested()) return;
        m_err << pvtext::kCaption << ": " << text << '\n';
    }
    void ShowOpenError(const std::string& text, uint8_t comPort) override {
        ShowMessage(text);
        if (!m_stopRequested() && comPort != 0) m_err << TroubleshooterHint(comPort) << '\n';
    }
    uintptr_t SetTimer(uintptr_t timerId, uint32_t periodMs) override {
        m_periodMs = periodMs;
        m_dueMs = m_pLink->Clock().TickCount() + periodMs;
        m_bTimerRunning = true;
        return timerId;
    }
    bool KillTimer(uintptr_t) override {
        const bool wasRunning = m_bTimerRunning;
        m_bTimerRunning = false;
        return wasRunning;
    }

private:
    std::ostream& m_err;
    const std::function<bool()>& m_stopRequested;
    const std::function<QDateTime()>& m_now;
    PvTick m_shown;
    bool m_bTimerRunning = false;
    uint32_t m_periodMs = kTimerPeriodMs;
    uint32_t m_dueMs = 0;
};

// The poll test as the main window runs it before its PV command, declining the
// multi-drop scan: the monitor needs one device with a nonzero identifier at address 0.
int PollFirst(CHartLink& link, uint8_t comPort, TestMembers& members, std::ostream& out,
              std::ostream& err, bool json) {
    std::istringstream noInput;
    CTerminalView view(CTerminalView::Answer::No, noInput, out, err);
    members.nComPort = comPort;
    const PollOutcome outcome = RunPollTest(link, view, members);
    if (outcome == PollOutcome::PortError) return kExitPortError;
    // Ctrl+C: the caller ends the run as a stop, with nothing more to say.
    if (outcome == PollOutcome::Interrupted) return kExitPassed;
    if (members.nHartId == 0) {
        err << pvtext::kMustPollCaption << ": " << pvtext::kMustPollFirst << '\n';
        return kExitFailed;
    }
    // JSON Lines carry the device on every tick instead.
    if (!json)
        out << "HART Tag: " << members.strTag.toStdString() << '\n'
            << "HART ID: " << members.nHartId << '\n';
    return kExitPassed;
}

}  // namespace

std::optional<int32_t> ReadPvArguments(const std::vector<std::string>& args, std::ostream& err) {
    int32_t attempts = PvMonitor::kDefaultAttempts;
    const bool read =
        ReadOptionArguments(args, "pv", "--attempts", err, [&](const std::string& value) {
            const char* end = value.data() + value.size();
            const auto [stop, failure] = std::from_chars(value.data(), end, attempts);
            if (failure == std::errc() && stop == end && !value.empty()) return true;
            err << "tralvo-cli: --attempts takes a whole number, not '" << value << "'\n";
            return false;
        });
    if (!read) return std::nullopt;
    return attempts;
}

int RunPvCommand(CHartLink& link, uint8_t comPort, const std::vector<std::string>& args,
                 std::ostream& out, std::ostream& err, const std::function<bool()>& stopRequested,
                 const OutputFormat& format) {
    const auto attempts = ReadPvArguments(args, err);
    if (!attempts) return kExitUsage;
    return RunPvCommand(link, comPort, *attempts, out, err, stopRequested, format);
}

int RunPvCommand(CHartLink& link, uint8_t comPort, int32_t attempts, std::ostream& out,
                 std::ostream& err, const std::function<bool()>& stopRequested,
                 const OutputFormat& format) {
    TestMembers members;
    const int polled = PollFirst(link, comPort, members, out, err, format.json);
    if (stopRequested()) return kExitPassed;
    if (polled != kExitPassed) return polled;
    const PvDevice device{TagWithoutPadding(members.strTag).toStdString(), members.nHartId};

    TerminalPvMonitor monitor(err, stopRequested, format.now);
    monitor.m_pLink = &link;
    monitor.m_nComPort = comPort;
    monitor.m_strTag = members.strTag.toStdString();
    monitor.m_nAttempts = attempts;
    monitor.OnStart();
    while (monitor.m_nTimer != 0 && monitor.WaitForTick()) {
        monitor.OnTimer(PvMonitor::kTimerId);
        if (stopRequested()) break;
        if (format.json)
            WriteJsonLine(out, PvTickJson(monitor.Shown(), device));
        else
            out << PvTickLine(monitor.Shown()) << std::endl;
    }
    if (stopRequested()) {
        monitor.EndRun();
        return kExitPassed;
    }
    return monitor.ExitStatus();
}
