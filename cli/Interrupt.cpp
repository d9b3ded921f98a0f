#include "cli/Interrupt.h"

#include <cerrno>
#include <csignal>

namespace {

// Only a lock-free flag and a write to a descriptor may happen in a signal handler.
volatile std::sig_atomic_t g_interrupted = 0;
volatile std::sig_atomic_t g_wakeupFd = -1;

extern "C" void OnInterrupt(int) {
    const int savedErrno = errno;  // the interrupted code may be about to read it
    g_interrupted = 1;
    SignalWakeupFd(g_wakeupFd);
    errno = savedErrno;
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
}

bool Interrupted() { return g_interrupted != 0; }
