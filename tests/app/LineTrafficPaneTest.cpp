// The line traffic pane below the main window: hidden by default without changing the
// window, filled by a poll on the window's link (a fake line in virtual time), and its
// Copy, Clear and Save commands; the HART ID box's tooltip after the poll.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include "MainWindowFixture.h"
#include "app/LineTrafficPane.h"
#include "app/Resource.h"
#include "strings/TrafficTranslation.h"
#include "tests/traffic/PcapRecords.h"
#include "tests/traffic/TrafficFrames.h"
#include "tests/workflows/FakeLine.h"
#include "traffic/LineDiagnosis.h"
#include "traffic/LinkQuality.h"

namespace {

class LineTraffic : public MainWindowFixture {
protected:
    // The window on the fake line, as start-up leaves it, its pane saving where the test
    // says.
    void OpenOnLine() {
        window = std::make_unique<CTralvoDlg>(line.serial, line.clock, seams);
        window->m_nComPort = 3;
        window->OnInitDialog();
        Pane()->SetFileChooser([this](const QString& caption, const QString&) {
            captions.push_back(caption);
            return chosenPath;
        });
    }
    CLineTrafficPane* Pane() const { return window->findChild<CLineTrafficPane*>(); }
    QTreeWidget* Rows() const { return Pane()->findChild<QTreeWidget*>(); }
    QString Row(int i, int column) const { return Rows()->topLevelItem(i)->text(column); }
    QLabel* Count() const { return Pane()->findChild<QLabel*>("lineTrafficCount"); }
    // Frames sent straight on the window's link, to fill the pane quickly.
    void SendPolls(int count) {
        ASSERT_EQ(window->m_link.OpenPort(3, 1200), kLinkOk);
        const std::vector<uint8_t> poll = traffictest::IdentityPoll();
        for (int i = 0; i < count; ++i) window->m_link.SendFrame(poll.data(), poll.size(), 500);
        window->m_link.ClosePort();
    }
    // The frames reach the pane through the window's event loop.
    bool WaitForFrames(int count) {
        return QTest::qWaitFor([&] { return Pane()->FrameCount() >= count; }, 5000);
    }
    QString Path(const char* name) const { return QString::fromStdString(home.path()) + name; }

    FakeLine line{{Device(0, "PT101", 0x123456)}};
    QString chosenPath;
    std::vector<QString> captions;
};

TEST_F(LineTraffic, IsHiddenByDefaultAndShowingItLeavesTheTemplateAsItWas) {
    OpenWindow();
    window->show();
    QAction* view = MenuCommand(ID_VIEW_LINE_TRAFFIC);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->text(), "Line traffic");
    EXPECT_TRUE(view->isCheckable());
    EXPECT_FALSE(view->isChecked());
    EXPECT_FALSE(Pane()->isVisible());
    const QSize templateSize = window->size();
    const QSize client = Button(IDOK)->parentWidget()->size();

    view->trigger();
    EXPECT_TRUE(Pane()->isVisible());
    EXPECT_GT(window->height(), templateSize.height() + Rows()->minimumHeight() / 2);
    EXPECT_GE(window->width(), templateSize.width());
    EXPECT_EQ(Button(IDOK)->parentWidget()->size(), client);
    EXPECT_GT(window->maximumHeight(), window->height()) << "the pane may be made larger";

    view->trigger();
    EXPECT_FALSE(Pane()->isVisible());
    EXPECT_EQ(window->size(), templateSize);
    EXPECT_EQ(window->maximumSize(), templateSize);
}

TEST_F(LineTraffic, TheChineseTemplateNamesTheMenuAndButtonsInChinese) {
    StoreLanguage("Chinese");
    OpenWindow();
    EXPECT_EQ(MenuCommand(ID_VIEW_LINE_TRAFFIC)->text(), "线路通信");
    QStringList commands;
    for (const QAction* command : Pane()->findChildren<QAction*>()) commands << command->text();
    EXPECT_EQ(commands, (QStringList{"复制", "清除", "另存为文本...", "另存为pcap..."}));
    EXPECT_EQ(Count()->text(), "0 帧");
}

