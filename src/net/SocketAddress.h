#pragma once

#include <cstdint>

#include "net/SocketApi.h"
#include "net/ValueConversion.h"

// Ports between the object's numbers (0..65535) and the network's addresses.
namespace zonbode::net {

// The IPv4 address record for a port and an address in network byte order.
inline sys::SockAddrIn MakeAddress(std::int32_t port, std::uint32_t address) {
    sys::SockAddrIn record;
    record.family = sys::kAfInet;
    record.port = sys::HostToNetShort(static_cast<std::uint16_t>(UnsignedToInt16(port)));
    record.addr = address;
    return record;
}

// The port of an address record the network filled in.
inline std::int32_t PortOf(const sys::SockAddrIn& record) {
    return Int16ToUnsigned(static_cast<std::int16_t>(sys::NetToHostShort(record.port)));
}

}  // namespace zonbode::net
