#pragma once

#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "messengers/RestorePoints.h"

namespace zonbode::messengers {

// A restore pair as `messenger`'s restore point: {"earlier": {...}, "ours": {...}}, each status
// as its messenger writes and reads it. Only the messengers' delivery code needs this.
template <typename Status>
using StatusToJson = nlohmann::json (*)(const Status&);
template <typename Status>
using StatusFromJson = Status (*)(const nlohmann::json&);

// What an earlier run kept: its switch-off never came, or could not be made. A kept value of
// the wrong shape, or with one half missing, is as good as none.
template <typename Status>
RestorePair<Status> ReadRestorePair(RestorePoints& points, std::string_view messenger,
                                    StatusFromJson<Status> fromJson) {
    RestorePair<Status> pair;
    try {
        const nlohmann::json kept = nlohmann::json::parse(points.Read(messenger), nullptr, false);
        const auto half = [&](const char* key) -> std::optional<Status> {
            const auto it = kept.find(key);
            if (it == kept.end() || !it->is_object()) {
                return std::nullopt;
            }
            return fromJson(*it);
        };
        if (kept.is_object()) {
            pair.earlier = half("earlier");
            pair.ours = half("ours");
        }
    } catch (const nlohmann::json::exception&) {
    }
    if (!pair.Held()) {
        pair.Clear();
    }
    return pair;
}

// Written the moment it changes; a pair not held forgets the point.
template <typename Status>
void WriteRestorePair(RestorePoints& points, std::string_view messenger,
                      const RestorePair<Status>& pair, StatusToJson<Status> toJson) {
    if (!pair.Held()) {
        points.Write(messenger, {});
        return;
    }
    const nlohmann::json kept = {{"earlier", toJson(*pair.earlier)}, {"ours", toJson(*pair.ours)}};
    points.Write(messenger, kept.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

}  // namespace zonbode::messengers
