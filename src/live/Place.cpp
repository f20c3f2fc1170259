#include "live/Place.h"

#include <charconv>

namespace zonbode::live {

std::string DegreesText(double degrees) {
    // The smallest double written out in full takes some 1100 characters.
    char text[1100];
    // + 0.0 turns -0 into 0.
    const auto written =
        std::to_chars(text, text + sizeof text, degrees + 0.0, std::chars_format::fixed);
    return written.ec == std::errc() ? std::string(text, written.ptr) : std::string("0");
}

bool IsTimeZoneName(std::string_view name) {
    if (name.empty() || name.size() > 64 || name.front() == '/' || name.back() == '/' ||
        name.find("//") != std::string_view::npos) {
        return false;
    }
    for (char c : name) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             (c >= '0' && c <= '9') || c == '/' || c == '_' || c == '-' || c == '+';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

Place DefaultPlace() {
    return {"De Bilt", "52.1", "5.18"};
}

namespace {

// The kind of place a feature code stands for, in Dutch; "" for one without a plain name.
std::string KindOfPlace(const std::string& code) {
    if (code == "PPLC") {
        return "hoofdstad";
    }
    if (code == "PPLX") {
        return "wijk";
    }
    if (code.starts_with("PPL")) {
        return "plaats";
    }
    if (code == "ADM1") {
        return "provincie";
    }
    if (code == "ADM2") {
        return "gemeente";
    }
    if (code == "PCLI") {
        return "land";
    }
    return code.starts_with("ADM") ? "gebied" : "";
}

// Adds to each label that others share what `extra` says of its match, where that tells the
// matches of the label apart (not where it is the same for all of them).
template <typename Extra>
void TellApart(std::vector<std::string>& labels, const std::vector<PlaceMatch>& matches,
               Extra extra) {
    const std::vector<std::string> before = labels;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const std::string more = extra(matches[i]);
        bool tells = false;
        for (std::size_t j = 0; j < labels.size(); ++j) {
            tells = tells || (j != i && before[j] == before[i] && extra(matches[j]) != more);
        }
        if (tells && !more.empty()) {
            labels[i] += ", " + more;
        }
    }
}

}  // namespace

std::vector<std::string> MatchLabels(const std::vector<PlaceMatch>& matches) {
    std::vector<std::string> labels;
    for (const PlaceMatch& match : matches) {
        labels.push_back(MatchLabel(match));
    }
    TellApart(labels, matches, [](const PlaceMatch& m) { return KindOfPlace(m.kind); });
    TellApart(labels, matches, [](const PlaceMatch& m) {
        return m.municipality.empty() ? std::string() : "gemeente " + m.municipality;
    });
    TellApart(labels, matches,
              [](const PlaceMatch& m) { return m.place.latitude + ", " + m.place.longitude; });
    return labels;
}

std::string MatchLabel(const PlaceMatch& match) {
    std::string where = match.province;
    if (!match.country.empty()) {
        where += (where.empty() ? "" : ", ") + match.country;
    }
    return where.empty() ? match.place.name : match.place.name + " (" + where + ")";
}

}  // namespace zonbode::live
