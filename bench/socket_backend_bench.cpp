// 256 MB over loopback, read on the loop's thread one receive call per FD_READ notification
// (as the socket object reads), against a plain epoll loop doing the same receive calls.
// Both read pieces of the socket's receive buffer size; a writer thread sends meanwhile.

#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "net/EventLoop.h"
#include "net/SocketApi.h"

namespace {

using namespace zonbode::net;

constexpr long long kTotal = 256LL * 1024 * 1024;

struct Pair {
    sys::Handle reader = -1;
    sys::Handle writer = -1;
};

Pair MakePair() {
    sys::Handle listener = sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp);
    sys::SockAddrIn address;
    address.addr = sys::InetAddr("127.0.0.1");
    sys::Bind(listener, address);
    sys::Listen(listener, 5);
    sys::GetSockName(listener, &address);
    Pair pair;
    pair.reader = sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp);
    sys::Connect(pair.reader, address);
    pair.writer = sys::Accept(listener, nullptr);
    sys::CloseSocket(listener);
    return pair;
}

std::thread StartWriter(sys::Handle writer) {
    return std::thread([writer] {
        std::string block(1 << 20, 'x');
        long long sent = 0;
        while (sent < kTotal) {
            int n = sys::Send(writer, block.data(), static_cast<int>(block.size()), 0);
            if (n <= 0) {
                break;
            }
            sent += n;
        }
    });
}

int ChunkSize(sys::Handle s) {
    std::int32_t size = 0;
    sys::GetSockOpt(s, sys::kSolSocket, sys::kSoRcvbuf, &size);
    return size;
}

struct NotifiedReader {
    sys::Handle socket = -1;
    std::vector<char> buffer;
    long long received = 0;
};
NotifiedReader* current = nullptr;

std::intptr_t ReadOnNotification(sys::WindowHandle, std::uint32_t message, std::intptr_t,
                                 std::intptr_t lParam) {
    if (message == sys::kSocketEventMessage && (lParam & 0xFFFF) == sys::FD_READ) {
        int n = sys::Recv(current->socket, current->buffer.data(),
                          static_cast<int>(current->buffer.size()), 0);
        if (n > 0) {
            current->received += n;
        }
    }
    return 0;
}

void BM_NotifiedReceive(benchmark::State& state) {
    for (auto _ : state) {
        Pair pair = MakePair();
        sys::WindowHandle window = sys::CreateNotificationWindow();
        sys::SetWindowProc(window, &ReadOnNotification);
        NotifiedReader reader{pair.reader, std::vector<char>(ChunkSize(pair.reader)), 0};
        current = &reader;
        sys::AsyncSelect(pair.reader, window, sys::kSocketEventMessage, sys::kEventMask);
        std::thread writer = StartWriter(pair.writer);
        EventLoop::RunUntil([&] { return reader.received >= kTotal; }, std::chrono::minutes(2));
        writer.join();
        sys::CloseSocket(pair.reader);
        sys::CloseSocket(pair.writer);
        sys::DestroyNotificationWindow(window);
        if (reader.received != kTotal) {
            state.SkipWithError("not everything arrived");
        }
    }
    state.SetBytesProcessed(state.iterations() * kTotal);
}

void BM_RawEpollReceive(benchmark::State& state) {
    for (auto _ : state) {
        Pair pair = MakePair();
        std::vector<char> buffer(ChunkSize(pair.reader));
        int epoll = epoll_create1(0);
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = pair.reader;
        epoll_ctl(epoll, EPOLL_CTL_ADD, pair.reader, &event);
        std::thread writer = StartWriter(pair.writer);
        long long received = 0;
        while (received < kTotal) {
            epoll_event ready{};
            if (epoll_wait(epoll, &ready, 1, 1000) <= 0) {
                continue;
            }
            ssize_t n = ::recv(pair.reader, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n > 0) {
                received += n;
            }
        }
        writer.join();
        close(epoll);
        sys::CloseSocket(pair.reader);
        sys::CloseSocket(pair.writer);
    }
    state.SetBytesProcessed(state.iterations() * kTotal);
}

BENCHMARK(BM_RawEpollReceive)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_NotifiedReceive)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
