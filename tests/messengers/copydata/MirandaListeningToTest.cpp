// What Miranda NG's ListeningTo plugin makes of Zonbode's records, by the rules its public
// source follows (not tried against Miranda itself): it takes only dwData 0x547, splits the
// record on the same two-character separator "\0", reads field 1 as the kind (which must not
// be empty), field 4 as the title and field 5 as the artist, needs a title or an artist,
// ignores the enabled flag, and takes at most one change every 10 seconds.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "status/StatusMessage.h"
#include "status/StatusRecord.h"

namespace zonbode::messengers {

using namespace zonbode::status;

namespace {

struct Listening {
    std::string kind, title, artist;
    bool operator==(const Listening&) const = default;
};

class MirandaListeningTo {
public:
    // A record arriving at `second`; what the contact list shows from then on, or nullopt
    // when the record changes nothing.
    std::optional<Listening> Receive(std::uint32_t dwData, const std::vector<std::uint8_t>& record,
                                     int second) {
        if (dwData != 0x547) {
            return std::nullopt;
        }
        const std::vector<std::string> fields = Split(Utf16ToUtf8(StatusPayloadUnits(record)));
        auto field = [&fields](std::size_t i) { return i < fields.size() ? fields[i] : ""; };
        Listening seen{field(1), field(4), field(5)};
        if (seen.kind.empty() || (seen.title.empty() && seen.artist.empty())) {
            return std::nullopt;
        }
        if (lastChange_ && second - *lastChange_ < 10) {
            return std::nullopt;
        }
        lastChange_ = second;
        return seen;
    }

private:
    static std::vector<std::string> Split(const std::string& text) {
        std::vector<std::string> fields{""};
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 2, "\\0") == 0) {
                fields.emplace_back();
                ++i;
            } else {
                fields.back() += text[i];
            }
        }
        return fields;
    }
    std::optional<int> lastChange_;
};

const std::string kDay = "Woensdag | Kans op zon: 10% | Temp: 12\xC2\xB0";

TEST(MirandaListeningTo, ShowsTheDayRecordAsATitleOfKindOfficeAndIgnoresTheSwitchOff) {
    MirandaListeningTo miranda;
    EXPECT_EQ(miranda.Receive(0x547, StatusPayload("Office", true, "{0}", kDay, "", "", ""), 0),
              (Listening{"Office", kDay, ""}));
    // No title and no artist: nothing changes, the last day's text stays on show.
    EXPECT_EQ(
        miranda.Receive(0x547, StatusPayload("Music", false, "{0} - {1}", "", "", "", ""), 60),
        std::nullopt);
    // The enabled flag is not looked at: a day record marked off still shows.
    EXPECT_EQ(miranda.Receive(0x547, StatusPayload("Office", false, "{0}", kDay, "", "", ""), 90),
              (Listening{"Office", kDay, ""}));
    EXPECT_EQ(miranda.Receive(0x546, StatusPayload("Office", true, "{0}", kDay, "", "", ""), 120),
              std::nullopt);
}

TEST(MirandaListeningTo, TakesOneChangeInTenSecondsAndSplitsATextAtItsSeparator) {
    MirandaListeningTo miranda;
    auto day = [](const std::string& text) {
        return StatusPayload("Office", true, "{0}", text, "", "", "");
    };
    EXPECT_TRUE(miranda.Receive(0x547, day("Maandag"), 0));
    EXPECT_EQ(miranda.Receive(0x547, day("Dinsdag"), 5), std::nullopt);  // a quick double-click
    EXPECT_EQ(miranda.Receive(0x547, day("Woensdag"), 30), (Listening{"Office", "Woensdag", ""}));
    // Sent unchanged, a "\0" in the text ends the title there; the rest reads as the artist.
    EXPECT_EQ(miranda.Receive(0x547, day("zon\\0regen"), 60),
              (Listening{"Office", "zon", "regen"}));
}

}  // namespace
}  // namespace zonbode::messengers
