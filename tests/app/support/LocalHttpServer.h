#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "net/SocketApi.h"

namespace zonbode::testing {

// A small HTTP server on 127.0.0.1 (ephemeral port) for the download tests, written with the
// socket layer's own blocking calls on a thread of its own. It serves one connection at a time
// and can misbehave on purpose.
class LocalHttpServer {
public:
    enum class Behaviour {
        Answer,          // read the request, send the answer, close
        AnswerOneByte,   // the same, the answer sent one byte per send
        AnswerKeepOpen,  // send the answer, then keep the connection until the peer closes
        Reset,           // send part of the answer, then reset the connection
        CloseAtOnce,     // read the request, close without answering
        Endless,         // send headers and then filler until the peer goes away
        Drip,            // the answer one byte every half second, until the peer goes away
        DripBody,        // the head at once, then the body as Drip does
    };

    LocalHttpServer(Behaviour behaviour, std::string answer)
        : behaviour_(behaviour), answer_(std::move(answer)) {
#ifdef SIGPIPE
        std::signal(SIGPIPE, SIG_IGN);  // a peer that left must not end the test
#endif
        namespace sys = net::sys;
        sys::Startup(0x0101);
        listener_ = sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp);
        sys::SockAddrIn local;
        local.addr = sys::InetAddr("127.0.0.1");
        local.port = 0;
        if (listener_ == sys::kInvalidSocket || sys::Bind(listener_, local) != 0 ||
            sys::Listen(listener_, 5) != 0 || sys::GetSockName(listener_, &local) != 0) {
            throw std::runtime_error("test server: cannot listen, code " +
                                     std::to_string(sys::LastError()));
        }
        port_ = sys::NetToHostShort(local.port);
        thread_ = std::thread([this] { Serve(); });
    }

    ~LocalHttpServer() {
        namespace sys = net::sys;
        stopping_ = true;
        // Wake the blocking accept with a connection of our own.
        sys::Handle waker = sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp);
        sys::SockAddrIn to;
        to.addr = sys::InetAddr("127.0.0.1");
        to.port = sys::HostToNetShort(port_);
        sys::Connect(waker, to);
        thread_.join();
        sys::CloseSocket(waker);
        sys::CloseSocket(listener_);
        sys::Cleanup();
    }

    std::uint16_t Port() const {
        return port_;
    }
    // How the connections from now on are served, and with what.
    void SetBehaviour(Behaviour behaviour) {
        behaviour_ = behaviour;
    }
    void SetAnswer(std::string answer) {
        std::lock_guard lock(mutex_);
        answer_ = std::move(answer);
    }

    // The request bytes of every connection, in order.
    std::vector<std::string> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    int Connections() const {
        std::lock_guard lock(mutex_);
        return connections_;
    }
    // Bytes the server managed to send on its connections so far.
    std::size_t BytesSent() const {
        return bytesSent_;
    }

    // Waits until `connections` connections have ended on the server's side (the peer closed,
    // or the server finished with it).
    bool WaitForFinishedConnections(int connections, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return finishedChanged_.wait_for(lock, timeout, [&] { return finished_ >= connections; });
    }

    // A page answer with the usual headers in front.
    static std::string HttpAnswer(const std::string& body) {
        return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\n\r\n" + body;
    }

private:
    void Serve() {
        namespace sys = net::sys;
        while (!stopping_) {
            sys::SockAddrIn peer;
            sys::Handle connection = sys::Accept(listener_, &peer);
            if (connection == sys::kInvalidSocket) {
                continue;
            }
            if (stopping_) {
                sys::CloseSocket(connection);
                break;
            }
            {
                std::lock_guard lock(mutex_);
                ++connections_;
            }
            Handle(connection);
            {
                std::lock_guard lock(mutex_);
                ++finished_;
            }
            finishedChanged_.notify_all();
        }
    }

    // Reads until the blank line that ends the request (or the peer goes away).
    // With peek, the bytes stay unread in the socket, so that closing it resets the connection.
    std::string ReadRequest(net::sys::Handle connection, bool peek) {
        namespace sys = net::sys;
        std::string request;
        char buffer[4096];
        for (int attempts = 0; attempts < 5000; ++attempts) {
            int got = sys::Recv(connection, buffer, sizeof buffer, peek ? sys::kMsgPeek : 0);
            if (got <= 0) {
                break;
            }
            if (peek) {
                request.assign(buffer, static_cast<std::size_t>(got));
            } else {
                request.append(buffer, static_cast<std::size_t>(got));
            }
            if (request.find("\r\n\r\n") != std::string::npos) {
                break;
            }
            if (peek) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        return request;
    }

    bool SendAll(net::sys::Handle connection, const char* data, std::size_t length) {
        while (length > 0) {
            int sent = net::sys::Send(connection, data, static_cast<int>(length), 0);
            if (sent <= 0) {
                return false;
            }
            bytesSent_ += static_cast<std::size_t>(sent);
            data += sent;
            length -= static_cast<std::size_t>(sent);
        }
        return true;
    }

    void WaitForPeerClose(net::sys::Handle connection) {
        char buffer[4096];
        while (net::sys::Recv(connection, buffer, sizeof buffer, 0) > 0) {
        }
    }

    void Handle(net::sys::Handle connection) {
        namespace sys = net::sys;
        std::string answer;
        {
            std::lock_guard lock(mutex_);
            answer = answer_;
        }
        switch (behaviour_) {
            case Behaviour::Answer:
                ReadRequest(connection, false);
                SendAll(connection, answer.data(), answer.size());
                break;
            case Behaviour::AnswerOneByte:
                ReadRequest(connection, false);
                for (char c : answer) {
                    if (!SendAll(connection, &c, 1)) {
                        break;
                    }
                    std::this_thread::sleep_for(std::chrono::microseconds(500));
                }
                break;
            case Behaviour::AnswerKeepOpen:
                ReadRequest(connection, false);
                SendAll(connection, answer.data(), answer.size());
                WaitForPeerClose(connection);
                break;
            case Behaviour::Reset:
                ReadRequest(connection, true);
                SendAll(connection, answer.data(), answer.size() / 2);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                break;  // closing with the request still unread resets the connection
            case Behaviour::CloseAtOnce:
                ReadRequest(connection, false);
                break;
            case Behaviour::Drip:
            case Behaviour::DripBody: {
                ReadRequest(connection, false);
                std::size_t i = 0;
                if (behaviour_ == Behaviour::DripBody) {
                    i = std::min(answer.size(), answer.find("\r\n\r\n") + 4);
                    SendAll(connection, answer.data(), i);
                }
                for (; i < answer.size() && !stopping_; ++i) {
                    if (!SendAll(connection, &answer[i], 1)) {
                        break;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(500));
                }
                break;
            }
            case Behaviour::Endless: {
                ReadRequest(connection, false);
                const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
                SendAll(connection, head.data(), head.size());
                const std::string filler(64 * 1024, 'x');
                while (!stopping_ && SendAll(connection, filler.data(), filler.size())) {
                }
                break;
            }
        }
        sys::CloseSocket(connection);
    }

    std::atomic<Behaviour> behaviour_;
    std::string answer_;
    net::sys::Handle listener_ = net::sys::kInvalidSocket;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> bytesSent_{0};
    mutable std::mutex mutex_;
    std::condition_variable finishedChanged_;
    std::vector<std::string> requests_;
    int connections_ = 0;
    int finished_ = 0;
    std::thread thread_;
};

}  // namespace zonbode::testing
