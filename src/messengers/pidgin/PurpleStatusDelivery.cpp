#include <string>

#include "messengers/pidgin/PurpleStatus.h"

namespace zonbode::messengers {

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
}

}  // namespace zonbode::messengers
