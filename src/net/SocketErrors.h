#pragma once

#include <cstdint>
#include <string>

#include "net/NetworkErrorText.h"
#include "net/RaisedError.h"
#include "net/WindowsSocketsCodes.h"

// The socket object's own error numbers and texts, and the raising of network error codes.
namespace zonbode::net {

inline constexpr std::int32_t kErrOutOfMemory = 7;
inline constexpr std::int32_t kErrWrongProtocolOrState = 40006;
inline constexpr std::int32_t kErrBadArgument = 40014;
inline constexpr std::int32_t kErrUnsupportedType = 40018;
inline constexpr std::int32_t kErrInvalidOperation = 40020;

inline constexpr const char* kTextOutOfMemory = "Out of memory";
inline constexpr const char* kTextWrongProtocolOrState =
    "Wrong protocol or connection state for the requested transaction or request";
inline constexpr const char* kTextArgumentOutOfRange =
    "The argument passed to a function was not in the correct format or in the specified "
    "range.";
inline constexpr const char* kTextInvalidArgument = "Invalid argument";
inline constexpr const char* kTextUnsupportedType = "Unsupported variant type.";
inline constexpr const char* kTextInvalidOperation = "Invalid operation at current state";

// Windows Sockets codes the object tests for itself.
inline constexpr std::int32_t kWsaEWouldBlock = WsaCode("WSAEWOULDBLOCK");
inline constexpr std::int32_t kWsaEMsgSize = WsaCode("WSAEMSGSIZE");
inline constexpr std::int32_t kWsaEAfNoSupport = WsaCode("WSAEAFNOSUPPORT");
inline constexpr std::int32_t kWsaEAddrNotAvail = WsaCode("WSAEADDRNOTAVAIL");
inline constexpr std::int32_t kWsaNoData = WsaCode("WSANO_DATA");

[[noreturn]] inline void RaiseNetworkError(std::int32_t code, const std::string& source) {
    throw RaisedError(code, source, NetworkErrorText(code));
}

}  // namespace zonbode::net
