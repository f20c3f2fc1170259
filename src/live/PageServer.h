#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "net/CNetSocket.h"

namespace zonbode::pageserver {

// An HTTP/1.1 server on 127.0.0.1 that answers the forecast path with a page and closes every
// connection after one answer. Runs inside the socket layer's event loop; the demo server and
// the gateway both serve through it.
class PageServer {
public:
    static constexpr const char* kForecastPath = "/waarschuwingen_en_verwachtingen/index.html";
    // A request head longer than this is refused.
    static constexpr std::size_t kMaxRequestHead = 16 * 1024;
    // A connection that sends nothing for this long is closed.
    static constexpr std::chrono::seconds kIdleLimit{15};

    explicit PageServer(std::string page);
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
    // Closes the connections that have been silent longer than kIdleLimit.
    void CloseIdleConnections();
    std::size_t OpenConnections() const { return connections_.size(); }

private:
    struct Connection {
        std::shared_ptr<net::CNetSocket> socket;
        std::string received;
        bool answered = false;
        std::chrono::steady_clock::time_point lastActivity;
    };

    void OnConnectionRequest(std::int32_t requestID);
    void OnDataArrival(net::CNetSocket* key);
    void Answer(net::CNetSocket* key, const std::string& response);
    void Drop(net::CNetSocket* key);
    std::string ResponseFor(const std::string& head) const;

    std::string page_;
    std::shared_ptr<net::CNetSocket> listener_;
    std::map<net::CNetSocket*, Connection> connections_;
};

}  // namespace zonbode::pageserver
