#include "WindowDuringScan.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/TralvoDlg.h"

namespace {

constexpr int kTickMs = 2;  // how often the window's thread is asked to run something
constexpr double kGoalMs = 50.0;

}  // namespace

void MeasureWindowDuringScan(const ScratchHome& home) {
    // Devices at every odd address: the scan meets answers and silences alike.
    std::vector<sim::DeviceConfig> devices;
    for (uint8_t address = 1; address <= 15; address += 2)
        devices.push_back(sim::DefaultDevice(address));
    sim::ServedPty line({}, devices);
    if (!line.ok() || !home.Plug(line.SlavePath())) {
        std::printf("(g): the pty line could not be opened\n");
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "tralvo-bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    WindowSeams seams;
    seams.message = [](const QString&, const QString&, int, int) {
        return int(QMessageBox::Yes);  // no device at 0: scan
    };
    CTralvoDlg window(seams);
    window.m_nComPort = kBenchComPort;
    window.OnInitDialog();
    window.show();

    // The gaps between the ticks of a fast timer are the times the thread was kept busy.
    QElapsedTimer clock;
    qint64 last = -1;
    qint64 longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0) longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    ticker.start(kTickMs);
    const qint64 started = clock.elapsed();
    window.OnPollHartNetwork();
    const qint64 scanMs = clock.elapsed() - started;
    ticker.stop();

    const double longestMs = static_cast<double>(longest) / 1e6;
    std::printf(
        "(g) window during a multi-drop scan (%lld ms, status \"%s\"): longest time its thread "
        "was kept from its events %.1f ms, / goal %.2f   (goal <= %.0f ms)\n",
        static_cast<long long>(scanMs), window.m_strStatus.toUtf8().constData(), longestMs,
        longestMs / kGoalMs, kGoalMs);
}
