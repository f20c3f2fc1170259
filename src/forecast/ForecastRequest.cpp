#include <string>

#include "forecast/ForecastPage.h"

namespace zonbode::forecast {

std::string BuildForecastRequest(std::string_view path, std::string_view host, std::uint16_t port) {
    std::string hostHeader(host);
    if (port != 80) {
        hostHeader.append(":").append(std::to_string(port));
    }
    std::string request;
    request.reserve(path.size() + hostHeader.size() + 80);
    request.append("GET ").append(path).append(" HTTP/1.1\r\n");
    request.append("Host: ").append(hostHeader).append("\r\n");
    request.append("User-Agent: Kavelo Zonbode\r\n");
    request.append("Connection: Close\r\n");
    request.append("\r\n");
    return request;
}

}  // namespace zonbode::forecast
