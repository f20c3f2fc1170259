#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The one seam to HTTPS: libcurl on Linux (posix/), WinHTTP on Windows (win32/), both with the
// system's certificate store (and, on Windows, its proxy settings). Blocking; safe to call
// from any thread, so callers run it off the user-interface thread or bound it tightly.
namespace zonbode::http {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
    std::string method = "GET";  // "GET" or "POST"
    std::string url;             // http:// or https:// only
    HttpHeaders headers;         // sent as given, e.g. {"Authorization", "Bearer ..."}
    std::string body;            // sent with POST
    // The whole exchange, from the start to the last byte of the answer.
    std::chrono::milliseconds timeout{10000};
    // An answer body larger than this is refused.
    std::size_t largestAnswer = 1024 * 1024;
};

// Why there is no answer; None when the server answered (whatever its status).
enum class HttpFailure {
    None,
    BadUrl,     // not an http:// or https:// URL
    NoLookup,   // the host name could not be resolved
    Refused,    // no connection (refused, unreachable, TLS handshake failed)
    Untrusted,  // the server's certificate is not trusted (an inspecting proxy, a wrong clock,
                // another name): certificates are always checked
    TimedOut,   // the timeout passed
    CutOff,     // the connection ended before the whole answer
    TooLarge,   // the body exceeds largestAnswer
    Other,
};

struct HttpAnswer {
    HttpFailure failure = HttpFailure::None;
    std::string problem;  // one short English sentence for logs when failure != None
    long status = 0;
    HttpHeaders headers;  // names as the server wrote them
    std::string body;
    bool answered() const { return failure == HttpFailure::None; }
    // The first header of that name, compared without regard to case; "" when there is none.
    std::string Header(std::string_view name) const;
};

HttpAnswer HttpFetch(const HttpRequest& request);

}  // namespace zonbode::http