TEST_F(LineTraffic, FillsFromAPollAndCopiesClearsAndSaves) {
    OpenOnLine();
    window->OnPollHartNetwork();
    ASSERT_EQ(Box(IDC_STATUS)->text(), "Test Pass, single device");
    ASSERT_TRUE(WaitForFrames(4));
    ASSERT_EQ(Pane()->FrameCount(), 4);
    EXPECT_EQ((QStringList{Row(0, 1), Row(0, 2), Row(0, 3), Row(0, 4), Row(0, 5)}),
              (QStringList{"TX", "0", "0 Read Unique Identifier", "ok",
                           "request | byte count 0 | checksum good"}));
    EXPECT_EQ(Rows()->topLevelItem(0)->toolTip(5), "FF\u00D720 02 00 00 00 02");
    EXPECT_EQ(Row(1, 1), "RX");
    EXPECT_TRUE(Row(1, 5).contains("device id 1193046 (0x123456)")) << Row(1, 5).toStdString();
    EXPECT_EQ(Row(2, 2), "0x26 0x06 123456");
    EXPECT_EQ(Row(2, 3), "13 Read Tag, Descriptor, Date");
    EXPECT_TRUE(Row(3, 5).contains("tag \"PT101   \"")) << Row(3, 5).toStdString();
    EXPECT_TRUE(QTime::fromString(Row(0, 0), "HH:mm:ss.zzz").isValid()) << Row(0, 0).toStdString();
    EXPECT_EQ(Box(IDC_HART_ID)->toolTip(),
              "HART ID 1193046 (0x123456)\nmanufacturer 38 (0x26), device type 6 (0x06), "
              "universal revision 7");

    // Copy: every frame, or the selected ones; one tab-separated line each.
    Pane()->OnCopy();
    const QStringList all = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(all.size(), 4);
    EXPECT_EQ(all[0].split('\t').mid(1),
              (QStringList{"TX",
                           "request | poll address 0 | command 0 Read Unique Identifier | byte "
                           "count 0 | checksum good",
                           Rows()->topLevelItem(0)->toolTip(2)}));
    Rows()->topLevelItem(3)->setSelected(true);
    Pane()->OnCopy();
    EXPECT_EQ(QApplication::clipboard()->text(), all[3] + '\n');

    // Save as text and as pcap, to the file the chooser names.
    chosenPath = Path("/traffic.txt");
    Pane()->OnSaveAsText();
    QFile text(chosenPath);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(text.readAll()), all.join('\n') + '\n');
    chosenPath = Path("/traffic.pcap");
    Pane()->OnSaveAsPcap();
    const auto records = traffictest::PcapRecords(traffictest::FileBytes(chosenPath.toStdString()));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].Decoded().command, 0);
    EXPECT_EQ(records[3].Decoded().tag->tag, "PT101   ");
    EXPECT_EQ(captions, (std::vector<QString>{"Save as text", "Save as pcap"}));

    // A file that cannot be written is said so; a cancelled choice writes nothing.
    chosenPath = Path("/no/such/folder/traffic.txt");
    Pane()->OnSaveAsText();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Could not write ")) << messages[0].text.toStdString();
    chosenPath.clear();
    Pane()->OnSaveAsPcap();
    EXPECT_EQ(messages.size(), 1u);

    Pane()->OnClear();
    EXPECT_EQ(Pane()->FrameCount(), 0);
    EXPECT_EQ(Rows()->topLevelItemCount(), 0);
    EXPECT_EQ(Count()->text(), "0 frames");
}

TEST_F(LineTraffic, ShowsAFailedReceptionAndKeepsOnlyTheNewestFrames) {
    line.Devices({}, SilentLine());
    OpenOnLine();
    reply = QMessageBox::No;  // no multi-drop scan
    window->OnPollHartNetwork();
    // Two attempts at address 0: each a request and a reception that brought nothing.
    ASSERT_TRUE(WaitForFrames(4));
    EXPECT_EQ(Row(1, 4), "no reply");
    EXPECT_EQ(Row(1, 5), "no frame");
    EXPECT_EQ(Rows()->topLevelItem(1)->foreground(4).color(), QColor(Qt::darkRed));
    EXPECT_EQ(Box(IDC_HART_ID)->toolTip(), "");
    // Below the template's status, the window says what the line showed.
    const QString silent =
        QString::fromStdString(traffic::LineClassText(traffic::LineClass::Silent));
    EXPECT_EQ(Box(IDC_STATUS)->toolTip(), silent);
    EXPECT_EQ(Pane()->findChild<QLabel*>("lineTrafficReport")->text(), silent);

    SendPolls(CLineTrafficPane::kMaxFrames);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count()->text().contains("dropped"); }, 5000));
    EXPECT_EQ(Pane()->FrameCount(), CLineTrafficPane::kMaxFrames);
    EXPECT_EQ(Rows()->topLevelItemCount(), CLineTrafficPane::kMaxFrames);
}

