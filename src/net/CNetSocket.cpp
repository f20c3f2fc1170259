#include "net/CNetSocket.h"

#include "net/MessageBoxHook.h"
#include "net/NetworkErrorText.h"
#include "net/NumericArgument.h"
#include "net/SocketErrors.h"
#include "net/modNetSocket.h"

namespace zonbode::net {
namespace {

void CheckPortRange(std::int64_t value, std::int32_t lowest, const char* source) {
    if (value < lowest || value > 65535) {
        throw RaisedError(kErrBadArgument, source, kTextArgumentOutOfRange);
    }
}

}  // namespace

std::shared_ptr<CNetSocket> CNetSocket::Create() {
    return std::make_shared<CNetSocket>(PrivateTag{});
}

CNetSocket::CNetSocket(PrivateTag) {
    modNetSocket::InitiateProcesses();
}

CNetSocket::~CNetSocket() {
    // Nothing may escape a destructor: failures here leave nothing the caller could act on.
    try {
        CancelResolutions();
    } catch (...) {
    }
    if (!isAcceptHolder_) {
        try {
            DestroySocket();
        } catch (...) {
        }
    }
    try {
        modNetSocket::FinalizeProcesses();
    } catch (...) {
    }
}

// Properties.

std::int32_t CNetSocket::RemotePort() const {
    return remotePort_;
}

void CNetSocket::SetRemotePort(std::int32_t value) {
    RequireState(IsUdp() || state_ == sckClosed, "CNetSocket.RemotePort");
    CheckPortRange(value, 0, "CNetSocket.RemotePort");
    remotePort_ = value;
}

const std::string& CNetSocket::RemoteHost() const {
    return remoteHost_;
}

void CNetSocket::SetRemoteHost(const std::string& value) {
    RequireState(IsUdp() || state_ == sckClosed, "CNetSocket.RemoteHost");
    remoteHost_ = value;
}

const std::string& CNetSocket::RemoteHostIP() const {
    return remoteHostIP_;
}

std::int32_t CNetSocket::LocalPort() const {
    return boundLocalPort_ != 0 ? boundLocalPort_ : localPort_;
}

void CNetSocket::SetLocalPort(std::int32_t value) {
    RequireState(state_ == sckClosed, "CNetSocket.LocalPort");
    CheckPortRange(value, 0, "CNetSocket.LocalPort");
    localPort_ = value;
}

std::int32_t CNetSocket::State() const {
    return state_;
}

std::string CNetSocket::LocalHostName() const {
    return GetLocalHostName();
}

std::string CNetSocket::LocalIP() const {
    if (state_ == sckOpen || state_ == sckListening) {
        return boundLocalIP_;
    }
    return GetLocalIP();
}

std::int32_t CNetSocket::BytesReceived() const {
    if (IsUdp()) {
        return GetPendingBytes();
    }
    return static_cast<std::int32_t>(receiveBuffer_.Size());
}

std::int32_t CNetSocket::SocketHandle() const {
    return socketHandle_;
}

const std::string& CNetSocket::Tag() const {
    return tag_;
}

void CNetSocket::SetTag(const std::string& value) {
    tag_ = value;
}

std::int32_t CNetSocket::Protocol() const {
    return protocol_;
}

void CNetSocket::SetProtocol(std::int32_t value) {
    RequireState(state_ == sckClosed, "CNetSocket.Protocol");
    // Only the two protocols exist; any other value would make a socket of an unknown kind.
    if (value != sckProtocolTcp && value != sckProtocolUdp) {
        throw RaisedError(kErrBadArgument, "CNetSocket.Protocol", kTextArgumentOutOfRange);
    }
    protocol_ = value;
}

// Methods.

void CNetSocket::CloseSck() {
    if (socketHandle_ == sys::kInvalidSocket) {
        return;
    }
    state_ = sckClosing;
    CancelResolutions();
    DestroySocket();
    boundLocalPort_ = 0;
    remoteHostIP_.clear();
    receiveBuffer_.Clear();
    sendBuffer_.Clear();
    sendChunkSize_ = 0;
    receiveChunkSize_ = 0;
    state_ = sckClosed;
}

void CNetSocket::DestroySocket() {
    if (socketHandle_ == sys::kInvalidSocket) {
        return;
    }
    if (sys::CloseSocket(socketHandle_) == sys::kSocketError) {
        state_ = sckError;
        RaiseNetworkError(sys::LastError(), "CNetSocket.DestroySocket");
    }
    const sys::Handle handle = socketHandle_;
    socketHandle_ = sys::kInvalidSocket;
    modNetSocket::UnregisterSocket(handle);
}

bool CNetSocket::SocketExists() {
    if (socketHandle_ != sys::kInvalidSocket) {
        return true;
    }
    const sys::Handle handle = IsUdp()
                                   ? sys::Socket(sys::kAfInet, sys::kSockDgram, sys::kIpprotoUdp)
                                   : sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp);
    if (handle == sys::kInvalidSocket) {
        ReportSocketError(sys::LastError(), "SocketExists");
        return false;
    }
    socketHandle_ = handle;
    ProcessOptions();
    return modNetSocket::RegisterSocket(handle, shared_from_this(), true);
}

