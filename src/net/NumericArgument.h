#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "net/Variant.h"

namespace zonbode::net {

// A numeric argument as the whole number a 32-bit parameter would receive (rounded half to
// even). Values beyond the 32-bit range come back as a value outside it, never wrapped.
inline std::int64_t WholeNumber(const Variant& value) {
    const double number = std::nearbyint(value.ToNumber());
    if (std::isnan(number)) {
        return std::numeric_limits<std::int64_t>::min();
    }
    if (number > 4e18) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (number < -4e18) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(number);
}

}  // namespace zonbode::net
