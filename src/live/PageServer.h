#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "net/CNetSocket.h"

namespace zonbode::live {

struct PageServerLimits {
    // A connection's whole life: its request head must be in within this time.
    std::chrono::milliseconds connection = std::chrono::seconds(15);
    // Open connections at most; one more pushes out the one that has been silent longest.
    std::size_t connections = 256;
};

// An HTTP/1.1 server on 127.0.0.1 that answers the forecast path with a page and closes every
// connection after one answer. Runs inside the socket layer's event loop; the desktop
// programs' live source, the demo server and the gateway all serve through it.
//
// A client cannot hold it up: each connection has an absolute deadline from its start, however
// slowly it drips, and when too many are open a new one pushes out the one silent longest.
// Whoever runs the server closes expired connections at NextDeadline (told of changes through
// the watcher), so an idle server needs no timer at all.
class PageServer {
public:
    static constexpr const char* kForecastPath = "/waarschuwingen_en_verwachtingen/index.html";
    // A request head longer than this is refused.
    static constexpr std::size_t kMaxRequestHead = 16 * 1024;
    using Clock = std::chrono::steady_clock;
    using Limits = PageServerLimits;

    explicit PageServer(std::string page, Limits limits = {});
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    // The page of every later request; an answer already under way keeps the old one whole.
    void SetPage(std::string page) { page_ = std::move(page); }

    // Binds 127.0.0.1:port (0 picks a free port) and listens. Raises RaisedError.
    void Start(std::int32_t port);
    std::int32_t Port() const;
    // Closes the listener and every open connection.
    void Stop();
    // Closes the connections whose deadline has passed.
    void CloseExpiredConnections();
    // The earliest deadline of an open connection; none while no connection is open.
    std::optional<Clock::time_point> NextDeadline() const;
    // Runs whenever NextDeadline may have changed (a connection opened or closed).
    void WatchDeadlines(std::function<void()> watcher) { watcher_ = std::move(watcher); }
    std::size_t OpenConnections() const { return connections_.size(); }

private:
    struct Connection {
        std::shared_ptr<net::CNetSocket> socket;
        std::string received;
        bool answered = false;
        Clock::time_point deadline;
        Clock::time_point lastActivity;
    };

    void OnConnectionRequest(std::int32_t requestID);
    void OnDataArrival(net::CNetSocket* key);
    void Answer(net::CNetSocket* key, const std::string& response);
    void Drop(net::CNetSocket* key);
    void DropLongestSilent();
    void TellWatcher() const;
    std::string ResponseFor(const std::string& head) const;

    std::string page_;
    Limits limits_;
    std::shared_ptr<net::CNetSocket> listener_;
    std::map<net::CNetSocket*, Connection> connections_;
    std::function<void()> watcher_;
};

}  // namespace zonbode::live
