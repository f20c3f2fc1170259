#pragma once

#include <cstdint>
#include <string>

// Conversions between the socket object's signed numbers and the network side's unsigned
// ports, packed message parameters and 8-bit address texts.
namespace zonbode::net {

// Upper and lower 16 bits of a 32-bit value, read as unsigned (0..65535).
std::int32_t HighWord(std::int32_t value);
std::int32_t LowWord(std::int32_t value);

// 0..65535 to the signed 16-bit value with the same bits; anything else raises the
// overflow error (number 6).
std::int16_t UnsignedToInt16(std::int32_t value);

// A signed 16-bit value to 0..65535.
std::int32_t Int16ToUnsigned(std::int16_t value);

// The NUL-terminated 8-bit string at the address as text; a null address gives "".
std::string AnsiStringAt(const char* address);

}  // namespace zonbode::net