TEST_F(LineTraffic, FollowsTheNewestFrameUnlessScrolledUpAndShowsItWhenOpenedAgain) {
    OpenOnLine();
    window->show();
    SendPolls(200);  // recorded while the pane is hidden
    ASSERT_TRUE(WaitForFrames(200));
    MenuCommand(ID_VIEW_LINE_TRAFFIC)->trigger();
    QScrollBar* upDown = Rows()->verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return upDown->maximum() > 0; }, 5000));
    EXPECT_EQ(upDown->value(), upDown->maximum()) << "the newest frames, not the middle";

    upDown->setValue(0);  // the user looks at older frames: they stay in view
    SendPolls(20);
    ASSERT_TRUE(WaitForFrames(220));
    EXPECT_EQ(upDown->value(), 0);

    MenuCommand(ID_VIEW_LINE_TRAFFIC)->trigger();
    SendPolls(20);
    ASSERT_TRUE(WaitForFrames(240));
    MenuCommand(ID_VIEW_LINE_TRAFFIC)->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return upDown->value() == upDown->maximum(); }, 5000));
}

TEST_F(LineTraffic, KeysAndClicksNeverScrollTheTimeColumnAway) {
    OpenOnLine();
    window->show();
    MenuCommand(ID_VIEW_LINE_TRAFFIC)->trigger();
    SendPolls(30);
    ASSERT_TRUE(WaitForFrames(30));
    Rows()->setColumnWidth(4, 3 * Rows()->viewport()->width());  // a column widened by hand
    Rows()->setFocus();
    const QRect result = Rows()->visualRect(Rows()->indexFromItem(Rows()->topLevelItem(29), 4));
    QTest::mouseClick(Rows()->viewport(), Qt::LeftButton, {}, result.topLeft() + QPoint(8, 4));
    for (Qt::Key key : {Qt::Key_End, Qt::Key_Right, Qt::Key_Right, Qt::Key_Up, Qt::Key_Home}) {
        QTest::keyClick(Rows(), key);
        EXPECT_EQ(Rows()->horizontalScrollBar()->value(), 0) << key;
        EXPECT_EQ(Rows()->header()->sectionViewportPosition(0), 0) << key;
    }
}

TEST_F(LineTraffic, DetailsShowTheSelectedFramesDecodeBytesAndNotesAndTheHeaderARunReport) {
    sim::Behaviour noisy;
    noisy.noise = true;
    line.Devices({Device(0, "PT101", 0x123456)}, noisy);
    OpenOnLine();
    window->OnPollHartNetwork();
    ASSERT_TRUE(WaitForFrames(2));
    auto* details = Pane()->findChild<QPlainTextEdit*>("lineTrafficDetails");
    Rows()->setCurrentItem(Rows()->topLevelItem(1));
    const QStringList lines = details->toPlainText().split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("answer | poll address 0 | command 0"));
    EXPECT_EQ(lines[1], Rows()->topLevelItem(1)->toolTip(0));
    EXPECT_TRUE(lines[2].startsWith("noise: ")) << lines[2].toStdString();

    // A test that passed has nothing to report.
    EXPECT_TRUE(Pane()->findChild<QLabel*>("lineTrafficReport")->isHidden());
    EXPECT_EQ(Box(IDC_STATUS)->toolTip(), "");
}

TEST_F(LineTraffic, TheChinesePaneShowsItsColumnsDecodeAndNotesInChinese) {
    StoreLanguage("Chinese");
    OpenOnLine();
    window->OnPollHartNetwork();
    ASSERT_TRUE(WaitForFrames(2));
    EXPECT_EQ(Rows()->headerItem()->text(4), "结果");
    EXPECT_EQ((QStringList{Row(1, 1), Row(1, 4)}), (QStringList{"接收", "正常"}));
    EXPECT_TRUE(Row(1, 5).startsWith("应答 | 字节数 ")) << Row(1, 5).toStdString();
    // Every text of the decode and the notes has a translation taking the same arguments.
    for (const char* english : traffictext::Sources()) {
        const QString chinese = QCoreApplication::translate("Traffic", english);
        EXPECT_NE(chinese, QString::fromUtf8(english)) << english;
        EXPECT_TRUE(traffictext::SameConversions(english, chinese.toUtf8().constData())) << english;
    }
    EXPECT_FALSE(traffictext::SameConversions("%u of %u", "%u / %s"));
    // The line's diagnosis and the run's figures, which come from traffic/ too.
    const traffic::Translate chinese = traffictext::InterfaceLanguage();
    for (int c = 0; c <= static_cast<int>(traffic::LineClass::Busy); ++c) {
        const auto lineClass = static_cast<traffic::LineClass>(c);
        EXPECT_NE(traffic::LineClassText(lineClass, chinese), traffic::LineClassText(lineClass));
    }
    traffic::CLinkQuality::Figures figures;
    figures.exchanges = 2;
    figures.answerTimes = traffic::CLinkQuality::AnswerTimes{20, 30, 40};
    EXPECT_TRUE(QString::fromStdString(traffic::LinkQualityText(figures, chinese))
                    .startsWith(QStringLiteral("链路：2 次交换")));
}

}  // namespace
