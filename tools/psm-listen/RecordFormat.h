#pragma once

#include <cstdint>
#include <span>
#include <string>

// How psm-listen prints a status record.
namespace zonbode::psmlisten {

// "547 5c003000...": dwData and the record bytes, both in lowercase hex.
std::string HexLine(std::uint32_t dwData, std::span<const std::uint8_t> record);

// The record's pieces, readable: dwData, category, enabled flag, format and the four texts
// (UTF-16LE turned into UTF-8, quotes and control characters escaped). A record that does not
// split into those pieces is shown as its escaped text, marked malformed.
std::string DecodedLine(std::uint32_t dwData, std::span<const std::uint8_t> record);

}  // namespace zonbode::psmlisten
