#include <algorithm>

#include "net/CNetSocket.h"
#include "net/SocketAddress.h"
#include "net/SocketErrors.h"
#include "net/TypedBytes.h"
#include "text/AnsiCodePage.h"

namespace zonbode::net {

void CNetSocket::SendData(const Variant& data) {
    auto keepAlive = shared_from_this();
    if (IsUdp()) {
        if (!SocketExists() || !BindInternal(std::nullopt, std::nullopt, true)) {
            return;
        }
        state_ = sckOpen;
    } else if (state_ != sckConnected) {
        throw RaisedError(kErrWrongProtocolOrState, "CNetSocket.SendData",
                          kTextWrongProtocolOrState);
    }
    const std::optional<std::string> bytes = TypedBytes(data);
    if (!bytes) {
        throw RaisedError(kErrUnsupportedType, "CNetSocket.SendData", kTextUnsupportedType);
    }
    if (bytes->empty()) {
        return;
    }
    const bool wasEmpty = sendBuffer_.Empty();
    sendBuffer_.Append(*bytes);
    if (wasEmpty) {
        FlushSendBuffer();
    }
}

void CNetSocket::FlushSendBuffer() {
    if (IsUdp()) {
        SendBufferedDataUDP();
    } else {
        SendBufferedData();
    }
}

void CNetSocket::SendBufferedData() {
    // A socket that reports no buffer size still sends, in modest pieces.
    const std::size_t chunk = sendChunkSize_ > 0 ? static_cast<std::size_t>(sendChunkSize_) : 8192;
    std::int64_t totalSent = 0;
    while (!sendBuffer_.Empty()) {
        const std::size_t count = std::min(sendBuffer_.Size(), chunk);
        const int sent = sys::Send(socketHandle_, sendBuffer_.Data(), static_cast<int>(count), 0);
        if (sent == sys::kSocketError) {
            const std::int32_t code = sys::LastError();
            if (code == kWsaEWouldBlock) {
                if (totalSent > 0) {
                    Raise(Events.SendProgress, static_cast<std::int32_t>(totalSent),
                          static_cast<std::int32_t>(sendBuffer_.Size()));
                }
            } else {
                ReportSocketError(code, "SendBufferedData");
            }
            return;
        }
        totalSent += sent;
        if (sendBuffer_.Size() > static_cast<std::size_t>(sent)) {
            sendBuffer_.Consume(static_cast<std::size_t>(sent));
            continue;
        }
        sendBuffer_.Clear();
        Raise(Events.SendProgress, static_cast<std::int32_t>(totalSent), std::int32_t{0});
        Raise(Events.SendComplete);
        // Whatever a handler queued meanwhile has been sent by its own nested run.
        return;
    }
}

void CNetSocket::SendBufferedDataUDP() {
    const BlockingLookup lookup = ResolveHostBlocking(remoteHost_);
    if (lookup.errorCode != 0 || !lookup.address) {
        sendBuffer_.Clear();
        if (lookup.errorCode == kWsaEAfNoSupport) {
            RaiseNetworkError(kWsaEAfNoSupport, "CNetSocket.SendBufferedDataUDP");
        }
        throw RaisedError(kErrBadArgument, "CNetSocket.SendBufferedDataUDP", kTextInvalidArgument);
    }
    const sys::SockAddrIn destination = MakeAddress(remotePort_, *lookup.address);
    const std::string datagram(sendBuffer_.View());
    sendBuffer_.Clear();
    if (sys::SendTo(socketHandle_, datagram.data(), static_cast<int>(datagram.size()), 0,
                    destination) == sys::kSocketError) {
        ReportSocketError(sys::LastError(), "SendBufferedDataUDP");
    }
}

}  // namespace zonbode::net
