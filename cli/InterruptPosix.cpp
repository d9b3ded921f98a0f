#include "cli/Interrupt.h"

#include <cerrno>
#include <csignal>

static_assert(kStopHangup == SIGHUP && kStopInterrupt == SIGINT && kStopBrokenPipe == SIGPIPE &&
              kStopTerminate == SIGTERM);

namespace {

// Only lock-free flags and a write to a descriptor may happen in a signal handler.
volatile std::sig_atomic_t g_signal = 0;
volatile std::sig_atomic_t g_wakeupFd = -1;

extern "C" void OnInterrupt(int signal) {
    const int savedErrno = errno;  // the interrupted code may be about to read it
    if (g_signal == 0) g_signal = signal;
    SignalWakeupFd(g_wakeupFd);
    errno = savedErrno;
}

bool IgnoredByParent(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

void InstallInterruptHandler(const CWakeup& wakeup) {
    g_wakeupFd = wakeup.Fd();
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking read returns early, so the check comes sooner.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGPIPE, &action, nullptr);
    if (!IgnoredByParent(SIGHUP)) sigaction(SIGHUP, &action, nullptr);
}

bool Interrupted() { return g_signal != 0; }

int InterruptSignal() { return g_signal; }
