// 256 MB over loopback, received once through the socket object (DataArrival + GetData)
// and once by a plain epoll/recv loop with the same receive size, in one run.
// The printed ratio is the object's throughput over the plain loop's.

#include <benchmark/benchmark.h>

#if defined(__linux__)

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <vector>

#include "net/CNetSocket.h"
#include "net/EventLoop.h"

namespace {

constexpr std::size_t kTotalBytes = 256u * 1024 * 1024;
constexpr std::size_t kWriteSize = 256 * 1024;

double bestObjectRate = 0;
double bestRawRate = 0;
std::vector<double> objectRates;
std::vector<double> rawRates;

double Median(std::vector<double> rates) {
    std::sort(rates.begin(), rates.end());
    return rates.empty() ? 0 : rates[rates.size() / 2];
}

// A listening socket on 127.0.0.1; a thread accepts one connection and writes kTotalBytes.
class Sender {
public:
    Sender() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listener_, 1) != 0) {
            throw std::runtime_error("cannot listen");
        }
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~Sender() {
        thread_.join();
        close(listener_);
    }
    int Port() const { return port_; }

private:
    void Run() {
        const int connection = accept(listener_, nullptr, nullptr);
        std::vector<char> block(kWriteSize, 'z');
        std::size_t sent = 0;
        while (sent < kTotalBytes) {
            const ssize_t n = send(connection, block.data(),
                                   std::min(block.size(), kTotalBytes - sent), MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        close(connection);
    }

    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

void ThroughObject(benchmark::State& state) {
    using namespace zonbode::net;
    for (auto _ : state) {
        Sender sender;
        auto socket = CNetSocket::Create();
        std::size_t received = 0;
        bool closed = false;
        socket->Events.DataArrival = [&](std::int32_t) {
            Variant data;
            socket->GetData(data);
            received += data.AsBytes().size();
        };
        socket->Events.CloseSck = [&] { closed = true; };
        socket->Events.Error = [&](ErrorEventArgs&) { closed = true; };
        socket->Connect(Variant("127.0.0.1"), Variant(sender.Port()));
        EventLoop::RunUntil([&] { return closed; }, std::chrono::minutes(5));
        socket->CloseSck();
        if (received != kTotalBytes) {
            state.SkipWithError("not every byte arrived");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotalBytes));
}

void ThroughPlainEpoll(benchmark::State& state) {
    for (auto _ : state) {
        Sender sender;
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        int chunk = 0;
        socklen_t length = sizeof chunk;
        getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &chunk, &length);  // the object's piece size
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(sender.Port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        const int epoll = epoll_create1(0);
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = fd;
        epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event);
        std::vector<char> buffer(static_cast<std::size_t>(chunk));
        std::size_t received = 0;
        // Reads until the socket runs dry before waiting again: the strongest plain loop.
        for (bool open = true; open;) {
            epoll_event ready{};
            if (epoll_wait(epoll, &ready, 1, 60000) <= 0) {
                break;
            }
            for (;;) {
                const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
                if (n > 0) {
                    received += static_cast<std::size_t>(n);
                    benchmark::DoNotOptimize(buffer.data());
                    continue;
                }
                if (n == 0) {
                    open = false;
                }
                break;  // closed, or nothing more waiting now
            }
        }
        close(epoll);
        close(fd);
        if (received != kTotalBytes) {
            state.SkipWithError("not every byte arrived");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotalBytes));
}

class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration) {
                continue;  // mean, median and deviation rows
            }
            const double seconds = run.GetAdjustedRealTime() * 1e-9;  // reported in ns
            const double rate = seconds > 0 ? static_cast<double>(kTotalBytes) / seconds : 0;
            const std::string name = run.benchmark_name();
            if (name.find("ThroughObject") != std::string::npos) {
                bestObjectRate = std::max(bestObjectRate, rate);
                objectRates.push_back(rate);
            } else if (name.find("ThroughPlainEpoll") != std::string::npos) {
                bestRawRate = std::max(bestRawRate, rate);
                rawRates.push_back(rate);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

BENCHMARK(ThroughPlainEpoll)
    ->Iterations(1)
    ->Repetitions(5)
    ->UseRealTime()
    ->Unit(benchmark::kNanosecond);
BENCHMARK(ThroughObject)
    ->Iterations(1)
    ->Repetitions(5)
    ->UseRealTime()
    ->Unit(benchmark::kNanosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (bestRawRate > 0 && bestObjectRate > 0) {
        std::printf("DataArrival/GetData: best %.0f MB/s, median %.0f MB/s\n", bestObjectRate / 1e6,
                    Median(objectRates) / 1e6);
        std::printf("plain epoll recv:    best %.0f MB/s, median %.0f MB/s\n", bestRawRate / 1e6,
                    Median(rawRates) / 1e6);
        std::printf("ratio (object / plain): best %.2f, median %.2f\n",
                    bestObjectRate / bestRawRate, Median(objectRates) / Median(rawRates));
    }
    return 0;
}

#else

BENCHMARK_MAIN();

#endif
