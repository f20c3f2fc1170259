#include "net/ValueConversion.h"

#include <cstring>

#include "net/RaisedError.h"
#include "text/AnsiCodePage.h"

namespace zonbode::net {

std::int32_t HighWord(std::int32_t value) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(value) >> 16) & 0xFFFFu);
}

std::int32_t LowWord(std::int32_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) & 0xFFFFu);
}

std::int16_t UnsignedToInt16(std::int32_t value) {
    if (value < 0 || value > 65535) {
        throw RaisedError(6, "modNetSocket.UnsignedToInt16", "Overflow");
    }
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

std::int32_t Int16ToUnsigned(std::int16_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint16_t>(value));
}

std::string AnsiStringAt(const char* address) {
    if (address == nullptr) {
        return {};
    }
    return text::BytesToText(std::string_view(address, std::strlen(address)));
}

}  // namespace zonbode::net
