#include "workflows/PollTest.h"

#include "app/Strings.h"
#include "workflows/ReadTag.h"

namespace {

constexpr uint32_t kBaudRate = 1200;
constexpr uint32_t kSettleAfterOpenMs = 1000;
constexpr uint32_t kPauseBeforeTagMs = 500;
constexpr uint8_t kSingleDeviceAttempts = 2;
constexpr uint8_t kMultiDropAttempts = 1;
constexpr uint8_t kFirstMultiDropAddress = 1;
constexpr uint8_t kLastMultiDropAddress = 15;
constexpr int kTagReads = 2;

uint32_t DeviceIdOf(const CHartLink& link) {
    return (uint32_t{link.m_deviceId[0]} << 16) | (uint32_t{link.m_deviceId[1]} << 8) |
           link.m_deviceId[2];
}

void SetFailed(TestMembers& m) {
    m.nHartId = 0;
    m.strTag = QStringLiteral(" ");
    m.strStatus = LoadString(IDS_TEST_FAILED);
    m.strAddress = QStringLiteral(" ");
}

void ReportSingleDevice(CHartLink& link, TestMembers& m) {
    m.nHartId = DeviceIdOf(link);
    link.Clock().Sleep(kPauseBeforeTagMs);
    char tag[9] = {};
    for (int read = 0; read < kTagReads; ++read) {
        if (ReadTag(link, tag)) break;
    }
    // Packed ASCII only yields 7-bit characters, so Latin-1 reads them as they are.
    m.strTag = QString::fromLatin1(tag);
    m.strStatus = LoadString(IDS_TEST_PASS_SINGLE);
    m.strAddress = QStringLiteral("0");
}

PollOutcome ScanMultiDrop(CHartLink& link, TestMembers& m) {
    bool found = false;
    for (uint8_t address = kFirstMultiDropAddress; address <= kLastMultiDropAddress; ++address) {
        if (!link.PollIdentity(address, kMultiDropAttempts)) continue;
        if (found) m.strAddress += QStringLiteral(", ");
        m.strAddress += QString::number(address);
        found = true;
    }
    m.nHartId = 0;
    if (!found) {
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

    if (link.OpenPort(m.nComPort, kBaudRate) != kLinkOk) {
        view.ShowError(LoadString(IDS_ERROR_OPENING_PORT), caption);
        m.strStatus = LoadString(IDS_COM_PORT_ERROR);
        view.ShowMembers(m);
        return PollOutcome::PortError;
    }
    link.Clock().Sleep(kSettleAfterOpenMs);

    PollOutcome outcome = PollOutcome::SingleDevice;
    if (link.PollIdentity(0, kSingleDeviceAttempts)) {
        ReportSingleDevice(link, m);
    } else if (view.AskYesNo(LoadString(IDS_MULTIDROP_QUESTION), caption)) {
        outcome = ScanMultiDrop(link, m);
    } else {
        SetFailed(m);
        outcome = PollOutcome::Failed;
    }

    view.ShowMembers(m);
    link.ClosePort();
    return outcome;
}
