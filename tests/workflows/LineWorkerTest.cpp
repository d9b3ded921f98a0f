// The worker's promise to its callers: Run never returns while the work still runs, and a
// refusal is not mistaken for a cancel.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <atomic>

#include "serial/Wakeup.h"
#include "workflows/LineWorker.h"

TEST(LineWorker, RunTellsARefusalFromACancelAndReturnsOnlyOnceTheWorkHasEnded) {
    CWakeup wakeup;
    QObject context;
    CLineWorker worker(wakeup, &context);
    std::atomic<bool> workEnded = false;
    const auto job = [&] {
        wakeup.SleepMicros(500'000);
        workEnded = true;
    };
    ASSERT_TRUE(worker.Start(job));
    EXPECT_EQ(worker.Run([] { ADD_FAILURE() << "run while busy"; }), LineRun::Busy);
    worker.Cancel();
    wakeup.Clear();
    workEnded = false;

    // The application quits 50 ms into the job, which ends the loop Run waits in.
    bool endedWhenRunReturned = false;
    LineRun result = LineRun::RanToEnd;
    QTimer::singleShot(0, [&] {
        result = worker.Run(job);
        endedWhenRunReturned = workEnded;
    });
    QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    EXPECT_TRUE(endedWhenRunReturned);
    EXPECT_EQ(result, LineRun::Cancelled);
    wakeup.Clear();
    EXPECT_EQ(worker.Run([] {}), LineRun::RanToEnd);
}
