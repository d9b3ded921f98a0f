#include "workflows/ContinuousSend.h"

#include "hart/LinkResult.h"
#include "strings/Strings.h"
#include "workflows/PortErrors.h"

namespace {

constexpr uint8_t kAttempts = 2;
constexpr char kErrorOpeningPort[] = "Error opening COM port";
constexpr char kComPortError[] = "COM Port Error";

}  // namespace

bool BeginContinuousSend(CHartLink& link, ITestView& view, TestMembers& m) {
    const QString caption = LoadString(IDS_POLL_CAPTION);
    view.ReadWindow(m);
    m.strAddress.clear();
    m.strStatus = QString::fromLatin1(kContinuousStatus);
    view.ShowMembers(m);
    m.nHartId = 0;

    if (const unsigned opened = link.OpenPort(m.nComPort, hart::kLineBaud); opened != kLinkOk) {
        view.ShowOpenError(
            OpenErrorText(link, opened, m.nComPort, QString::fromLatin1(kErrorOpeningPort)),
            caption, m.nComPort);
        m.strStatus = QString::fromLatin1(kComPortError);
        view.ShowMembers(m);
        return false;
    }
    return true;
}

ContinuousEnd RunContinuousPolls(CHartLink& link, const std::function<bool()>& shouldStop,
                                 const std::function<void(uint64_t, bool)>& onPoll) {
    link.Pause(hart::kWaitAfterOpenMs);
    // A vanished port answers every poll at once with an error: it ends the send rather
    // than turn it into a loop that takes a whole core.
    for (uint64_t poll = 1; !shouldStop() && !link.StopRequested() && !link.PortFailed(); ++poll) {
        const bool answered = link.PollIdentity(0, kAttempts);
        if (link.PortFailed() || link.StopRequested()) break;
        if (onPoll) onPoll(poll, answered);
    }
    link.ClosePort();
    return link.PortFailed() ? ContinuousEnd::PortStopped : ContinuousEnd::Stopped;
}

void ReportPortStopped(ITestView& view, TestMembers& m) {
    view.ShowOpenError(PortStoppedText(), LoadString(IDS_POLL_CAPTION), m.nComPort);
    m.strStatus = QString::fromLatin1(kComPortError);
    view.ShowMembers(m);
}
