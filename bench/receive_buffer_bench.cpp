// Taking small pieces from the front of a large receive buffer. Bytes per second must stay
// in the same range as the buffer grows (moving the rest on every take would make each
// fourfold step cost sixteen times as much); what drop remains comes from leaving the caches.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "net/ByteQueue.h"

namespace {

void SmallTakesFromALargeBuffer(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::vector<std::uint8_t> data(size, 0x5A);
    constexpr std::size_t kPiece = 16;
    zonbode::net::ByteQueue queue;  // kept, so that its storage is reused between runs
    for (auto _ : state) {
        queue.Append(data.data(), data.size());
        std::uint64_t sum = 0;
        while (!queue.Empty()) {
            const std::size_t take = queue.Size() < kPiece ? queue.Size() : kPiece;
            sum += queue.Data()[take - 1];
            queue.Consume(take);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

// Appends and small takes interleaved, as a slow reader behind a fast network sees them.
void InterleavedAppendsAndTakes(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::vector<std::uint8_t> piece(64 * 1024, 0x5A);
    zonbode::net::ByteQueue queue;
    for (auto _ : state) {
        queue.Clear();
        std::size_t appended = 0;
        while (appended < size) {
            queue.Append(piece.data(), piece.size());
            appended += piece.size();
            for (int i = 0; i < 1000 && !queue.Empty(); ++i) {
                queue.Consume(queue.Size() < 48 ? queue.Size() : 48);
            }
        }
        benchmark::DoNotOptimize(queue.Size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

}  // namespace

BENCHMARK(SmallTakesFromALargeBuffer)->RangeMultiplier(4)->Range(1 << 20, 1 << 26);
BENCHMARK(InterleavedAppendsAndTakes)->RangeMultiplier(4)->Range(1 << 20, 1 << 26);

BENCHMARK_MAIN();
