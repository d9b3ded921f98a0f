#include "serial/Wakeup.h"

#include <windows.h>

#include <timeapi.h>

namespace {

HANDLE AsHandle(intptr_t native) { return reinterpret_cast<HANDLE>(native); }

// kHighResolutionTimer, which MinGW's headers do not have yet.
constexpr DWORD kHighResolutionTimer = 0x00000002;

// Windows' timer ticks every 15.6 ms unless asked otherwise, far too coarse for holding RTS
// to within a millisecond of a frame's end. A high-resolution waitable timer (Windows 10
// 1803 and later) needs nothing else; older systems, and Wine, get a plain waitable timer
// with the system timer set to 1 ms for the life of the process.
class PauseTimer {
public:
    PauseTimer() {
        m_timer = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
        if (m_timer) return;
        RaiseSystemTimerResolution();
        m_timer = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    }
    ~PauseTimer() {
        if (m_timer) CloseHandle(m_timer);
    }
    PauseTimer(const PauseTimer&) = delete;
    PauseTimer& operator=(const PauseTimer&) = delete;

    // Arms the timer `us` from now; false when it cannot be used.
    bool Arm(uint64_t us) {
        if (!m_timer) return false;
        LARGE_INTEGER due;
        due.QuadPart = -static_cast<LONGLONG>(us * 10);  // relative, in 100 ns units
        return SetWaitableTimer(m_timer, &due, 0, nullptr, nullptr, FALSE) != 0;
    }
    HANDLE Handle() const { return m_timer; }

private:
    static void RaiseSystemTimerResolution() {
        static const bool raised = timeBeginPeriod(1) == TIMERR_NOERROR;
        (void)raised;
    }

    HANDLE m_timer = nullptr;
};

// One timer per thread: pauses may run on the line worker and on the caller's thread at once.
PauseTimer& ThreadPauseTimer() {
    thread_local PauseTimer timer;
    return timer;
}

}  // namespace

CWakeup::CWakeup()
    : m_native(reinterpret_cast<intptr_t>(CreateEventW(nullptr, TRUE, FALSE, nullptr))) {
    if (m_native == 0) {
        m_creationError = static_cast<int>(GetLastError());
        m_native = -1;
    }
}

CWakeup::~CWakeup() {
    if (m_native != -1) CloseHandle(AsHandle(m_native));
}

void CWakeup::Signal() const {
    if (m_native != -1) SetEvent(AsHandle(m_native));
}

void CWakeup::Clear() const {
    if (m_native != -1) ResetEvent(AsHandle(m_native));
}

bool CWakeup::IsSignalled() const {
    return m_native != -1 && WaitForSingleObject(AsHandle(m_native), 0) == WAIT_OBJECT_0;
}

bool CWakeup::SleepMicros(uint64_t us) const {
    if (IsSignalled()) return false;
    if (us == 0) return true;
    PauseTimer& timer = ThreadPauseTimer();
    if (!timer.Arm(us)) {
        // No timer at all: millisecond waits, rounded up so a pause never ends early.
        const DWORD ms = static_cast<DWORD>((us + 999) / 1000);
        if (m_native == -1) {
            Sleep(ms);
            return true;
        }
        return WaitForSingleObject(AsHandle(m_native), ms) != WAIT_OBJECT_0;
    }
    // The wake-up comes first, so that a stop wins over a pause that ends at the same moment.
    HANDLE waits[2];
    DWORD count = 0;
    if (m_native != -1) waits[count++] = AsHandle(m_native);
    waits[count++] = timer.Handle();
    const DWORD woke = WaitForMultipleObjects(count, waits, FALSE, INFINITE);
    if (m_native != -1 && woke == WAIT_OBJECT_0) {
        CancelWaitableTimer(timer.Handle());
        return false;
    }
    if (woke == WAIT_FAILED) Sleep(static_cast<DWORD>((us + 999) / 1000));
    return true;
}