void CNetSocket::ProcessOptions() {
    std::int32_t value = 0;
    if (!IsUdp()) {
        if (sys::GetSockOpt(socketHandle_, sys::kSolSocket, sys::kSoRcvbuf, &value) ==
            sys::kSocketError) {
            RaiseNetworkError(sys::LastError(), "CNetSocket.ProcessOptions");
        }
        receiveChunkSize_ = value;
        if (sys::GetSockOpt(socketHandle_, sys::kSolSocket, sys::kSoSndbuf, &value) ==
            sys::kSocketError) {
            RaiseNetworkError(sys::LastError(), "CNetSocket.ProcessOptions");
        }
        sendChunkSize_ = value;
        return;
    }
    sys::SetSockOpt(socketHandle_, sys::kSolSocket, sys::kSoBroadcast, 1);
    if (sys::GetSockOpt(socketHandle_, sys::kSolSocket, sys::kSoMaxMsgSize, &value) ==
        sys::kSocketError) {
        RaiseNetworkError(sys::LastError(), "CNetSocket.ProcessOptions");
    }
    receiveChunkSize_ = value;
    sendChunkSize_ = value;
}

void CNetSocket::RequireState(bool allowed, const char* source) {
    if (!allowed) {
        throw RaisedError(kErrInvalidOperation, source, kTextInvalidOperation);
    }
}

std::int32_t CNetSocket::PortArgument(const Variant& value, std::int32_t lowest,
                                      const char* source) {
    if (!value.IsNumeric()) {
        throw RaisedError(kErrUnsupportedType, source, kTextUnsupportedType);
    }
    const std::int64_t port = WholeNumber(value);
    CheckPortRange(port, lowest, source);
    return static_cast<std::int32_t>(port);
}

void CNetSocket::ReportSocketError(std::int32_t code, const std::string& procedure) {
    state_ = sckError;
    RaiseErrorEvent(code, procedure);
}

void CNetSocket::RaiseErrorEvent(std::int32_t code, const std::string& procedure) {
    auto keepAlive = shared_from_this();
    ErrorEventArgs args;
    args.Number = static_cast<std::int16_t>(code);
    args.Description = NetworkErrorText(code);
    args.sCode = 0;
    args.source = "CNetSocket." + procedure;
    args.HelpContext = 0;
    args.CancelDisplay = true;
    Raise(Events.Error, std::ref(args));
    if (!args.CancelDisplay) {
        // The standard text, whatever a handler wrote into Description.
        ShowMessageBox(NetworkErrorText(code), "CNetSocket." + procedure);
    }
}

}  // namespace zonbode::net
