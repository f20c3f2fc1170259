// zonbode-gateway's refresh cycle, many times over, in one process: real fetches (libcurl,
// a worker thread each) from the recorded weather API on loopback, the page written anew and
// handed to the page server, and one client reading it after each refresh. Memory must stay
// flat: the heap in use and the resident size are printed after a warm-up and at the end.
//   gateway_refresh_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <string>

#include "Gateway.h"
#include "GatewaySupport.h"
#include "PageServer.h"
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

void GatewayRefresh(benchmark::State& state) {
    gateway::testing::RecordedApi api;
    if (!api.Listening()) {
        state.SkipWithError("the recorded weather API did not start");
        return;
    }
    gateway::ForecastSource source;
    source.api = api.Url("week");
    source.latitude = "52.1";
    source.longitude = "5.18";
    pageserver::PageServer server(gateway::FetchForecastPage(source).page);
    server.Start(0);
    int failures = 0;
    gateway::Gateway cycle(
        server, [source] { return gateway::FetchForecastPage(source); }, 1h,
        [&failures](const std::string&) { ++failures; });

    std::size_t served = 0;
    auto refreshAndRead = [&] {
        const int before = cycle.FinishedFetches();
        cycle.Refresh();
        net::EventLoop::RunUntil([&] { return cycle.FinishedFetches() > before; }, 60s);
        auto page = std::async(std::launch::async, gateway::testing::HttpGet, server.Port(),
                               gateway::testing::kForecastPath);
        net::EventLoop::RunUntil([&] { return page.wait_for(0s) == std::future_status::ready; },
                                 60s);
        served += page.get().size();
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
    server.Stop();
}

BENCHMARK(GatewayRefresh)->Iterations(kRefreshes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
