#include "http/RequestHead.h"

#include <algorithm>

namespace zonbode::http {
namespace {

bool IsToken(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

bool IsVisible(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte > 0x20 && byte < 0x7F;
    });
}

}  // namespace

std::size_t EndOfRequestHead(std::string_view received) {
    const std::size_t crlf = received.find("\r\n\r\n");
    const std::size_t lf = received.find("\n\n");
    if (crlf == std::string_view::npos && lf == std::string_view::npos) {
        return std::string_view::npos;
    }
    if (lf == std::string_view::npos || (crlf != std::string_view::npos && crlf < lf)) {
        return crlf + 4;
    }
    return lf + 2;
}

std::optional<RequestLine> ParseRequestHead(std::string_view head) {
    std::string_view line = head.substr(0, head.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const std::size_t first = line.find(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t second = line.find(' ', first + 1);
    if (second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos) {
        return std::nullopt;
    }
    RequestLine request;
    request.method = std::string(line.substr(0, first));
    std::string_view target = line.substr(first + 1, second - first - 1);
    request.version = std::string(line.substr(second + 1));
    const bool version1x = request.version == "HTTP/1.0" || request.version == "HTTP/1.1";
    if (!IsToken(request.method) || !IsVisible(target) || target.front() != '/' || !version1x) {
        return std::nullopt;
    }
    request.path = std::string(target.substr(0, target.find('?')));
    return request;
}

}  // namespace zonbode::http
