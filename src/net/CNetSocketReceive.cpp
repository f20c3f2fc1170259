#include <algorithm>
#include <limits>
#include <vector>

#include "net/CNetSocket.h"
#include "net/NumericArgument.h"
#include "net/SocketAddress.h"
#include "net/SocketErrors.h"
#include "net/TypedBytes.h"
#include "text/AnsiCodePage.h"

namespace zonbode::net {
namespace {

// Nothing received: an untyped variable is left empty, a typed one holds an empty value of
// its type.
void SetEmpty(Variant& data, VarType type, bool typedVariable) {
    if (!typedVariable) {
        data = Variant();
    } else if (type == VarType::String) {
        data = Variant(std::string());
    } else {
        data = Variant(Variant::Bytes());
    }
}

}  // namespace

void CNetSocket::GetData(Variant& data, std::optional<std::int32_t> varType, Variant* maxLen) {
    ReadData(data, varType, maxLen, false);
}

void CNetSocket::PeekData(Variant& data, std::optional<std::int32_t> varType, Variant* maxLen) {
    ReadData(data, varType, maxLen, true);
}

void CNetSocket::ReadData(Variant& data, std::optional<std::int32_t> varType, Variant* maxLen,
                          bool peek) {
    const char* source = peek ? "CNetSocket.PeekData" : "CNetSocket.GetData";
    if (!IsUdp()) {
        // A holder hands its parked data over with GetData, whatever its state.
        const bool readable = state_ == sckConnected || (!peek && isAcceptHolder_);
        if (!readable) {
            throw RaisedError(kErrWrongProtocolOrState, source, kTextWrongProtocolOrState);
        }
    } else {
        if (state_ != sckOpen) {
            throw RaisedError(kErrWrongProtocolOrState, source, kTextWrongProtocolOrState);
        }
        if (GetPendingBytes() == 0) {
            return;
        }
    }
    std::optional<std::int32_t> length;
    if (maxLen != nullptr) {
        if (!maxLen->IsNumeric()) {
            const std::int32_t available =
                IsUdp() ? GetPendingBytes() : static_cast<std::int32_t>(receiveBuffer_.Size());
            *maxLen = Variant(available);
            length = available;
        } else {
            const std::int64_t number = WholeNumber(*maxLen);
            if (number < 0) {
                throw RaisedError(kErrBadArgument, source, kTextArgumentOutOfRange);
            }
            length = static_cast<std::int32_t>(
                std::min<std::int64_t>(number, std::numeric_limits<std::int32_t>::max()));
        }
    }
    RecvData(data, peek, varType, length);
}

std::int32_t CNetSocket::RecvData(Variant& data, bool peek, std::optional<std::int32_t> varType,
                                  std::optional<std::int32_t> maxLen) {
    const std::size_t available =
        IsUdp() ? static_cast<std::size_t>(GetPendingBytes()) : receiveBuffer_.Size();
    // A value already in data fixes the type: a text variable receives text.
    const bool typedVariable = !data.IsEmpty();
    VarType type = VarType::ByteArray;
    if (typedVariable) {
        type = data.Type();
    } else if (varType) {
        type = static_cast<VarType>(*varType);
    }
    if (type == VarType::String || type == VarType::ByteArray) {
        return RecvBytes(data, type, typedVariable, available, peek, maxLen);
    }
    if (FixedSizeOf(type) > 0) {
        return RecvFixedValue(data, type, available, peek);
    }
    throw RaisedError(kErrUnsupportedType, "CNetSocket.RecvData", kTextUnsupportedType);
}

std::int32_t CNetSocket::RecvBytes(Variant& data, VarType type, bool typedVariable,
                                   std::size_t available, bool peek,
                                   std::optional<std::int32_t> maxLen) {
    std::size_t count = available;
    if (!maxLen) {
        if (available == 0) {
            SetEmpty(data, type, typedVariable);
            return 0;
        }
    } else if (*maxLen == 0 || available == 0) {
        SetEmpty(data, type, typedVariable);
        if (IsUdp()) {
            DiscardDatagram();
            ++datagramsTaken_;
            RaiseNetworkError(kWsaEMsgSize, "CNetSocket.RecvData");
        }
        return 0;
    } else {
        count = std::min(available, static_cast<std::size_t>(*maxLen));
    }
    std::int32_t errorCode = 0;
    Variant::Bytes bytes = TakeReceivedBytes(count, peek, errorCode);
    const std::size_t taken = bytes.size();
    if (type == VarType::String) {
        data = Variant(text::BytesToText(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    } else {
        data = Variant(std::move(bytes));
    }
    if (errorCode != 0) {
        RaiseNetworkError(errorCode, "CNetSocket.RecvData");
    }
    return static_cast<std::int32_t>(taken);
}

std::int32_t CNetSocket::RecvFixedValue(Variant& data, VarType type, std::size_t available,
                                        bool peek) {
    const std::size_t size = FixedSizeOf(type);
    if (available < size) {
        return 0;
    }
    std::int32_t errorCode = 0;
    const Variant::Bytes bytes = TakeReceivedBytes(size, peek, errorCode);
    std::size_t taken = 0;
    if (bytes.size() == size) {  // else the receive failed: data stays as it was
        data = FixedValueFromBytes(type, bytes.data());
        taken = size;
    }
    if (errorCode != 0) {
        RaiseNetworkError(errorCode, "CNetSocket.RecvData");
    }
    return static_cast<std::int32_t>(taken);
}

Variant::Bytes CNetSocket::TakeReceivedBytes(std::size_t count, bool peek,
                                             std::int32_t& errorCode) {
    errorCode = 0;
    if (!IsUdp()) {
        count = std::min(count, receiveBuffer_.Size());
        Variant::Bytes bytes(receiveBuffer_.Data(), receiveBuffer_.Data() + count);
        if (!peek) {
            receiveBuffer_.Consume(count);
        }
        return bytes;
    }
    // The datagram's own bytes: as many as recvfrom returned, or all asked for when the
    // datagram was longer (10040).
    Variant::Bytes bytes(count, 0);
    sys::SockAddrIn from;
    from.port = 0;
    from.addr = 0;
    const int received = sys::RecvFrom(socketHandle_, bytes.data(), static_cast<int>(count),
                                       peek ? sys::kMsgPeek : 0, &from);
    if (received == sys::kSocketError) {
        errorCode = sys::LastError();
        if (errorCode != kWsaEMsgSize) {
            bytes.clear();
        }
    } else {
        bytes.resize(static_cast<std::size_t>(received));
    }
    if (!peek) {
        ++datagramsTaken_;
    }
    remotePort_ = PortOf(from);
    remoteHostIP_ = sys::InetNtoa(from.addr);
    remoteHost_.clear();
    return bytes;
}

std::int32_t CNetSocket::RecvDataToBuffer() {
    const std::size_t chunk =
        receiveChunkSize_ > 0 ? static_cast<std::size_t>(receiveChunkSize_) : 8192;
    std::uint8_t* room = receiveBuffer_.PrepareAppend(chunk);
    const int received = sys::Recv(socketHandle_, room, static_cast<int>(chunk), 0);
    if (received == sys::kSocketError) {
        const std::int32_t code = sys::LastError();
        // A notification that finds nothing waiting is not a failure of the connection.
        if (code == kWsaEWouldBlock) {
            return 0;
        }
        state_ = sckError;
        RaiseNetworkError(code, "CNetSocket.RecvDataToBuffer");
    }
    if (received > 0) {
        receiveBuffer_.CommitAppend(static_cast<std::size_t>(received));
        return received;
    }
    return 0;
}

std::int32_t CNetSocket::GetPendingBytes() const {
    return NextDatagramSize().value_or(0);
}

std::optional<std::int32_t> CNetSocket::NextDatagramSize() const {
    // A peeking receive, not FIONREAD: Windows counts every queued datagram there.
    constexpr int kLargestDatagram = 65536;
    static thread_local std::vector<std::uint8_t> scratch(kLargestDatagram);
    const int size =
        sys::RecvFrom(socketHandle_, scratch.data(), kLargestDatagram, sys::kMsgPeek, nullptr);
    if (size != sys::kSocketError) {
        return size;
    }
    if (sys::LastError() == kWsaEMsgSize) {
        return kLargestDatagram;
    }
    return std::nullopt;
}

void CNetSocket::DiscardDatagram() {
    std::uint8_t scratch = 0;
    sys::Recv(socketHandle_, &scratch, 1, 0);
}

}  // namespace zonbode::net
