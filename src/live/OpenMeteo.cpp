#include "live/OpenMeteo.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "http/QueryText.h"

namespace zonbode::live {
namespace {

using Json = nlohmann::json;

constexpr std::size_t kLongestReason = 200;

bool IsDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

int Number(std::string_view digits) {
    int value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// "YYYY-MM-DD", a day that exists.
std::optional<std::chrono::year_month_day> ReadDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !IsDigits(text.substr(0, 4)) ||
        !IsDigits(text.substr(5, 2)) || !IsDigits(text.substr(8, 2))) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{
        std::chrono::year{Number(text.substr(0, 4))},
        std::chrono::month{static_cast<unsigned>(Number(text.substr(5, 2)))},
        std::chrono::day{static_cast<unsigned>(Number(text.substr(8, 2)))}};
    if (!date.ok()) {
        return std::nullopt;
    }
    return date;
}

bool ReadVariable(const Json& daily, const DailyVariable& variable, std::vector<DayValues>& days,
                  std::string& problem) {
    const std::string name(variable.name);
    const auto it = daily.find(name);
    if (it == daily.end()) {
        return true;  // every day of it stays empty
    }
    if (!it->is_array()) {
        problem = "daily." + name + " is not a list";
        return false;
    }
    if (it->size() != days.size()) {
        problem = "daily." + name + " has " + std::to_string(it->size()) + " values for " +
                  std::to_string(days.size()) + " days";
        return false;
    }
    for (std::size_t i = 0; i < days.size(); ++i) {
        const Json& value = (*it)[i];
        const std::string where = "daily." + name + "[" + std::to_string(i) + "]";
        if (value.is_null()) {
            continue;
        }
        if (!value.is_number()) {
            problem = where + " is not a number";
            return false;
        }
        const double number = value.get<double>();
        if (std::fabs(number) > kLargestValue) {
            problem = where + " is out of range";
            return false;
        }
        days[i].*variable.field = number;
    }
    return true;
}

}  // namespace

std::string ForecastUrl(std::string_view api, std::string_view latitude, std::string_view longitude,
                        std::string_view timezone) {
    std::string url(api);
    url.append("/v1/forecast?latitude=").append(latitude);
    url.append("&longitude=").append(longitude);
    url.append("&daily=");
    for (std::size_t i = 0; i < kDailyVariables.size(); ++i) {
        url.append(i > 0 ? "," : "").append(kDailyVariables[i].name);
    }
    url.append("&wind_speed_unit=ms&timezone=");
    url.append(http::PercentEncoded(IsTimeZoneName(timezone) ? timezone : kDefaultTimeZone));
    url.append("&forecast_days=");
    url.append(std::to_string(kForecastDays));
    return url.append("&models=knmi_seamless");
}

std::optional<std::vector<DayValues>> ReadForecastAnswer(std::string_view json,
                                                         std::string& problem) {
    Json answer;
    try {
        answer = Json::parse(json);
    } catch (const Json::parse_error& error) {
        problem = "the answer is not JSON (error at byte " + std::to_string(error.byte) + ")";
        return std::nullopt;
    } catch (const Json::exception& error) {
        // A number beyond a double's range (1e400, four hundred digits) ends the parse here.
        problem = std::string("the answer cannot be read: ") + error.what();
        return std::nullopt;
    }
    const auto daily = answer.is_object() ? answer.find("daily") : answer.end();
    if (daily == answer.end() || !daily->is_object()) {
        problem = "the answer has no daily forecast";
        return std::nullopt;
    }
    const auto time = daily->find("time");
    if (time == daily->end() || !time->is_array()) {
        problem = "the answer has no list of days (daily.time)";
        return std::nullopt;
    }
    if (time->size() != kForecastDays) {
        problem = "the answer has " + std::to_string(time->size()) + " days, not " +
                  std::to_string(kForecastDays);
        return std::nullopt;
    }
    std::vector<DayValues> days(kForecastDays);
    for (std::size_t i = 0; i < kForecastDays; ++i) {
        const Json& text = (*time)[i];
        const auto date = text.is_string() ? ReadDate(text.get<std::string>()) : std::nullopt;
        if (!date) {
            problem = "daily.time[" + std::to_string(i) + "] is not a date (YYYY-MM-DD)";
            return std::nullopt;
        }
        days[i].date = *date;
    }
    for (const DailyVariable& variable : kDailyVariables) {
        if (!ReadVariable(*daily, variable, days, problem)) {
            return std::nullopt;
        }
    }
    return days;
}

std::string ErrorReason(std::string_view json) {
    Json answer;
    try {
        answer = Json::parse(json, nullptr, false);
    } catch (const Json::exception&) {
        return {};
    }
    const auto reason = answer.is_object() ? answer.find("reason") : answer.end();
    if (reason == answer.end() || !reason->is_string()) {
        return {};
    }
    // It ends up inside one line of a log: whole UTF-8 characters, no control bytes.
    std::string text = reason->get<std::string>();
    if (text.size() > kLongestReason) {
        std::size_t cut = kLongestReason;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        text.resize(cut);
    }
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = ' ';
        }
    }
    return text;
}

}  // namespace zonbode::live
