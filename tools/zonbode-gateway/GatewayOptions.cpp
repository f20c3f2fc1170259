#include "GatewayOptions.h"

#include <charconv>
#include <cmath>

namespace zonbode::gateway {
namespace {

bool ReadWhole(const std::string& text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// A number of degrees within ±limit, written back in its shortest form for the request.
std::optional<std::string> ReadDegrees(const std::string& text, double limit) {
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(std::fabs(value) <= limit)) {
        return std::nullopt;
    }
    char shortest[32];
    // + 0.0 turns -0 into 0.
    const auto written = std::to_chars(shortest, shortest + sizeof shortest, value + 0.0);
    return std::string(shortest, written.ptr);
}

bool IsWebAddress(const std::string& url) {
    for (const char* scheme : {"http://", "https://"}) {
        const std::string prefix = scheme;
        if (url.size() > prefix.size() && url.compare(0, prefix.size(), prefix) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<GatewayOptions> ReadGatewayOptions(const std::vector<std::string>& arguments,
                                                 std::string& problem) {
    GatewayOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option != "--lat" && option != "--lon" && option != "--name" && option != "--port" &&
            option != "--api-url" && option != "--refresh") {
            problem = "unknown argument \"" + option + "\"";
            return std::nullopt;
        }
        if (i + 1 == arguments.size()) {
            problem = option + " needs a value";
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        if (option == "--lat" || option == "--lon") {
            const bool latitude = option == "--lat";
            const auto degrees = ReadDegrees(value, latitude ? 90 : 180);
            if (!degrees) {
                problem = option + " needs decimal degrees from " +
                          (latitude ? "-90 to 90" : "-180 to 180") + ", not \"" + value + "\"";
                return std::nullopt;
            }
            (latitude ? options.source.latitude : options.source.longitude) = *degrees;
        } else if (option == "--name") {
            options.source.placeName = value;
        } else if (option == "--port") {
            if (!ReadWhole(value, options.port) || options.port < 0 || options.port > 65535) {
                problem = "--port needs a number from 0 to 65535";
                return std::nullopt;
            }
        } else if (option == "--api-url") {
            if (!IsWebAddress(value)) {
                problem = "--api-url needs an http:// or https:// address";
                return std::nullopt;
            }
            options.source.api = value.back() == '/' ? value.substr(0, value.size() - 1) : value;
        } else {
            if (!ReadWhole(value, options.refreshMinutes) || options.refreshMinutes < 1 ||
                options.refreshMinutes > kLongestRefreshMinutes) {
                problem = "--refresh needs a number of minutes from 1 to " +
                          std::to_string(kLongestRefreshMinutes);
                return std::nullopt;
            }
        }
    }
    if (options.source.latitude.empty() || options.source.longitude.empty()) {
        problem = "--lat and --lon are required";
        return std::nullopt;
    }
    if (options.source.placeName.empty()) {
        options.source.placeName = options.source.latitude + ", " + options.source.longitude;
    }
    return options;
}

}  // namespace zonbode::gateway
