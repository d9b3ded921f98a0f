#include "workflows/ContinuousSend.h"

#include <algorithm>

#include "app/Strings.h"

namespace {

constexpr uint32_t kBaudRate = 1200;
constexpr uint32_t kSettleAfterOpenMs = 1000;
// The settle is slept in slices so that a stop request is not kept waiting for it.
constexpr uint32_t kSettleSliceMs = 50;
constexpr uint8_t kAttempts = 2;

}  // namespace

bool BeginContinuousSend(CHartLink& link, ITestView& view, TestMembers& m) {
    const QString caption = LoadString(IDS_POLL_CAPTION);
    view.ReadWindow(m);
    m.strAddress.clear();
    m.strStatus = QString::fromLatin1(kContinuousStatus);
    view.ShowMembers(m);
    m.nHartId = 0;

    if (link.OpenPort(m.nComPort, kBaudRate) != kLinkOk) {
        view.ShowError(QStringLiteral("Error opening COM port"), caption);
        m.strStatus = QStringLiteral("COM Port Error");
        view.ShowMembers(m);
        return false;
    }
    return true;
}

void RunContinuousPolls(CHartLink& link, const std::function<bool()>& shouldStop,
                        const std::function<void(uint64_t, bool)>& onPoll) {
    for (uint32_t slept = 0; slept < kSettleAfterOpenMs && !shouldStop();) {
        const uint32_t slice = std::min(kSettleSliceMs, kSettleAfterOpenMs - slept);
        link.Clock().Sleep(slice);
        slept += slice;
    }
    for (uint64_t poll = 1; !shouldStop(); ++poll) {
        const bool answered = link.PollIdentity(0, kAttempts);
        if (onPoll) onPoll(poll, answered);
    }
    link.ClosePort();
}
