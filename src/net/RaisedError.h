#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zonbode::net {

// A failure raised to the caller of a socket-layer operation: the error number, the source
// ("CNetSocket.Connect", "modNetSocket.RegisterSocket", ...) and the description.
class RaisedError : public std::runtime_error {
public:
    RaisedError(std::int32_t number, std::string source, std::string description)
        : std::runtime_error(source + ": " + description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}

    std::int32_t Number() const { return number_; }
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

}  // namespace zonbode::net
