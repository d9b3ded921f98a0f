// The worker's promise to its callers: Run never returns while the work still runs, and a
// refusal is not mistaken for a cancel.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <atomic>

#include "serial/Wakeup.h"
#include "workflows/LineWorker.h"

namespace {

constexpr uint64_t kJobMicros = 500'000;

}  // namespace

// The application quits 50 ms into a 500 ms job, which ends the loop Run waits in.
TEST(LineWorker, RunReturnsOnlyOnceTheWorkHasEndedWhenTheApplicationQuits) {
    CWakeup wakeup;
    QObject context;
    CLineWorker worker(wakeup, &context);
    std::atomic<bool> workEnded = false;
    bool endedWhenRunReturned = false;
    LineRun result = LineRun::RanToEnd;
    QTimer::singleShot(0, [&] {
        result = worker.Run([&] {
            wakeup.SleepMicros(kJobMicros);
            workEnded = true;
        });
        endedWhenRunReturned = workEnded;
    });
    QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    EXPECT_TRUE(endedWhenRunReturned);
    EXPECT_EQ(result, LineRun::Cancelled);
}

TEST(LineWorker, TellsARefusalWhileBusyFromACancelAndFromAFullRun) {
    CWakeup wakeup;
    QObject context;
    CLineWorker worker(wakeup, &context);
    ASSERT_TRUE(worker.Start([&] { wakeup.SleepMicros(kJobMicros); }));
    bool ranSecond = false;
    EXPECT_EQ(worker.Run([&] { ranSecond = true; }), LineRun::Busy);
    EXPECT_FALSE(ranSecond);
    worker.Cancel();
    wakeup.Clear();
    EXPECT_EQ(worker.Run([&] { ranSecond = true; }), LineRun::RanToEnd);
    EXPECT_TRUE(ranSecond);
}
