#include "net/CNetSocket.h"
#include "net/SocketAddress.h"
#include "net/SocketErrors.h"
#include "net/WindowsSocketsCodes.h"
#include "net/modNetSocket.h"

namespace zonbode::net {
namespace {

constexpr int kListenQueueLength = 5;

}  // namespace

void CNetSocket::Listen() {
    auto keepAlive = shared_from_this();
    RequireState(state_ == sckClosed || state_ == sckOpen, "CNetSocket.Listen");
    if (!SocketExists()) {
        return;
    }
    if (!BindInternal(std::nullopt, std::nullopt, false)) {
        return;
    }
    if (sys::Listen(socketHandle_, kListenQueueLength) == sys::kSocketError) {
        RaiseNetworkError(sys::LastError(), "CNetSocket.Listen");
    }
    state_ = sckListening;
}

// FD_ACCEPT on a listening object: take the connection at once, park it in a holder, offer
// it, and close it again when no Accept took it during the event.
void CNetSocket::AcceptIncomingConnection() {
    sys::SockAddrIn peer;
    const sys::Handle requestID = sys::Accept(socketHandle_, &peer);
    if (requestID == sys::kInvalidSocket) {
        const std::int32_t code = sys::LastError();
        if (sys::IsOutOfDescriptorsOrBuffers(code)) {
            // The process is out of descriptors or memory: the owner hears of it through the
            // Error event, and the object goes on listening; the service offers the
            // connection again once a descriptor may be free.
            RaiseErrorEvent(code, "PostSocket");
            return;
        }
        RaiseNetworkError(code, "CNetSocket.PostSocket");
    }
    try {
        modNetSocket::RegisterAccept(requestID);
    } catch (...) {
        // Parking failed: the connection has no owner, so it ends here.
        RefuseConnection(requestID);
        throw;
    }

    const std::int32_t savedPort = remotePort_;
    const std::string savedHostIP = remoteHostIP_;
    const std::string savedHost = remoteHost_;
    GetPeerAddress(requestID, remotePort_, remoteHostIP_, remoteHost_);

    // The listener is restored and an untaken connection refused even when the handler
    // fails: a parked connection must not outlive its event.
    const auto finish = [&] {
        if (state_ == sckListening) {
            remotePort_ = savedPort;
            remoteHostIP_ = savedHostIP;
            remoteHost_ = savedHost;
        }
        if (modNetSocket::IsAcceptRegistered(requestID)) {
            RefuseConnection(requestID);
        }
    };
    try {
        Raise(Events.ConnectionRequest, requestID);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void CNetSocket::RefuseConnection(sys::Handle requestID) {
    sys::CloseSocket(requestID);
    modNetSocket::UnregisterSocket(requestID);
    if (modNetSocket::IsAcceptRegistered(requestID)) {
        modNetSocket::UnregisterAccept(requestID);
    }
}

void CNetSocket::Accept(std::int32_t requestID) {
    auto keepAlive = shared_from_this();
    RequireState(state_ == sckClosed, "CNetSocket.Accept");
    // A closed object may still hold the socket of a Connect whose bind failed; it goes
    // before the connection takes its place.
    DestroySocket();
    socketHandle_ = requestID;
    protocol_ = sckProtocolTcp;
    try {
        ProcessOptions();
    } catch (...) {
        DropForeignHandle();
        throw;
    }
    if (!modNetSocket::IsAcceptRegistered(requestID)) {
        BecomeAcceptHolder(requestID);
        return;
    }
    TakeOverParkedConnection(requestID);
}

// Until the connection is really this object's, a failure must leave it with no handle: the
// connection belongs to someone else and closing this object must not touch it.
void CNetSocket::DropForeignHandle() {
    socketHandle_ = sys::kInvalidSocket;
    state_ = sckClosed;
}

void CNetSocket::BecomeAcceptHolder(std::int32_t requestID) {
    if (modNetSocket::IsSocketRegistered(requestID)) {
        DropForeignHandle();
        throw RaisedError(kErrWrongProtocolOrState, "CNetSocket.Accept", kTextWrongProtocolOrState);
    }
    isAcceptHolder_ = true;
    state_ = sckConnected;
    modNetSocket::RegisterSocket(requestID, shared_from_this(), false);
}

void CNetSocket::TakeOverParkedConnection(std::int32_t requestID) {
    std::shared_ptr<CNetSocket> holder = modNetSocket::GetAcceptedObject(requestID);
    modNetSocket::UnregisterAccept(requestID);
    ReadAcceptedAddresses(requestID);
    state_ = sckConnected;
    if (holder->BytesReceived() > 0) {
        receiveBuffer_.Append(holder->receiveBuffer_.View());
        holder->receiveBuffer_.Clear();
    }
    modNetSocket::ReassignSocket(requestID, shared_from_this());
    if (!receiveBuffer_.Empty()) {
        Raise(Events.DataArrival, static_cast<std::int32_t>(receiveBuffer_.Size()));
    }
    // A handler that closed the object, or closed and connected it again, decided what it
    // is now; the close the holder saw belongs to the connection it ended.
    const bool unchangedByHandler = state_ == sckConnected && socketHandle_ == requestID;
    if (holder->state_ == sckClosing && unchangedByHandler) {
        state_ = sckClosing;
        Raise(Events.CloseSck);
    }
    holder.reset();
}

void CNetSocket::ReadAcceptedAddresses(std::int32_t requestID) {
    sys::SockAddrIn local;
    if (sys::GetSockName(requestID, &local) == sys::kSocketError) {
        const std::int32_t code = sys::LastError();
        // Nobody owns the connection any more: end it, and its route to the holder with it.
        modNetSocket::UnregisterSocket(requestID);
        sys::CloseSocket(requestID);
        DropForeignHandle();
        RaiseNetworkError(code, "CNetSocket.Accept");
    }
    boundLocalPort_ = PortOf(local);
    boundLocalIP_ = sys::InetNtoa(local.addr);
    GetPeerAddress(requestID, remotePort_, remoteHostIP_, remoteHost_);
}

bool CNetSocket::GetPeerAddress(sys::Handle handle, std::int32_t& port, std::string& address,
                                std::string& hostName) {
    sys::SockAddrIn peer;
    if (sys::GetPeerName(handle, &peer) == sys::kSocketError) {
        port = 0;
        address.clear();
        hostName.clear();
        return false;
    }
    port = PortOf(peer);
    address = sys::InetNtoa(peer.addr);
    hostName.clear();
    return true;
}

}  // namespace zonbode::net
