// The main window while a test runs on its worker: it keeps serving events, shows the
// scan's progress, refuses other test commands and takes a Cancel. On a fake line in virtual
// time, paced by the test so that the window's side can be watched between the polls.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "FakeLine.h"
#include "app/Resource.h"
#include "tests/app/MainWindowFixture.h"

namespace {

// Lets the line's thread wait until the window's thread has seen a value.
class Handshake {
public:
    void Saw(int value) {
        const std::lock_guard lock(m_mutex);
        m_seen = std::max(m_seen, value);
        m_changed.notify_all();
    }
    // Until the value was seen (true), the port was woken (a Cancel), or 5 s have passed.
    bool WaitFor(int value, const CWakeup& wakeup) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::unique_lock lock(m_mutex);
        while (m_seen < value && !wakeup.IsSignalled()) {
            if (std::chrono::steady_clock::now() > end) return false;
            m_changed.wait_for(lock, std::chrono::milliseconds(10));
        }
        return m_seen >= value;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_seen = 0;
};

class WindowWhileTesting : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        window = std::make_unique<CTralvoDlg>(line.serial, line.clock, seams);
        window->m_nComPort = 3;
        window->OnInitDialog();
        reply = QMessageBox::Yes;  // scan the multi-drop addresses
        // The window's own thread looks at its progress bar as often as it gets to run.
        QObject::connect(&m_watch, &QTimer::timeout, [this] {
            const auto* bar = Control<QProgressBar>(IDC_TEST_PROGRESS);
            if (!bar->isVisibleTo(window.get()) || bar->maximum() == 0) return;
            if (m_shown.empty() || m_shown.back() != bar->value()) m_shown.push_back(bar->value());
            // What the window does on seeing an address comes before the line goes on.
            if (m_onShown) m_onShown(bar->value());
            m_handshake.Saw(bar->value());
        });
        m_watch.start(1);
    }
    // Every scan poll waits until the window has shown that address's progress.
    void PaceTheScan() {
        line.answers = [this](const sim::Frame& request) {
            const int address = request.address.at(0) & 0x3F;
            if (request.command == 0 && address > 0 &&
                !m_handshake.WaitFor(address, line.serial.Wakeup()))
                m_paced = false;
            return true;
        };
    }

    FakeLine line{{Device(3, "PT3", 3), Device(12, "PT12", 12)}};
    QTimer m_watch;
    Handshake m_handshake;
    std::vector<int> m_shown;
    std::function<void(int)> m_onShown;
    std::atomic<bool> m_paced{true};
};

TEST_F(WindowWhileTesting, TheWindowServesEventsAndShowsEachAddressDuringTheScan) {
    PaceTheScan();
    window->OnPollHartNetwork();
    EXPECT_TRUE(m_paced) << "the window did not show an address while the scan waited for it";
    std::vector<int> addresses(15);
    for (int i = 0; i < 15; ++i) addresses[i] = i + 1;
    EXPECT_EQ(m_shown, addresses);
    EXPECT_EQ(Box(IDC_STATUS)->text(), "Test Pass, multi-drop network");
    EXPECT_EQ(Box(IDC_HART_ADDRESS)->text(), "3, 12");
    EXPECT_FALSE(Button(IDC_CANCEL_TEST)->isVisibleTo(window.get())) << "only while a test runs";
    EXPECT_TRUE(Button(IDC_POLL_HART_NETWORK)->isEnabled());
}

TEST_F(WindowWhileTesting, CommandsAreRefusedDuringTheScanAndCancelEndsIt) {
    PaceTheScan();
    m_onShown = [this](int address) {
        if (address != 5) return;
        EXPECT_FALSE(Button(IDC_POLL_HART_NETWORK)->isEnabled());
        window->OnPollHartNetwork();  // refused, not queued
        window->OnContinuous();
        Button(IDC_CANCEL_TEST)->click();
        m_onShown = {};
    };
    window->OnPollHartNetwork();
    EXPECT_EQ(Box(IDC_STATUS)->text(), "Test cancelled");
    EXPECT_EQ(line.PollsOf(6), 0) << "no poll after the cancel";
    EXPECT_EQ(line.PollsOf(0), 2) << "a refused command sent nothing";
    EXPECT_FALSE(line.serial.IsOpen());
    EXPECT_EQ(messages.size(), 1u) << "the question only, no message for a cancel";
    EXPECT_TRUE(Button(IDC_POLL_HART_NETWORK)->isEnabled());
}

}  // namespace
