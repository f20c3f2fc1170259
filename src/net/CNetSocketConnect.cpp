#include <cstring>

#include "net/CNetSocket.h"
#include "net/SocketAddress.h"
#include "net/SocketErrors.h"
#include "net/modNetSocket.h"
#include "text/AnsiCodePage.h"

namespace zonbode::net {
namespace {

// The only follow-up of a lookup: connect when resolved.
constexpr std::int32_t kConnectWhenResolved = 0;

}  // namespace

void CNetSocket::Connect(std::optional<Variant> remoteHost, std::optional<Variant> remotePort) {
    auto keepAlive = shared_from_this();
    RequireState(state_ == sckClosed, "CNetSocket.Connect");
    if (remoteHost) {
        remoteHost_ = remoteHost->ToText();
    }
    if (remotePort) {
        remotePort_ = PortArgument(*remotePort, 1, "CNetSocket.Connect");
    }
    if (!SocketExists()) {
        return;
    }
    if (protocol_ == sckProtocolUdp) {
        // A datagram socket only binds; host and port are where its sends go.
        if (BindInternal(std::nullopt, std::nullopt, true)) {
            state_ = sckOpen;
        }
        return;
    }
    const Address address = ResolveIfHostname(remoteHost_, kConnectWhenResolved);
    if (address) {
        ConnectToIP(address, 0);
    }
}

CNetSocket::Address CNetSocket::ResolveIfHostname(const std::string& host, std::int32_t action) {
    const std::uint32_t address = sys::InetAddr(text::TextToBytes(host));
    if (address != sys::kInaddrNone) {
        return address;
    }
    state_ = sckResolvingHost;
    void* buffer = AllocateLookupBuffer();
    if (buffer == nullptr) {
        state_ = sckError;
        throw RaisedError(kErrOutOfMemory, "CNetSocket.ResolveIfHostname", kTextOutOfMemory);
    }
    const std::int32_t lookup = modNetSocket::ResolveHostAsync(host, buffer, shared_from_this());
    if (lookup != 0) {
        pendingLookups_[lookup] = action;
        return std::nullopt;
    }
    const std::int32_t code = sys::LastError();
    FreeLookupBuffer();
    ReportSocketError(code, "ResolveIfHostname");
    return std::nullopt;
}

void CNetSocket::CompleteResolution(std::int32_t lookupHandle, std::int32_t errorCode) {
    if (state_ != sckResolvingHost) {
        return;
    }
    std::int32_t action = kConnectWhenResolved;
    if (auto entry = pendingLookups_.find(lookupHandle); entry != pendingLookups_.end()) {
        action = entry->second;
        pendingLookups_.erase(entry);
    }
    if (errorCode != 0) {
        FreeLookupBuffer();
        if (action == kConnectWhenResolved) {
            ConnectToIP(std::nullopt, errorCode);
        }
        return;
    }
    state_ = sckHostResolved;
    Address address;
    if (lookupBuffer_) {
        address = sys::FirstAddressInLookupBuffer(lookupBuffer_.get());
    }
    FreeLookupBuffer();
    if (action == kConnectWhenResolved) {
        // A record without an address is a name with no address of the kind asked for.
        ConnectToIP(address, address ? 0 : kWsaNoData);
    }
}

void CNetSocket::ConnectToIP(Address address, std::int32_t errorCode) {
    if (errorCode != 0) {
        ReportSocketError(errorCode, "ConnectToIP");
        return;
    }
    if (!BindInternal(std::nullopt, std::nullopt, true)) {
        return;
    }
    state_ = sckConnecting;
    if (sys::Connect(socketHandle_, MakeAddress(remotePort_, *address)) != sys::kSocketError) {
        return;
    }
    const std::int32_t code = sys::LastError();
    if (code == kWsaEWouldBlock) {
        return;  // the outcome arrives as FD_CONNECT
    }
    if (code == kWsaEAddrNotAvail) {
        RaiseNetworkError(code, "CNetSocket.ConnectToIP");
    }
    ReportSocketError(code, "ConnectToIP");
}

void CNetSocket::Bind(std::optional<Variant> localPort, std::optional<Variant> localIP) {
    auto keepAlive = shared_from_this();
    RequireState(state_ == sckClosed, "CNetSocket.Bind");
    if (BindInternal(localPort, localIP, false)) {
        state_ = sckOpen;
    }
}

bool CNetSocket::BindInternal(const std::optional<Variant>& port,
                              const std::optional<Variant>& address, bool wildcardByDefault) {
    if (state_ == sckOpen) {
        return true;
    }
    const std::int32_t portValue =
        port ? PortArgument(*port, 0, "CNetSocket.BindInternal") : localPort_;
    const std::string addressText = address ? address->ToText() : std::string();
    std::uint32_t bindAddress = 0;
    std::string dotted;
    if (addressText.empty() && wildcardByDefault) {
        // Every local address: the host name's first address may be a loopback address
        // (or one of several interfaces) that cannot reach the peer.
        bindAddress = 0;  // INADDR_ANY
        try {
            dotted = GetLocalIP();
        } catch (const RaisedError&) {
            dotted = sys::InetNtoa(0);
        }
    } else {
        const BlockingLookup lookup =
            ResolveHostBlocking(addressText.empty() ? GetLocalIP() : addressText);
        if (lookup.errorCode != 0 || !lookup.address) {
            throw RaisedError(kErrBadArgument, "CNetSocket.BindInternal", kTextInvalidArgument);
        }
        bindAddress = *lookup.address;
        dotted = lookup.dotted;
    }
    if (!SocketExists()) {
        return false;
    }
    if (sys::Bind(socketHandle_, MakeAddress(portValue, bindAddress)) == sys::kSocketError) {
        RaiseNetworkError(sys::LastError(), "CNetSocket.BindInternal");
    }
    boundLocalIP_ = dotted;
    if (portValue != 0) {
        localPort_ = portValue;
    } else {
        boundLocalPort_ = GetSocketLocalPort(socketHandle_);
        if (boundLocalPort_ == -1) {
            boundLocalPort_ = 0;
            RaiseNetworkError(sys::LastError(), "CNetSocket.BindInternal");
        }
    }
    return true;
}

CNetSocket::BlockingLookup CNetSocket::ResolveHostBlocking(const std::string& host) {
    BlockingLookup result;
    if (host.empty()) {
        result.errorCode = kWsaEAfNoSupport;
        return result;
    }
    const std::string name = text::TextToBytes(host);
    const std::uint32_t address = sys::InetAddr(name);
    if (address != sys::kInaddrNone) {
        result.address = address;
        result.dotted = host;
        return result;
    }
    result.address = sys::GetHostByName(name);
    if (!result.address) {
        result.errorCode = sys::LastError();
        return result;
    }
    result.dotted = sys::InetNtoa(*result.address);
    return result;
}

std::string CNetSocket::GetLocalHostName() {
    char buffer[256] = {};
    if (sys::GetHostName(buffer, sizeof buffer) == sys::kSocketError) {
        RaiseNetworkError(sys::LastError(), "CNetSocket.GetLocalHostName");
    }
    return text::BytesToText(std::string_view(buffer, strnlen(buffer, sizeof buffer)));
}

std::string CNetSocket::GetLocalIP() {
    const auto address = sys::GetHostByName(text::TextToBytes(GetLocalHostName()));
    if (!address) {
        RaiseNetworkError(sys::LastError(), "CNetSocket.GetLocalIP");
    }
    return sys::InetNtoa(*address);
}

std::int32_t CNetSocket::GetSocketLocalPort(sys::Handle handle) {
    sys::SockAddrIn name;
    if (sys::GetSockName(handle, &name) == sys::kSocketError) {
        return -1;
    }
    return PortOf(name);
}

void* CNetSocket::AllocateLookupBuffer() {
    lookupBuffer_.reset(new (std::nothrow) std::uint8_t[sys::kLookupBufferSize]());
    return lookupBuffer_.get();
}

void CNetSocket::FreeLookupBuffer() {
    lookupBuffer_.reset();
}

void CNetSocket::CancelResolutions() {
    // Entries go with their lookups, so nothing stale is left to cancel a second time.
    auto lookups = std::move(pendingLookups_);
    pendingLookups_.clear();
    for (const auto& [lookup, action] : lookups) {
        sys::CancelAsyncRequest(lookup);
        modNetSocket::UnregisterResolution(lookup);
    }
    FreeLookupBuffer();
}

}  // namespace zonbode::net
