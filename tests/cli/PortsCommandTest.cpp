#include "cli/PortsCommand.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <sstream>

#include "tests/portselect/FakePortSource.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

PortRecord FtdiRecord() {
    PortRecord record;
    record.friendlyName = "FT232R USB UART (COM33)";
    record.details.title = "FT232R USB UART";
    record.details.product = "FT232R USB UART";
    record.details.manufacturer = "FTDI";
    record.details.serial = "A10K3XYZ";
    record.details.byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";
    record.details.driver = "ftdi_sio";
    record.details.usbId = "0403:6001";
    return record;
}

// The first two fields stay what they were (the entry, the device it opens), so scripts
// that cut them keep working; what the port is follows.
TEST(PortsCommandTest, PrintsEachEntryWithTheDeviceItOpensAndWhatItIsInTheChoosersOrder) {
    ScopedConfigHome home;
    ASSERT_TRUE(home.Link(home.path() + "/Brenlow/Tralvo/ports/COM200", "/dev/null"));
    const FakePortSource source = FakePortSource::WithRecords({{"Virtual Serial Port (COM200)", {}},
                                                               FtdiRecord(),
                                                               {"USB Serial Port (COM33)", {}},
                                                               {"Virtual COM Port (COM5)", {}},
                                                               {"(COM7)", {}}});
    std::ostringstream out;
    EXPECT_EQ(0, RunPortsCommand(out, source));
    EXPECT_EQ(
        "COM Port COM5\t\tVirtual COM Port\n"
        "COM7\t/dev/ttyS6\n"
        "COM33\t/dev/ttyUSB0\tFT232R USB UART - FTDI, serial A10K3XYZ\t"
        "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0\n"
        "COM200\t/dev/null\tVirtual Serial Port\n",
        out.str());
}

// A name may hold anything but '/' and NUL; the text listing keeps one port a line.
TEST(PortsCommandTest, ControlCharactersInANameAddNoLineOrField) {
    ScopedConfigHome home;
    const std::string target = home.path() + "/line\nCOM9\tfake";
    std::ofstream(target) << "";
    ASSERT_TRUE(home.Link(home.path() + "/Brenlow/Tralvo/ports/COM200", target));
    const FakePortSource source =
        FakePortSource::WithRecords({{"Virtual Serial Port (COM200)", {}}});
    std::ostringstream text;
    RunPortsCommand(text, source);
    EXPECT_EQ("COM200\t" + home.path() + "/line COM9 fake\tVirtual Serial Port\n", text.str());
}

TEST(PortsCommandTest, JsonIsAnArrayOfTheEntriesWithWhatIsKnown) {
    ScopedConfigHome home;
    ASSERT_TRUE(home.Link(home.path() + "/Brenlow/Tralvo/ports/COM200", "/dev/null"));
    const FakePortSource source = FakePortSource::WithRecords(
        {{"Virtual Serial Port (COM200)", {}}, FtdiRecord(), {"Virtual COM Port (COM5)", {}}});
    std::ostringstream out;
    EXPECT_EQ(0, RunPortsCommand(out, source, /*json=*/true));
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(out.str()), &error);
    ASSERT_EQ(QJsonParseError::NoError, error.error) << out.str();
    ASSERT_TRUE(document.isArray());
    const QJsonArray ports = document.array();
    ASSERT_EQ(3, ports.size());

    const QJsonObject odd = ports[0].toObject();
    EXPECT_EQ("COM Port COM5", odd["name"].toString().toStdString());
    EXPECT_EQ(0, odd["number"].toInt()) << "the number choosing it would store";
    EXPECT_EQ("", odd["device"].toString().toStdString());
    EXPECT_FALSE(odd.contains("serial"));

    const QJsonObject ftdi = ports[1].toObject();
    EXPECT_EQ(33, ftdi["number"].toInt());
    EXPECT_EQ("COM33", ftdi["name"].toString().toStdString());
    EXPECT_EQ("/dev/ttyUSB0", ftdi["device"].toString().toStdString());
    EXPECT_EQ("FT232R USB UART - FTDI, serial A10K3XYZ",
              ftdi["description"].toString().toStdString());
    EXPECT_EQ("FTDI", ftdi["manufacturer"].toString().toStdString());
    EXPECT_EQ("FT232R USB UART", ftdi["product"].toString().toStdString());
    EXPECT_EQ("A10K3XYZ", ftdi["serial"].toString().toStdString());
    EXPECT_EQ("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0",
              ftdi["by_id"].toString().toStdString());
    EXPECT_EQ("ftdi_sio", ftdi["driver"].toString().toStdString());
    EXPECT_EQ("0403:6001", ftdi["usb_id"].toString().toStdString());

    const QJsonObject sim = ports[2].toObject();
    EXPECT_EQ(200, sim["number"].toInt());
    EXPECT_EQ("/dev/null", sim["device"].toString().toStdString());
    EXPECT_EQ("Virtual Serial Port", sim["description"].toString().toStdString());
}

TEST(PortsCommandTest, NoPortsPrintNothingAndSucceed) {
    std::ostringstream out;
    EXPECT_EQ(0, RunPortsCommand(out, FakePortSource({}, false)));
    EXPECT_EQ("", out.str());
    std::ostringstream json;
    EXPECT_EQ(0, RunPortsCommand(json, FakePortSource({}, false), true));
    EXPECT_EQ("[\n]\n", json.str());
}

}  // namespace
