#include "cli/PvCommand.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>
#include <string>
#include <vector>

#include "PvFixture.h"
#include "cli/ExitCodes.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class PvCommandTest : public pvtest::LineFixture {
protected:
    // Runs `pv <args>`; stops a run that would go on after `stopAfterTicks` printed ticks.
    // The wall clock follows the virtual one.
    int Run(const std::vector<std::string>& args, int stopAfterTicks = 1000, bool json = false) {
        OutputFormat format;
        format.json = json;
        format.now = [this] { return kStart.addMSecs(qint64(m_clock.NowMs())); };
        return RunPvCommand(
            m_link, pvtest::kComPort, args, m_out, m_err,
            [&] { return Lines(json ? "{" : "  Count: ").size() >= size_t(stopAfterTicks); },
            format);
    }
    std::vector<std::string> Lines(const std::string& containing) const {
        std::vector<std::string> lines;
        std::istringstream in(m_out.str());
        for (std::string line; std::getline(in, line);)
            if (line.find(containing) != std::string::npos) lines.push_back(line);
        return lines;
    }
    // The tick lines from "Count: " on, without their time.
    std::vector<std::string> TickLines() const {
        std::vector<std::string> lines = Lines("  Count: ");
        for (std::string& line : lines) line.erase(0, line.find("Count: "));
        return lines;
    }
    std::vector<QJsonObject> JsonTicks() const {
        std::vector<QJsonObject> ticks;
        for (const std::string& line : Lines("{"))
            ticks.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
        return ticks;
    }

    const QDateTime kStart{QDate(2024, 5, 1), QTime(10, 0)};

    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(PvCommandTest, ErrorTestPrintsOneLinePerTickAndEndsWithComplete) {
    EXPECT_EQ(Run({"--attempts", "3"}), kExitPassed);
    EXPECT_THAT(TickLines(), ElementsAre("Count: 1  Errors: 0  AO:   PV: Error Test",
                                         "Count: 2  Errors: 0  AO:   PV: Error Test",
                                         "Count: 3  Errors: 0  AO:   PV: Complete"));
    EXPECT_THAT(m_out.str(), HasSubstr("HART ID: 1193046"));
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvCommandTest, ErrorTestRunsTenTicksByDefault) {
    EXPECT_EQ(Run({}), kExitPassed);
    ASSERT_EQ(TickLines().size(), 10u);
    EXPECT_EQ(TickLines().back(), "Count: 10  Errors: 0  AO:   PV: Complete");
}

TEST_F(PvCommandTest, TicksComeTwoSecondsApartOnTheLinksClock) {
    std::vector<uint64_t> pollTimes;
    m_serial.SetResponder([&](const pvtest::Bytes& request) {
        if (pvtest::CommandOf(request) == 0) pollTimes.push_back(m_clock.NowMs());
        return m_bus->Hear(request);
    });
    ASSERT_EQ(Run({"--attempts", "3"}), kExitPassed);
    // The poll test's own poll, then one per tick.
    ASSERT_EQ(pollTimes.size(), 4u);
    EXPECT_NEAR(double(pollTimes[2] - pollTimes[1]), 2000.0, 50.0);
    EXPECT_NEAR(double(pollTimes[3] - pollTimes[2]), 2000.0, 50.0);
}

TEST_F(PvCommandTest, NoDeviceAtAddressZeroSaysMustPollFirstAndFails) {
    m_bSilent = true;
    EXPECT_EQ(Run({}), kExitFailed);
    EXPECT_THAT(m_err.str(), HasSubstr("Must Poll first"));
    EXPECT_THAT(TickLines(), IsEmpty());
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvCommandTest, DeviceWithIdentifierZeroSaysMustPollFirst) {
    sim::DeviceConfig device = sim::DefaultDevice(0);
    device.deviceId = 0;
    SetDevices({device});
    EXPECT_EQ(Run({}), kExitFailed);
    EXPECT_THAT(m_err.str(), HasSubstr("Must Poll first"));
}

TEST_F(PvCommandTest, PortThatDoesNotOpenIsAPortError) {
    m_serial.openStatus = kSerialFileNotFound;
    EXPECT_EQ(Run({}), kExitPortError);
    EXPECT_THAT(m_err.str(), HasSubstr("Error opening COM port"));
    EXPECT_THAT(m_err.str(), HasSubstr("\nRun: com-troubleshooter --report --port 3\n"));
}

