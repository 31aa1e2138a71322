// Idle cost of the main loop: one WaitEvent(1) pass with nothing happening.
// Reports the process CPU time of 10 000 idle passes beside the wall time,
// which is what a tray program costs while it sits all day.
#include "runtime/event_queue.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void IdleWaitEvent10000(benchmark::State& state)
{
    double cpu = 0;
    for (auto _ : state) {
        const double before = ProcessCpuSeconds();
        for (int i = 0; i < 10000; ++i)
            benchmark::DoNotOptimize(runtime::WaitEvent(1));
        cpu += ProcessCpuSeconds() - before;
    }
    state.counters["cpu_ms_per_10000"] = cpu * 1000.0 / static_cast<double>(state.iterations());
}
BENCHMARK(IdleWaitEvent10000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    runtime::SetEventThread();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
