// The live source's refresh, many times over, in one process: real fetches (libcurl, on the
// source's one worker thread) from the recorded weather API on loopback, the page written anew
// and handed to the page server, and one client reading it after each refresh. Memory must
// stay flat: the heap in use and the resident size are printed after a warm-up and at the end.
//   live_source_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <string>

#include "LiveTestSupport.h"
#include "live/LiveSource.h"
#include "net/EventLoop.h"

namespace {

using namespace std::chrono_literals;
using namespace zonbode;

constexpr int kWarmUpRefreshes = 100;
constexpr int kRefreshes = 2000;

long long HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

long long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long long value = 0;
        if (key == "VmRSS:" && status >> value) {
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return -1;
}

void LiveRefresh(benchmark::State& state) {
    live::testing::RecordedApi api;
    if (!api.Listening()) {
        state.SkipWithError("the recorded weather API did not start");
        return;
    }
    api.SetLive("week");
    int pages = 0;
    int failures = 0;
    live::LiveSource::Events events;
    events.PageReady = [&] { ++pages; };
    events.Problem = [&](const std::string&) { ++failures; };
    live::LiveSource source({api.Url("live"), api.Url("geo")}, live::DefaultPlace(), events,
                            {1h, 1h, 1h});
    source.Start();

    std::size_t served = 0;
    // A new place fetches at once: one refresh, then one client reads the page.
    auto refreshAndRead = [&] {
        const int before = pages + failures;
        source.SetPlace(live::DefaultPlace());
        live::testing::RunUntil([&] { return pages + failures > before; });
        served += live::testing::ServedBody(source.Port()).size();
    };

    for (int i = 0; i < kWarmUpRefreshes; ++i) {
        refreshAndRead();
    }
    const long long heapBefore = HeapInUse();
    const long long residentBefore = ResidentKiB();
    for (auto _ : state) {
        refreshAndRead();
    }
    const long long heapAfter = HeapInUse();
    const long long residentAfter = ResidentKiB();

    state.counters["failures"] = failures;
    state.counters["served_bytes_per_refresh"] =
        static_cast<double>(served) / (kWarmUpRefreshes + state.iterations());
    state.counters["heap_before_bytes"] = static_cast<double>(heapBefore);
    state.counters["heap_growth_bytes"] = static_cast<double>(heapAfter - heapBefore);
    state.counters["rss_before_kib"] = static_cast<double>(residentBefore);
    state.counters["rss_growth_kib"] = static_cast<double>(residentAfter - residentBefore);
}

BENCHMARK(LiveRefresh)->Iterations(kRefreshes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
