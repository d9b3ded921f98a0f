#include "workflows/PvMonitor.h"

#include <charconv>

#include "hart/Encoding.h"

namespace {

constexpr uint8_t kPollAddress = 0;
constexpr uint8_t kErrorTestAttempts = 1;
constexpr uint8_t kReadDynamicVariables = 3;
constexpr uint8_t kFirstRevisionWithCommand3Reading = 5;
constexpr size_t kLoopCurrentPos = 0;
constexpr size_t kPrimaryVariablePos = 5;  // after the unit code at 4

}  // namespace

void PvMonitor::OnStart() {
    UpdateData(true);
    m_nCount = 1;
    m_nErrors = 0;
    if (m_nAttempts != 0) m_strPV = pvtext::kErrorTest;
    ShowNow();

    if (m_nTimer != 0) {
        ShowMessage(pvtext::kTimerAlreadyActive);
        return;
    }
    m_nTimer = SetTimer(kTimerId, kTimerPeriodMs);
    if (m_nTimer == 0) {
        ShowMessage(pvtext::kErrorStartingTimer);
        return;
    }
    if (m_pLink->OpenPort(m_nComPort, kBaudRate) != kLinkOk) {
        // Stop before the message: ticks delivered while it is up would poll a closed port.
        OnStop();
        ShowMessage(pvtext::kErrorOpeningPort);
    }
    m_pLink->Clock().Sleep(kWaitAfterOpenMs);
}

void PvMonitor::OnStop() {
    if (m_nTimer == 0) {
        ShowMessage(pvtext::kNoActiveTimers);
        return;
    }
    if (KillTimer(kTimerId)) {
        m_nTimer = 0;
    } else {
        ShowMessage(pvtext::kErrorStoppingTimer);
    }
    m_pLink->ClosePort();
}

void PvMonitor::OnTimer(uintptr_t) {
    m_pLink->Clock().Sleep(kWaitBeforeExchangeMs);
    bool goodTick = true;
    if (m_nAttempts != 0) {
        // An unanswered poll is what an error test counts, not a failure of the run.
        if (!m_pLink->PollIdentity(kPollAddress, kErrorTestAttempts)) ++m_nErrors;
    } else {
        goodTick = ReadDynamicVariables();
    }
    ShowNow();

    if (!goodTick) {
        OnStop();
        ShowMessage(pvtext::kHartError);
    }
    if (m_nCount == m_nAttempts) {
        OnStop();
        m_strPV = pvtext::kComplete;
        ShowNow();
    }
    ++m_nCount;
}

void PvMonitor::EndRun() {
    KillTimer(kTimerId);
    // The timer is gone either way; a stale identifier would only refuse the next Start.
    m_nTimer = 0;
    if (m_pLink) m_pLink->ClosePort();
}

void PvMonitor::ShowNow() {
    UpdateData(false);
    RepaintNow();
}

bool PvMonitor::ReadDynamicVariables() {
    if (m_pLink->m_nUniversalRev < kFirstRevisionWithCommand3Reading) return false;
    uint8_t reply[hart::kReplyBufferSize] = {};
    if (!m_pLink->SendCommand(kReadDynamicVariables, reply)) return false;
    float loopCurrent = 0;
    float primaryVariable = 0;
    DecodeFloat(&loopCurrent, reply + kLoopCurrentPos);
    DecodeFloat(&primaryVariable, reply + kPrimaryVariablePos);
    m_strAO = FormatThreeDecimals(loopCurrent) + " mA";
    m_strPV = FormatThreeDecimals(primaryVariable);
    return true;
}

std::string FormatThreeDecimals(float value) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                            std::chars_format::fixed, 3);
    if (error != std::errc()) return {};
    return std::string(text, end);
}
