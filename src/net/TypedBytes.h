#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "net/Variant.h"

// The byte form of typed values as they cross the network: fixed-size values in their
// little-endian in-memory form, text one byte per character through the 8-bit code page,
// byte arrays as they are.
namespace zonbode::net {

// The bytes of a value, or nullopt for a type that has no byte form.
std::optional<std::string> TypedBytes(const Variant& value);

// Byte count of a fixed-size type; 0 for text, byte arrays and unsupported types.
std::size_t FixedSizeOf(VarType type);

// The value of a fixed-size type read from its FixedSizeOf(type) bytes.
Variant FixedValueFromBytes(VarType type, const std::uint8_t* bytes);

}  // namespace zonbode::net
