#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// A status record as a receiver takes it apart again.
namespace zonbode::status {

struct StatusRecordPieces {
    std::u16string category;
    std::u16string enabled;
    std::u16string format;
    std::array<std::u16string, 4> texts;
    // Separators beyond the eight of the layout. A "\0" inside a text cannot be told from a
    // separator; such extra pieces are taken to be part of text1, the only text the program's
    // own records fill.
    int extraSeparators = 0;
};

// The record's UTF-16LE code units; an odd last byte is left out.
std::u16string StatusPayloadUnits(std::span<const std::uint8_t> record);

// The pieces of a record that begins with a separator, has at least eight of them and ends with
// one U+0000 right after the last; nullopt for anything else, an odd byte count included.
std::optional<StatusRecordPieces> SplitStatusPayload(std::span<const std::uint8_t> record);

// UTF-16 as UTF-8; a surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace zonbode::status
