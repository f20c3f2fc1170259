#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "messengers/RestorePoints.h"
#include "messengers/pidgin/PurpleService.h"

// A libpurple client (Pidgin, Finch) as a messenger: the status record becomes its status
// message, and the switch-off record brings back the status the user had before.
namespace zonbode::messengers {

// Text as libpurple markup that shows it literally: & < > and " as entities.
std::string EscapeStatusMarkup(std::string_view text);

// What one record asks of the client.
struct PurpleStatusChange {
    bool switchOff = false;  // enabled 0: bring the earlier status back
    std::string message;     // enabled 1: the status message, as markup
};

// nullopt for anything that is not a status record (another dwData, a malformed record, an
// enabled flag other than 1 or 0).
std::optional<PurpleStatusChange> PurpleStatusChangeFor(std::uint32_t dwData,
                                                        std::span<const std::uint8_t> record);

// Hands the records of one program run to the client. A status message goes into a transient
// status of the current status's type (found by that message, or made), which is then
// activated; a named status the user saved is never changed. Whenever the current message is not
// the one set last (the first change, or the user chose a status since), the current status is
// remembered by its creation time, which, unlike its id, survives a restart of the client;
// switching off activates it again, unless the user has changed the status since the last
// change. Both are kept in `points` the moment they change, so the run after one that was
// killed still knows Zonbode's message from the user's. Every failure ends the record quietly.
class PurpleStatusDelivery {
public:
    explicit PurpleStatusDelivery(RestorePoints& points);

    void Deliver(PurpleService& purple, std::uint32_t dwData, std::span<const std::uint8_t> record);

private:
    void SetMessage(PurpleService& purple, const std::string& message);
    void SwitchOff(PurpleService& purple);
    void Keep();

    RestorePoints& points_;
    std::optional<std::int32_t> earlierCreationTime_;
    std::optional<std::string> lastMessage_;
};

}  // namespace zonbode::messengers
