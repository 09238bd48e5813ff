#include "app/starttiming.h"

#include <QThread>

#include <gtest/gtest.h>

namespace corvane {
namespace {

// The times of the timing lines count from this process's start, not from the machine's, and run
// with the monotonic clock. That the program writes them and ends is the installed package's test.
TEST(StartTiming, CountsFromTheProcessStartWithTheMonotonicClock)
{
    const double since = StartTiming::msSinceProcessStart();
    const double monotonic = StartTiming::monotonicMs();
    EXPECT_GT(since, 0.0);
    EXPECT_LT(since, 3600000.0);
    QThread::msleep(200);
    EXPECT_NEAR(StartTiming::msSinceProcessStart() - since, StartTiming::monotonicMs() - monotonic,
                20.0);
}

} // namespace
} // namespace corvane