TEST_F(PvCommandTest, MonitorModeShowsReadingsUntilStoppedThenClosesThePort) {
    EXPECT_EQ(Run({"--attempts", "0"}, 3), kExitPassed);
    const std::vector<std::string> lines = TickLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Count: 1  Errors: 0  AO: 12.000 mA  PV: 50.000 kPa");
    EXPECT_THAT(lines[2], HasSubstr("Count: 3  Errors: 0  AO: "));
    EXPECT_THAT(m_err.str(), IsEmpty());
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvCommandTest, EachTickLineBeginsWithTheLocalTimeOfItsTick) {
    ASSERT_EQ(Run({"--attempts", "3"}), kExitPassed);
    std::vector<QDateTime> times;
    for (const std::string& line : Lines("  Count: "))
        times.push_back(QDateTime::fromString(QString::fromStdString(line.substr(0, 23)),
                                              QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
    ASSERT_EQ(times.size(), 3u);
    EXPECT_EQ(times[0].date(), kStart.date());
    EXPECT_EQ(times[0].msecsTo(times[1]), 2000);
    EXPECT_EQ(times[1].msecsTo(times[2]), 2000);
}

TEST_F(PvCommandTest, JsonGivesEachTickAsAnObjectWithItsReadingUnitAndTime) {
    ASSERT_EQ(Run({"--attempts", "0"}, 2, /*json=*/true), kExitPassed);
    EXPECT_THAT(Lines("HART"), IsEmpty()) << "nothing but JSON on standard output";
    const std::vector<QJsonObject> ticks = JsonTicks();
    ASSERT_EQ(ticks.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const QJsonObject& tick = ticks[size_t(i)];
        EXPECT_EQ(tick["count"].toInt(), i + 1);
        EXPECT_EQ(tick["errors"].toInt(-1), 0);
        EXPECT_TRUE(tick["loop_current_ma"].isDouble());
        EXPECT_TRUE(tick["pv"].isDouble());
        EXPECT_EQ(tick["pv_unit"].toString(), "kPa");
        EXPECT_EQ(tick["pv_unit_code"].toInt(), 12);
        EXPECT_EQ(tick["tag"].toString(), "TRALVO01");
        EXPECT_EQ(tick["hart_id"].toInteger(), 0x123456);
        EXPECT_FALSE(tick["complete"].toBool(true));
    }
    EXPECT_DOUBLE_EQ(ticks[0]["loop_current_ma"].toDouble(), 12.0);
    EXPECT_DOUBLE_EQ(ticks[0]["pv"].toDouble(), 50.0);
    const QString first = ticks[0]["timestamp"].toString();
    EXPECT_THAT(first.toStdString(),
                ::testing::MatchesRegex(R"(2024-05-01T10:00:..\....[+-][0-9][0-9]:[0-9][0-9])"));
    EXPECT_EQ(
        QDateTime::fromString(first, Qt::ISODateWithMs)
            .msecsTo(QDateTime::fromString(ticks[1]["timestamp"].toString(), Qt::ISODateWithMs)),
        2000);
}

TEST_F(PvCommandTest, JsonTickThatReadNothingHasNoValuesWhereTheBoxesKeepTheLastOnes) {
    int readings = 0;
    m_serial.SetResponder([&](const pvtest::Bytes& request) {
        if (pvtest::CommandOf(request) == 3 && ++readings > 1) return pvtest::Bytes{};
        return m_bus->Hear(request);
    });
    EXPECT_EQ(Run({"--attempts", "0"}, 1000, /*json=*/true), kExitFailed);
    const std::vector<QJsonObject> ticks = JsonTicks();
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_TRUE(ticks[0]["pv"].isDouble());
    EXPECT_TRUE(ticks[1]["loop_current_ma"].isNull());
    EXPECT_TRUE(ticks[1]["pv"].isNull());
    EXPECT_TRUE(ticks[1]["pv_unit"].isNull());
    EXPECT_THAT(m_err.str(), HasSubstr("HART Error"));
}

TEST_F(PvCommandTest, ValuesTheReplyDidNotCarryAreNullInJsonAndBlankInTheLines) {
    AnswerCommand3LackingValues();
    ASSERT_EQ(Run({"--attempts", "0"}, 2, /*json=*/true), kExitPassed);
    const std::vector<QJsonObject> ticks = JsonTicks();
    ASSERT_EQ(ticks.size(), 2u);
    for (const char* field : {"loop_current_ma", "pv", "pv_unit", "pv_unit_code"})
        EXPECT_TRUE(ticks[0][field].isNull()) << field;
    EXPECT_DOUBLE_EQ(ticks[1]["loop_current_ma"].toDouble(), 12.0);
    for (const char* field : {"pv", "pv_unit", "pv_unit_code"})
        EXPECT_TRUE(ticks[1][field].isNull()) << field;

    m_out.str("");
    m_nCommand3Replies = 0;
    ASSERT_EQ(Run({"--attempts", "0"}, 2), kExitPassed);
    EXPECT_THAT(TickLines(), ElementsAre("Count: 1  Errors: 0  AO:   PV: ",
                                         "Count: 2  Errors: 0  AO: 12.000 mA  PV: "));
}

TEST_F(PvCommandTest, CtrlCThatCutsATicksExchangeShortEndsTheRunWithoutAnError) {
    bool interrupted = false;
    m_serial.SetResponder([&](const pvtest::Bytes& request) {
        if (pvtest::CommandOf(request) != 3) return m_bus->Hear(request);
        interrupted = true;  // as a read cut short by the signal: no answer
        return pvtest::Bytes{};
    });
    const int status = RunPvCommand(m_link, pvtest::kComPort, {"--attempts", "0"}, m_out, m_err,
                                    [&] { return interrupted; });
    EXPECT_EQ(status, kExitPassed);
    EXPECT_THAT(m_err.str(), IsEmpty());
    EXPECT_THAT(TickLines(), IsEmpty());
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvCommandTest, MonitorModeWithARevisionFourDeviceEndsWithHartError) {
    SetDevices({DeviceWithRevision(4)});
    EXPECT_EQ(Run({"--attempts", "0"}), kExitFailed);
    EXPECT_EQ(TickLines().size(), 1u);
    EXPECT_THAT(m_err.str(), HasSubstr("HART Error"));
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvCommandTest, ArgumentsItCannotUseAreAUsageError) {
    EXPECT_EQ(Run({"--attempts", "many"}), kExitUsage);
    EXPECT_EQ(Run({"--attempts"}), kExitUsage);
    EXPECT_EQ(Run({"--count", "3"}), kExitUsage);
    EXPECT_EQ(m_serial.Count(FakeSerial::Kind::Open), 0);
}

}  // namespace
