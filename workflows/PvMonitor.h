#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "hart/HartLink.h"

// The PV monitor's texts: fixed English, never translated.
namespace pvtext {
inline constexpr char kMustPollFirst[] = "Must Poll first";
inline constexpr char kMustPollCaption[] = "POLL";
inline constexpr char kCaption[] = "PV";
inline constexpr char kErrorTest[] = "Error Test";
inline constexpr char kComplete[] = "Complete";
inline constexpr char kTimerAlreadyActive[] = "Timer already active";
inline constexpr char kErrorStartingTimer[] = "Error starting timer";
inline constexpr char kErrorOpeningPort[] = "Error opening COM port";
inline constexpr char kNoActiveTimers[] = "No active timers";
inline constexpr char kErrorStoppingTimer[] = "Error stopping timer";
inline constexpr char kHartError[] = "HART Error";
}  // namespace pvtext

// What a monitor tick read with command 3, beyond the boxes' text: the values as sent and
// the PV's unit code, which the boxes don't show. A value the reply did not carry (a
// response code without data, a reply cut short after the loop current) is empty.
struct PvReading {
    int32_t nCount = 0;  // the tick that read it
    std::optional<float> loopCurrentMa;
    std::optional<float> primaryVariable;
    std::optional<uint8_t> primaryUnit;  // HART engineering unit code
};

// Why a run ended before its time, for a view that reports it other than by its messages.
enum class PvRunFault { None, OpenFailed, HartError, PortStopped };

// The PV monitor's rules, apart from any window. Attempts not 0 runs an error test: one
// identity poll of address 0 per tick, counting the polls nobody answers, until the tick
// numbered Attempts. Attempts 0 runs a monitor: each tick reads the loop current and the
// primary variable with command 3 until stopped or until a tick fails.
//
// Whoever shows the monitor (the dialog, the command line) supplies the view below: the
// boxes, the message boxes and the timer whose ticks call OnTimer.
class PvMonitor {
public:
    static constexpr uintptr_t kTimerId = 1;
    static constexpr uint32_t kTimerPeriodMs = 2000;
    static constexpr int32_t kDefaultAttempts = 10;
    static constexpr uint32_t kWaitBeforeExchangeMs = 500;

    virtual ~PvMonitor() = default;

    void OnStart();
    void OnStop();
    void OnTimer(uintptr_t timerId);
    // Ends a run without a word, as closing the monitor does: the timer goes (whether or
    // not it can be killed) and the port closes.
    void EndRun();
    // What ended the last run early; None while it runs or when it ended as asked.
    PvRunFault Fault() const { return m_fault; }

    uintptr_t m_nTimer = 0;        // the running timer's identifier; 0 while none runs
    CHartLink* m_pLink = nullptr;  // the main window's link, not owned
    uint8_t m_nComPort = 0;
    std::string m_strAO;
    std::string m_strPV;
    std::string m_strTag;
    int32_t m_nAttempts = kDefaultAttempts;
    int32_t m_nCount = 0;
    int32_t m_nErrors = 0;
    // The run's last reading, the one the AO and PV boxes show; empty until one succeeds.
    std::optional<PvReading> m_lastReading;

protected:
    // true: read the boxes into the members; false when one can't be read.
    // false: show the members in the boxes.
    virtual bool UpdateData(bool saveAndValidate) = 0;
    // Paint the boxes now, while a handler still runs.
    virtual void RepaintNow() = 0;
    // A message box with caption "PV", an OK button and the error icon.
    virtual void ShowMessage(const std::string& text) = 0;
    // The same box for COM<comPort> that did not open or stopped working; a view may offer
    // its troubleshooter for that port beside OK.
    virtual void ShowOpenError(const std::string& text, uint8_t comPort) {
        (void)comPort;
        ShowMessage(text);
    }
    // Starts the periodic timer; returns the identifier, 0 when it could not start.
    virtual uintptr_t SetTimer(uintptr_t timerId, uint32_t periodMs) = 0;
    virtual bool KillTimer(uintptr_t timerId) = 0;
    // Runs a tick's exchange (and the wait after opening) on the line; false when the view
    // cut it short. A window runs it beside its event loop so that it stays responsive.
    virtual bool RunOnLine(const std::function<void()>& work) {
        work();
        return true;
    }

private:
    void ShowNow();
    // Monitor tick: command 3 to a device that knows it. true when it answered.
    bool ReadDynamicVariables();
    // The tick's exchange: the wait, then a poll (error test) or command 3 (monitor).
    // false for a bad monitor tick.
    bool Exchange();

    bool m_bTickRunning = false;
    PvRunFault m_fault = PvRunFault::None;
};

// "%.3f" of a value, the same whatever the process locale.
std::string FormatThreeDecimals(float value);
