#include "runtime/quit_signals.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

/// Pumps events until `calls` reaches `wanted` or two seconds pass.
void PumpUntil(const int& calls, int wanted)
{
    QElapsedTimer timer;
    timer.start();
    while (calls < wanted && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

TEST(QuitSignals, EachSignalBecomesOneCallWhenEventsArePumped)
{
    int calls = 0;
    ASSERT_TRUE(runtime::WatchQuitSignals([&calls] { ++calls; }));
    // A second watch would leave two handlers fighting over one signal.
    EXPECT_FALSE(runtime::WatchQuitSignals([] { FAIL() << "second watch called"; }));

    const struct
    {
        const char* name;
        int signal;
    } rows[] = {
        {"session end (SIGTERM)", SIGTERM},
        {"Ctrl+C (SIGINT)", SIGINT},
        {"terminal closed (SIGHUP)", SIGHUP},
        {"a second session end", SIGTERM},
    };
    for (const auto& r : rows) {
        const int before = calls;
        ASSERT_EQ(::raise(r.signal), 0) << r.name;
        // The handler itself only leaves a note; the call waits for the pump.
        EXPECT_EQ(calls, before) << r.name;
        PumpUntil(calls, before + 1);
        EXPECT_EQ(calls, before + 1) << r.name;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(calls, before + 1) << r.name << ": called again without a new signal";
    }
}
