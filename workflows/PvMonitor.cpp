#include "workflows/PvMonitor.h"

#include <charconv>

#include "hart/Encoding.h"
#include "hart/LinkResult.h"
#include "workflows/PortErrors.h"

namespace {

constexpr uint8_t kPollAddress = 0;
constexpr uint8_t kErrorTestAttempts = 1;
constexpr uint8_t kReadDynamicVariables = 3;
constexpr uint8_t kFirstRevisionWithCommand3Reading = 5;
constexpr size_t kLoopCurrentPos = 0;
constexpr size_t kPrimaryUnitPos = 4;
constexpr size_t kPrimaryVariablePos = 5;
constexpr size_t kFloatBytes = 4;

// The float at pos of a payload of `sent` bytes, if the payload reaches that far.
std::optional<float> FloatAt(const uint8_t* payload, size_t sent, size_t pos) {
    if (sent < pos + kFloatBytes) return std::nullopt;
    float value = 0;
    DecodeFloat(&value, payload + pos);
    return value;
}

}  // namespace

void PvMonitor::OnStart() {
    UpdateData(true);
    m_nCount = 1;
    m_nErrors = 0;
    m_lastReading.reset();
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
    m_fault = PvRunFault::None;
    if (const unsigned opened = m_pLink->OpenPort(m_nComPort, hart::kLineBaud); opened != kLinkOk) {
        m_fault = PvRunFault::OpenFailed;
        // Stop before the message: ticks delivered while it is up would poll a closed port.
        OnStop();
        const QString errorOpening = QString::fromLatin1(pvtext::kErrorOpeningPort);
        ShowOpenError(OpenErrorText(*m_pLink, opened, m_nComPort, errorOpening).toStdString(),
                      m_nComPort);
    }
    // Deliberately after a failed open too: Start has always taken this second either way,
    // and callers that pace themselves on it keep working.
    RunOnLine([this] { m_pLink->Pause(hart::kWaitAfterOpenMs); });
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

bool PvMonitor::Exchange() {
    if (!m_pLink->Pause(kWaitBeforeExchangeMs)) return false;
    if (m_nAttempts == 0) return ReadDynamicVariables();
    // An unanswered poll is what an error test counts, not a failure of the run.
    const bool answered = m_pLink->PollIdentity(kPollAddress, kErrorTestAttempts);
    if (!answered && !m_pLink->PortFailed() && !m_pLink->StopRequested()) ++m_nErrors;
    return true;
}

void PvMonitor::OnTimer(uintptr_t) {
    // A tick that takes longer than the period delays the next; ticks never pile up.
    if (m_bTickRunning) return;
    m_bTickRunning = true;
    bool goodTick = true;
    const bool ran = RunOnLine([&] { goodTick = Exchange(); });
    m_bTickRunning = false;
    // Stopped meanwhile (Stop, OK, closing, Ctrl+C): the run has already ended.
    if (!ran || m_pLink->StopRequested()) return;
    if (m_pLink->PortFailed()) {
        // A port that went answers every tick at once with an error; the run ends here.
        ShowNow();
        EndRun();
        m_fault = PvRunFault::PortStopped;
        ShowOpenError(PortStoppedText().toStdString(), m_nComPort);
        return;
    }
    ShowNow();

    if (!goodTick) {
        m_fault = PvRunFault::HartError;
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
    // The device answered; what its reply did not carry is shown as nothing, not as 0.
    const size_t sent = m_pLink->LastPayloadLength();
    PvReading reading{m_nCount, FloatAt(reply, sent, kLoopCurrentPos),
                      FloatAt(reply, sent, kPrimaryVariablePos), std::nullopt};
    if (sent > kPrimaryUnitPos) reading.primaryUnit = reply[kPrimaryUnitPos];
    m_strAO = reading.loopCurrentMa ? FormatThreeDecimals(*reading.loopCurrentMa) + " mA" : "";
    m_strPV = reading.primaryVariable ? FormatThreeDecimals(*reading.primaryVariable) : "";
    m_lastReading = reading;
    return true;
}

std::string FormatThreeDecimals(float value) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                            std::chars_format::fixed, 3);
    if (error != std::errc()) return {};
    return std::string(text, end);
}
