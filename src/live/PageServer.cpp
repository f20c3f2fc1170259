#include "live/PageServer.h"

#include <utility>
#include <vector>

#include "http/RequestHead.h"
#include "net/RaisedError.h"
#include "net/SocketApi.h"

namespace zonbode::live {
namespace {

std::string Response(const std::string& status, const std::string& body, bool withBody,
                     const std::string& extraHeaders = {}) {
    std::string response = "HTTP/1.1 " + status + "\r\n";
    response += "Content-Type: text/html; charset=iso-8859-1\r\n";
    response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    response += extraHeaders;
    response += "Connection: close\r\n\r\n";
    if (withBody) {
        response += body;
    }
    return response;
}

std::string ErrorPage(const std::string& status) {
    return "<html><head><title>" + status + "</title></head><body><h1>" + status +
           "</h1></body></html>\n";
}

}  // namespace

PageServer::PageServer(std::string page, Limits limits) : page_(std::move(page)), limits_(limits) {}

PageServer::~PageServer() {
    Stop();
}

void PageServer::Start(std::int32_t port) {
    listener_ = net::CNetSocket::Create();
    listener_->Events.ConnectionRequest = [this](std::int32_t requestID) {
        OnConnectionRequest(requestID);
    };
    // No descriptor (or buffer) left for a waiting connection, long before the cap: the one
    // silent longest makes room, and its close lets the listener take the waiting one at once.
    listener_->Events.Error = [this](net::ErrorEventArgs& error) {
        if (net::sys::IsOutOfDescriptorsOrBuffers(error.Number)) {
            DropLongestSilent();
        }
    };
    // Loopback only: the socket's default address is the host name's, which may be another.
    listener_->Bind(net::Variant(port), net::Variant("127.0.0.1"));
    listener_->Listen();
}

std::int32_t PageServer::Port() const {
    return listener_ ? listener_->LocalPort() : 0;
}

void PageServer::Stop() {
    if (listener_) {
        listener_->Events = {};
        try {
            listener_->CloseSck();
        } catch (const net::RaisedError&) {
        }
        listener_.reset();
    }
    auto connections = std::move(connections_);
    connections_.clear();
    for (auto& [key, connection] : connections) {
        connection.socket->Events = {};
        try {
            connection.socket->CloseSck();
        } catch (const net::RaisedError&) {
        }
    }
}

void PageServer::CloseExpiredConnections() {
    const auto now = Clock::now();
    std::vector<net::CNetSocket*> expired;
    for (const auto& [key, connection] : connections_) {
        if (connection.deadline <= now) {
            expired.push_back(key);
        }
    }
    for (auto* key : expired) {
        Drop(key);
    }
}

std::optional<PageServer::Clock::time_point> PageServer::NextDeadline() const {
    std::optional<Clock::time_point> next;
    for (const auto& [key, connection] : connections_) {
        if (!next || connection.deadline < *next) {
            next = connection.deadline;
        }
    }
    return next;
}

void PageServer::TellWatcher() const {
    if (watcher_) {
        watcher_();
    }
}

void PageServer::DropLongestSilent() {
    auto longest = connections_.end();
    for (auto it = connections_.begin(); it != connections_.end(); ++it) {
        if (longest == connections_.end() ||
            it->second.lastActivity < longest->second.lastActivity) {
            longest = it;
        }
    }
    if (longest != connections_.end()) {
        Drop(longest->first);
    }
}

void PageServer::OnConnectionRequest(std::int32_t requestID) {
    // Whoever runs the server may be late with the sweep (busy elsewhere): expired ones go
    // before anyone is pushed out.
    CloseExpiredConnections();
    auto socket = net::CNetSocket::Create();
    net::CNetSocket* key = socket.get();
    // Events first: data the connection collected while parked arrives inside Accept.
    socket->Events.DataArrival = [this, key](std::int32_t) { OnDataArrival(key); };
    socket->Events.CloseSck = [this, key] { Drop(key); };
    socket->Events.Error = [this, key](net::ErrorEventArgs&) { Drop(key); };
    socket->Events.SendComplete = [this, key] {
        auto it = connections_.find(key);
        if (it != connections_.end() && it->second.answered) {
            Drop(key);  // one answer per connection
        }
    };
    if (connections_.size() >= limits_.connections) {
        DropLongestSilent();
    }
    const auto now = Clock::now();
    connections_[key] = Connection{socket, {}, false, now + limits_.connection, now};
    try {
        socket->Accept(requestID);
    } catch (const net::RaisedError&) {
        connections_.erase(key);
    }
    TellWatcher();
}

void PageServer::OnDataArrival(net::CNetSocket* key) {
    auto it = connections_.find(key);
    if (it == connections_.end()) {
        return;
    }
    if (it->second.deadline <= Clock::now()) {
        Drop(key);  // a dripping client gets no more time for being heard
        return;
    }
    Connection& connection = it->second;
    net::Variant data;
    try {
        connection.socket->GetData(data);
    } catch (const net::RaisedError&) {
        Drop(key);
        return;
    }
    connection.lastActivity = Clock::now();
    if (connection.answered || data.Type() != net::VarType::ByteArray) {
        return;  // anything after the request is not read
    }
    const auto& bytes = data.AsBytes();
    connection.received.append(bytes.begin(), bytes.end());
    const std::size_t end = http::EndOfRequestHead(connection.received);
    if (end == std::string::npos) {
        if (connection.received.size() > kMaxRequestHead) {
            Answer(key, Response("400 Bad Request", ErrorPage("400 Bad Request"), true));
        }
        return;
    }
    Answer(key, ResponseFor(connection.received.substr(0, end)));
}

std::string PageServer::ResponseFor(const std::string& head) const {
    if (head.size() > kMaxRequestHead) {
        return Response("400 Bad Request", ErrorPage("400 Bad Request"), true);
    }
    const auto request = http::ParseRequestHead(head);
    if (!request) {
        return Response("400 Bad Request", ErrorPage("400 Bad Request"), true);
    }
    const bool head_only = request->method == "HEAD";
    if (request->method != "GET" && !head_only) {
        return Response("405 Method Not Allowed", ErrorPage("405 Method Not Allowed"), true,
                        "Allow: GET, HEAD\r\n");
    }
    if (request->path != kForecastPath) {
        return Response("404 Not Found", ErrorPage("404 Not Found"), !head_only);
    }
    if (page_.empty()) {
        // No forecast yet: a reader must not take this for the page.
        return Response("503 Service Unavailable", ErrorPage("503 Service Unavailable"), !head_only,
                        "Retry-After: 60\r\n");
    }
    return Response("200 OK", page_, !head_only);
}

void PageServer::Answer(net::CNetSocket* key, const std::string& response) {
    auto it = connections_.find(key);
    if (it == connections_.end()) {
        return;
    }
    it->second.answered = true;
    auto socket = it->second.socket;  // SendComplete may drop the connection meanwhile
    try {
        socket->SendData(net::Variant(net::Variant::Bytes(response.begin(), response.end())));
    } catch (const net::RaisedError&) {
        Drop(key);
    }
}

void PageServer::Drop(net::CNetSocket* key) {
    auto it = connections_.find(key);
    if (it == connections_.end()) {
        return;
    }
    auto socket = std::move(it->second.socket);
    connections_.erase(it);
    try {
        socket->CloseSck();
    } catch (const net::RaisedError&) {
    }
    TellWatcher();
}

}  // namespace zonbode::live
