#include "GatewayOptions.h"

#include <charconv>
#include <cmath>

#include "options/OptionPairs.h"

namespace zonbode::gateway {
namespace {

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
    auto take = [&options](const std::string& option, const std::string& value) -> std::string {
        if (option == "--lat" || option == "--lon") {
            const bool latitude = option == "--lat";
            const auto degrees = ReadDegrees(value, latitude ? 90 : 180);
            if (!degrees) {
                return option + " needs decimal degrees from " +
                       (latitude ? "-90 to 90" : "-180 to 180") + ", not \"" + value + "\"";
            }
            (latitude ? options.source.latitude : options.source.longitude) = *degrees;
        } else if (option == "--name") {
            options.source.placeName = value;
        } else if (option == "--port") {
            const std::optional<int> port = ReadWholeNumber(value, 0, 65535);
            if (!port) {
                return "--port needs a number from 0 to 65535";
            }
            options.port = *port;
        } else if (option == "--api-url") {
            if (!IsWebAddress(value)) {
                return "--api-url needs an http:// or https:// address";
            }
            options.source.api = value.back() == '/' ? value.substr(0, value.size() - 1) : value;
        } else {
            const std::optional<int> minutes = ReadWholeNumber(value, 1, kLongestRefreshMinutes);
            if (!minutes) {
                return "--refresh needs a number of minutes from 1 to " +
                       std::to_string(kLongestRefreshMinutes);
            }
            options.refreshMinutes = *minutes;
        }
        return {};
    };
    if (std::optional<std::string> refused = ReadOptionPairs(
            arguments, {"--lat", "--lon", "--name", "--port", "--api-url", "--refresh"}, take)) {
        problem = std::move(*refused);
        return std::nullopt;
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
