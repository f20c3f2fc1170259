#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zonbode::http {

// The start of an HTTP/1.x request, as far as the page server reads it.
struct RequestLine {
    std::string method;
    std::string path;  // without the query
    std::string version;
};

// Where the request head ends (just past the empty line), or npos while it is incomplete.
std::size_t EndOfRequestHead(std::string_view received);

// The request line of a complete head; nullopt when it is not a well-formed HTTP/1.x line.
std::optional<RequestLine> ParseRequestHead(std::string_view head);

}  // namespace zonbode::http
