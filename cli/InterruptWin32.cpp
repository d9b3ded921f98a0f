#include <windows.h>

#include <atomic>

#include "cli/Interrupt.h"

namespace {

std::atomic<int> g_signal{0};
std::atomic<const CWakeup*> g_wakeup{nullptr};

// Runs on a thread of its own that the console starts for each event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    const bool closing =
        event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
    int expected = 0;
    g_signal.compare_exchange_strong(expected, closing ? kStopHangup : kStopInterrupt);
    if (const CWakeup* wakeup = g_wakeup.load()) wakeup->Signal();
    // The system ends the process as soon as a closing event's handler returns; waiting here
    // gives the run its few seconds to close the port with its settings put back. The program
    // ending first ends this thread too.
    if (closing) Sleep(4000);
    return TRUE;
}

}  // namespace

void InstallInterruptHandler(const CWakeup& wakeup) {
    g_wakeup = &wakeup;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool Interrupted() { return g_signal != 0; }

int InterruptSignal() { return g_signal; }
