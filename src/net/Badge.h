#pragma once

namespace zonbode::net {

// A passkey: only T can make one, so a function that takes a Badge<T> can be called by T
// alone, while the rest of its class stays private to T.
template <typename T>
class Badge {
    friend T;
    constexpr Badge() = default;
};

}  // namespace zonbode::net
