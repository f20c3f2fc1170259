#include "net/CNetSocket.h"
#include "net/SocketAddress.h"
#include "net/ValueConversion.h"

namespace zonbode::net {

void CNetSocket::WndProc(Badge<modNetSocket::Router>, std::intptr_t /*hWnd*/, std::uint32_t uMsg,
                         std::intptr_t wParam, std::intptr_t lParam) {
    auto keepAlive = shared_from_this();
    const auto packed = static_cast<std::int32_t>(lParam);
    if (uMsg == sys::kResolveDoneMessage) {
        CompleteResolution(static_cast<std::int32_t>(wParam), HighWord(packed));
    } else if (uMsg == sys::kSocketEventMessage) {
        PostSocket(LowWord(packed), HighWord(packed));
    }
}

void CNetSocket::PostSocket(std::int32_t event, std::int32_t errorCode) {
    if (errorCode != 0) {
        ReportSocketError(errorCode, "PostSocket");
        return;
    }
    switch (event) {
        case sys::FD_READ:
            if (!IsUdp() && state_ == sckConnected) {
                ReceiveStreamData();
            } else if (IsUdp() && state_ == sckOpen) {
                AnnounceNextDatagram();
            }
            break;
        case sys::FD_WRITE:
            if (state_ == sckConnected && !sendBuffer_.Empty()) {
                FlushSendBuffer();
            }
            break;
        case sys::FD_ACCEPT:
            if (state_ == sckListening) {
                AcceptIncomingConnection();
            }
            break;
        case sys::FD_CONNECT:
            if (state_ == sckConnecting) {
                CompleteConnect();
            }
            break;
        case sys::FD_CLOSE:
            if (state_ == sckConnected) {
                ReportPeerClose();
            }
            break;
        default:
            break;
    }
}

void CNetSocket::ReceiveStreamData() {
    if (RecvDataToBuffer() > 0) {
        Raise(Events.DataArrival, static_cast<std::int32_t>(receiveBuffer_.Size()));
    }
}

// One datagram per notification, announced with its own size. A notification that finds
// none (one behind a datagram already taken) drops nothing.
void CNetSocket::AnnounceNextDatagram() {
    const std::uint64_t takenBefore = datagramsTaken_;
    const std::optional<std::int32_t> size = NextDatagramSize();
    if (!size) {
        return;
    }
    if (*size > 0) {
        Raise(Events.DataArrival, *size);
    }
    // A datagram nobody read is dropped, so the next FD_READ announces the next one. One the
    // handler took is gone already: dropping again would lose the datagram behind it.
    if (datagramsTaken_ == takenBefore && socketHandle_ != sys::kInvalidSocket) {
        DiscardDatagram();
    }
}

void CNetSocket::CompleteConnect() {
    sys::SockAddrIn peer;
    if (sys::GetPeerName(socketHandle_, &peer) != sys::kSocketError) {
        remotePort_ = PortOf(peer);
        remoteHostIP_ = sys::InetNtoa(peer.addr);
    }
    state_ = sckConnected;
    Raise(Events.Connect);
}

void CNetSocket::ReportPeerClose() {
    state_ = sckClosing;
    Raise(Events.CloseSck);
}

}  // namespace zonbode::net
