#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "../portselect/FakePortSource.h"
#include "troubleshooter/ListedPortChecks.h"

using ::testing::HasSubstr;

namespace {

const char* FakeErrorText(SerialStatus) { return "the system's text"; }

PortRecord Ftdi(unsigned comNumber) {
    PortRecord record{"USB Serial Port (COM" + std::to_string(comNumber) + ")", {}};
    record.details.driver = "FTDIBUS";
    record.details.manufacturer = "FTDI";
    record.details.usbId = "0403:6001";
    return record;
}

TEST(ListedPortChecks, ReadsTheNumberOnlyFromAWholeComBracket) {
    EXPECT_EQ(ComNumberInName("Virtual COM Port (COM5)"), 5u);
    EXPECT_EQ(ComNumberInName("Port (COM1) (COM12)"), 12u);
    EXPECT_FALSE(ComNumberInName("Communications Port"));
    EXPECT_FALSE(ComNumberInName("Port (COM3x)"));
    EXPECT_FALSE(ComNumberInName("Port (COM)"));
    EXPECT_FALSE(ComNumberInName("Port (COM0)"));
}

TEST(ListedPortChecks, FindsThePortByItsNumberAndNamesItsDriver) {
    const auto source = FakePortSource::WithRecords({Ftdi(33), Ftdi(3)});
    const PortPresence presence = FindListedPort(3, source, {});
    ASSERT_TRUE(presence.record);
    EXPECT_EQ(presence.record->friendlyName, "USB Serial Port (COM3)");
    EXPECT_EQ(CheckPortPresent(3, presence).outcome, CheckOutcome::Pass);
    const CheckResult driver = DescribeDriver(presence);
    EXPECT_EQ(driver.outcome, CheckOutcome::Info);
    EXPECT_THAT(driver.explanation, HasSubstr("driver FTDIBUS"));
    EXPECT_THAT(driver.explanation, HasSubstr("manufacturer FTDI"));
    EXPECT_THAT(driver.explanation, HasSubstr("USB id 0403:6001"));
}

TEST(ListedPortChecks, TakesADosNameTheListLeavesOutAndFailsWithNeither) {
    const FakePortSource source({"Virtual Serial Port (COM8)"});
    const CheckResult viaDos = CheckPortPresent(9, FindListedPort(9, source, "\\Device\\VSP9"));
    EXPECT_EQ(viaDos.outcome, CheckOutcome::Pass);
    EXPECT_THAT(viaDos.explanation, HasSubstr("\\Device\\VSP9"));
    const CheckResult missing = CheckPortPresent(9, FindListedPort(9, source, {}));
    EXPECT_EQ(missing.outcome, CheckOutcome::Fail);
    EXPECT_THAT(missing.fix, HasSubstr("Device Manager"));
}

TEST(ListedPortChecks, TellsAPortInUseFromAMissingOneAndOtherErrors) {
    const CheckResult inUse = CheckExclusiveOpen(4, {5, 0, 0}, FakeErrorText);
    EXPECT_EQ(inUse.outcome, CheckOutcome::Fail);
    EXPECT_THAT(inUse.explanation, HasSubstr("in use by another program"));
    EXPECT_THAT(inUse.fix, HasSubstr("Close the program that uses COM4"));
    const CheckResult gone = CheckExclusiveOpen(4, {2, 0, 0}, FakeErrorText);
    EXPECT_THAT(gone.explanation, HasSubstr("COM4 is not there"));
    const CheckResult other = CheckExclusiveOpen(4, {31, 0, 0}, FakeErrorText);
    EXPECT_EQ(other.outcome, CheckOutcome::Fail);
    EXPECT_THAT(other.explanation, HasSubstr("the system's text (31)"));
    EXPECT_EQ(CheckExclusiveOpen(4, {0, 87, 0}, FakeErrorText).outcome, CheckOutcome::Fail);
    EXPECT_EQ(CheckExclusiveOpen(4, {0, 0, 0}, FakeErrorText).outcome, CheckOutcome::Pass);
    EXPECT_THAT(CheckExclusiveOpen(4, {0, 0, kSerialNoModemLines}, FakeErrorText).explanation,
                HasSubstr("virtual port"));
}

TEST(ListedPortChecks, TrustsTheOpenForAPortTheListLeavesOutAndOpensLast) {
    const FakePortSource source({});
    SerialStatus openStatus = 2;
    PortProbe probe;
    probe.tryOpen = [&openStatus](unsigned comNumber) {
        return OpenAttempt{comNumber == 7 ? openStatus : 2, 0, 0};
    };
    probe.errorText = FakeErrorText;
    const CheckResults absent = RunListedPortChecks({7, false, 1}, source, probe);
    ASSERT_EQ(absent.size(), 3u);
    EXPECT_EQ(absent[0].outcome, CheckOutcome::Fail);
    EXPECT_EQ(absent[2].outcome, CheckOutcome::NotApplicable);
    openStatus = 5;
    const CheckResults inUse = RunListedPortChecks({7, false, 1}, source, probe);
    ASSERT_EQ(inUse.size(), 3u);
    EXPECT_EQ(inUse[0].outcome, CheckOutcome::Pass);
    EXPECT_EQ(inUse[1].outcome, CheckOutcome::NotApplicable);
    EXPECT_THAT(inUse.back().explanation, HasSubstr("in use"));
}

}  // namespace
