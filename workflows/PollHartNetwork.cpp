#include "workflows/PollHartNetwork.h"

#include <optional>
#include <vector>

#include "hart/IdentityText.h"
#include "hart/LinkBudget.h"
#include "hart/LinkResult.h"
#include "strings/Strings.h"
#include "workflows/PortErrors.h"
#include "workflows/ReadTag.h"

namespace {

constexpr uint32_t kPauseBeforeTagMs = 500;
constexpr uint8_t kSingleDeviceAttempts = 2;
constexpr uint8_t kMultiDropAttempts = 1;
constexpr uint8_t kFirstMultiDropAddress = 1;
constexpr uint8_t kLastMultiDropAddress = 15;
constexpr int kTagReads = 2;
// From the open to the tag read's end: the poll without a multi-drop scan is over in 10 s
// on any line, the open and close included. The tag read gets what the identity poll left.
constexpr uint32_t kSingleDeviceTestMs = 9000;

bool Halted(const CHartLink& link) { return link.PortFailed() || link.StopRequested(); }

void SetFailed(TestMembers& m) {
    m.nHartId = 0;
    m.strTag = QStringLiteral(" ");
    m.strStatus = LoadString(IDS_TEST_FAILED);
    m.strAddress = QStringLiteral(" ");
}

// The test ends early when the port stopped working (closed, said so, "COM Port Error") or
// a stop was requested or the front end cut the exchanges short (closed, "Test cancelled");
// nothing when it may go on.
std::optional<PollOutcome> EndedEarly(CHartLink& link, ITestView& view, TestMembers& m,
                                      const QString& caption, bool ranToEnd = true) {
    if (ranToEnd && !Halted(link)) return std::nullopt;
    link.ClosePort();
    if (!link.PortFailed()) {
        m.nHartId = 0;
        m.strStatus = LoadString(IDS_TEST_CANCELLED);
        view.ShowMembers(m);
        return PollOutcome::Interrupted;
    }
    m.nHartId = 0;
    view.ShowOpenError(PortStoppedText(), caption, m.nComPort);
    m.strStatus = LoadString(IDS_COM_PORT_ERROR);
    view.ShowMembers(m);
    return PollOutcome::PortError;
}

std::optional<PollOutcome> ReadSingleDevice(CHartLink& link, ITestView& view, TestMembers& m,
                                            const QString& caption, uint32_t testEndMs) {
    m.nHartId = DeviceIdOf(link);
    char tag[9] = {};
    const bool ran = view.RunOnLine([&] {
        const LinkBudget budget(link, MsUntil(link.Clock(), testEndMs));
        if (!link.Pause(kPauseBeforeTagMs)) return;
        for (int read = 0; read < kTagReads && !Halted(link) && !budget.Spent(); ++read) {
            if (ReadTag(link, tag)) break;
        }
    });
    // A port that went during the tag read has not passed data both ways.
    if (auto ended = EndedEarly(link, view, m, caption, ran)) return ended;
    // Packed ASCII only yields 7-bit characters, so Latin-1 reads them as they are.
    m.strTag = QString::fromLatin1(tag);
    m.strStatus = LoadString(IDS_TEST_PASS_SINGLE);
    m.strAddress = QStringLiteral("0");
    return std::nullopt;
}

PollOutcome ScanMultiDrop(CHartLink& link, ITestView& view, TestMembers& m,
                          const QString& caption) {
    std::vector<uint8_t> found;
    const bool ran = view.RunOnLine([&] {
        for (uint8_t address = kFirstMultiDropAddress;
             address <= kLastMultiDropAddress && !Halted(link); ++address) {
            view.ShowProgress(address, kLastMultiDropAddress);
            if (link.PollIdentity(address, kMultiDropAttempts)) found.push_back(address);
        }
    });
    if (auto ended = EndedEarly(link, view, m, caption, ran)) return *ended;
    for (uint8_t address : found) {
        if (!m.strAddress.isEmpty()) m.strAddress += QStringLiteral(", ");
        m.strAddress += QString::number(address);
    }
    m.nHartId = 0;
    if (found.empty()) {
        SetFailed(m);
        return PollOutcome::Failed;
    }
    m.strStatus = LoadString(IDS_TEST_PASS_MULTIDROP);
    m.strTag = LoadString(IDS_MULTI_DROP);
    return PollOutcome::MultiDrop;
}

}  // namespace

PollOutcome RunPollTest(CHartLink& link, ITestView& view, TestMembers& m) {
    const QString caption = LoadString(IDS_POLL_CAPTION);
    view.ReadWindow(m);
    m.strAddress.clear();
    m.strStatus = LoadString(IDS_POLLING);
    view.ShowMembers(m);
    m.nHartId = 0;

    if (const unsigned opened = link.OpenPort(m.nComPort, hart::kLineBaud); opened != kLinkOk) {
        view.ShowOpenError(
            OpenErrorText(link, opened, m.nComPort, LoadString(IDS_ERROR_OPENING_PORT)), caption,
            m.nComPort);
        m.strStatus = LoadString(IDS_COM_PORT_ERROR);
        view.ShowMembers(m);
        return PollOutcome::PortError;
    }

    const uint32_t testEndMs = link.Clock().TickCount() + kSingleDeviceTestMs;
    bool answered = false;
    const bool ran = view.RunOnLine([&] {
        const LinkBudget budget(link, MsUntil(link.Clock(), testEndMs));
        answered =
            link.Pause(hart::kWaitAfterOpenMs) && link.PollIdentity(0, kSingleDeviceAttempts);
    });
    if (auto ended = EndedEarly(link, view, m, caption, ran)) return *ended;

    PollOutcome outcome = PollOutcome::SingleDevice;
    if (answered) {
        if (auto ended = ReadSingleDevice(link, view, m, caption, testEndMs)) return *ended;
    } else {
        const bool scan = view.AskYesNo(LoadString(IDS_MULTIDROP_QUESTION), caption);
        // A stop may come while the question is up (Ctrl+C at the prompt).
        if (auto ended = EndedEarly(link, view, m, caption)) return *ended;
        if (scan) {
            outcome = ScanMultiDrop(link, view, m, caption);
            if (outcome == PollOutcome::PortError || outcome == PollOutcome::Interrupted)
                return outcome;
        } else {
            SetFailed(m);
            outcome = PollOutcome::Failed;
        }
    }

    view.ShowMembers(m);
    link.ClosePort();
    return outcome;
}
