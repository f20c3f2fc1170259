#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// What a status record asks of a messenger that shows one line of text (Pidgin, Slack).
namespace zonbode::messengers {

// The record's format with "{0}".."{3}" replaced by the four texts, in one pass: a text that
// itself holds "{1}" is not filled again.
std::string FillStatusFormat(std::string_view format, const std::array<std::string, 4>& texts);

// A day's record asks for its filled-in text; the switch-off record (enabled 0) for nothing.
struct RecordAsk {
    bool switchOff = false;
    std::string text;
};

// nullopt for anything that is not a status record (another dwData, a malformed record, an
// enabled flag other than 1 or 0).
std::optional<RecordAsk> RecordText(std::uint32_t dwData, std::span<const std::uint8_t> record);

}  // namespace zonbode::messengers
