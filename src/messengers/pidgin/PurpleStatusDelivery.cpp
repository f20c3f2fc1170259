#include <string>

#include <nlohmann/json.hpp>

#include "messengers/pidgin/PurpleStatus.h"

namespace zonbode::messengers {
namespace {

constexpr std::string_view kRestorePointName = "Pidgin";

}  // namespace

PurpleStatusDelivery::PurpleStatusDelivery(RestorePoints& points) : points_(points) {
    const nlohmann::json kept =
        nlohmann::json::parse(points_.Read(kRestorePointName), nullptr, false);
    if (kept.is_object()) {
        const auto earlier = kept.find("earlier");
        const auto ours = kept.find("ours");
        if (earlier != kept.end() && earlier->is_number_integer() && ours != kept.end() &&
            ours->is_string()) {
            earlierCreationTime_ = earlier->get<std::int32_t>();
            lastMessage_ = ours->get<std::string>();
        }
    }
}

void PurpleStatusDelivery::Keep() {
    if (earlierCreationTime_ && lastMessage_) {
        const nlohmann::json kept = {{"earlier", *earlierCreationTime_}, {"ours", *lastMessage_}};
        points_.Write(kRestorePointName,
                      kept.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    } else {
        points_.Write(kRestorePointName, {});
    }
}

void PurpleStatusDelivery::Deliver(PurpleService& purple, std::uint32_t dwData,
                                   std::span<const std::uint8_t> record) {
    const std::optional<PurpleStatusChange> change = PurpleStatusChangeFor(dwData, record);
    if (!change) {
        return;
    }
    if (change->switchOff) {
        SwitchOff(purple);
    } else {
        SetMessage(purple, change->message);
    }
}

void PurpleStatusDelivery::SetMessage(PurpleService& purple, const std::string& message) {
    const std::optional<std::int32_t> current = purple.SavedstatusGetCurrent();
    if (!current || *current == 0) {
        return;
    }
    // Away stays away, available stays available: only the message is Zonbode's.
    const std::optional<std::int32_t> type = purple.SavedstatusGetType(*current);
    if (!type) {
        return;
    }
    // A status the user chose since Zonbode's last change is the one to bring back at the
    // end, whether or not Zonbode changed the status before it.
    std::optional<std::int32_t> earlier = earlierCreationTime_;
    bool usersOwn = !earlier || !lastMessage_;
    if (!usersOwn) {
        const std::optional<std::string> shown = purple.SavedstatusGetMessage(*current);
        if (!shown) {
            return;
        }
        usersOwn = *shown != *lastMessage_;
    }
    if (usersOwn) {
        earlier = purple.SavedstatusGetCreationTime(*current);
        if (!earlier) {
            return;
        }
    }
    // Only unnamed statuses are found or made here, so a named one the user saved never
    // changes.
    std::optional<std::int32_t> status =
        purple.SavedstatusFindTransientByTypeAndMessage(*type, message);
    if (status && *status == 0) {
        status = purple.SavedstatusNew("", *type);
    }
    if (!status || *status == 0) {
        return;
    }
    // From here on the change is under way: a client that answers too late still carries it
    // out, so it counts as made.
    earlierCreationTime_ = earlier;
    lastMessage_ = message;
    Keep();
    if (purple.SavedstatusSetMessage(*status, message)) {
        purple.SavedstatusActivate(*status);
    }
}

void PurpleStatusDelivery::SwitchOff(PurpleService& purple) {
    if (!earlierCreationTime_ || !lastMessage_) {
        return;  // nothing was changed in this run
    }
    const std::optional<std::int32_t> current = purple.SavedstatusGetCurrent();
    if (!current) {
        return;
    }
    const std::optional<std::string> message = purple.SavedstatusGetMessage(*current);
    if (!message) {
        return;
    }
    // The user's own choice since the last change stays.
    if (*message == *lastMessage_) {
        const std::optional<std::int32_t> earlier =
            purple.SavedstatusFindByCreationTime(*earlierCreationTime_);
        if (!earlier) {
            return;
        }
        if (*earlier != 0) {
            purple.SavedstatusActivate(*earlier);
        }
    }
    earlierCreationTime_.reset();
    lastMessage_.reset();
    Keep();
}

}  // namespace zonbode::messengers
