#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "net/Badge.h"
#include "net/ByteQueue.h"
#include "net/SocketApi.h"
#include "net/Variant.h"

namespace zonbode::net {

namespace modNetSocket {
class Router;
}

enum StateConstants : std::int32_t {
    sckClosed = 0,
    sckOpen = 1,
    sckListening = 2,
    sckResolvingHost = 4,
    sckHostResolved = 5,
    sckConnecting = 6,
    sckConnected = 7,
    sckClosing = 8,
    sckError = 9,
};

enum ProtocolConstants : std::int32_t {
    sckProtocolTcp = 0,
    sckProtocolUdp = 1,
};

// Arguments of the Error event. Description and CancelDisplay may be changed by the handler.
struct ErrorEventArgs {
    std::int16_t Number = 0;
    std::string Description;
    std::int32_t sCode = 0;
    std::string source;
    std::string HelpFile;
    std::int32_t HelpContext = 0;
    bool CancelDisplay = true;
};

// The object's events. Each is raised synchronously from inside the operation that detects
// it; a handler may call any operation of the object and may drop the last outside reference.
struct CNetSocketEvents {
    std::function<void()> CloseSck;
    std::function<void()> Connect;
    std::function<void(std::int32_t requestID)> ConnectionRequest;
    std::function<void(std::int32_t bytesTotal)> DataArrival;
    std::function<void(ErrorEventArgs& args)> Error;
    std::function<void()> SendComplete;
    std::function<void(std::int32_t bytesSent, std::int32_t bytesRemaining)> SendProgress;
};

// One asynchronous IPv4 TCP or UDP socket. Every operation returns at once; outcomes arrive
// later as events, raised while the runtime's event loop dispatches network notifications.
// Failures the caller can be told at once are thrown as RaisedError.
//
// Objects live in shared_ptr: the runtime routes notifications through weak references, and
// an operation that raises an event holds a strong reference until it returns.
class CNetSocket : public std::enable_shared_from_this<CNetSocket> {
public:
    static std::shared_ptr<CNetSocket> Create();
    ~CNetSocket();

    CNetSocket(const CNetSocket&) = delete;
    CNetSocket& operator=(const CNetSocket&) = delete;

    CNetSocketEvents Events;

    // Properties.
    std::int32_t RemotePort() const;
    void SetRemotePort(std::int32_t value);
    const std::string& RemoteHost() const;
    void SetRemoteHost(const std::string& value);
    const std::string& RemoteHostIP() const;
    std::int32_t LocalPort() const;
    void SetLocalPort(std::int32_t value);
    std::int32_t State() const;
    std::string LocalHostName() const;
    std::string LocalIP() const;
    std::int32_t BytesReceived() const;
    std::int32_t SocketHandle() const;
    const std::string& Tag() const;
    void SetTag(const std::string& value);
    std::int32_t Protocol() const;
    void SetProtocol(std::int32_t value);

    // Methods. Absent optional arguments are std::nullopt; maxLen is in/out (nullptr: absent).
    void CloseSck();
    void Connect(std::optional<Variant> RemoteHost = std::nullopt,
                 std::optional<Variant> RemotePort = std::nullopt);
    void Bind(std::optional<Variant> LocalPort = std::nullopt,
              std::optional<Variant> LocalIP = std::nullopt);
    void SendData(const Variant& data);
    void GetData(Variant& data, std::optional<std::int32_t> varType = std::nullopt,
                 Variant* maxLen = nullptr);
    void PeekData(Variant& data, std::optional<std::int32_t> varType = std::nullopt,
                  Variant* maxLen = nullptr);
    void Listen();
    void Accept(std::int32_t requestID);

    // A notification's four values, from the runtime's router (only it has the badge).
    void WndProc(Badge<modNetSocket::Router>, std::intptr_t hWnd, std::uint32_t uMsg,
                 std::intptr_t wParam, std::intptr_t lParam);

private:
    struct PrivateTag {};

public:
    explicit CNetSocket(PrivateTag);

private:
    // An IPv4 address in network byte order, or nothing when none is available (yet).
    using Address = std::optional<std::uint32_t>;

    struct BlockingLookup {
        Address address;
        std::string dotted;
        std::int32_t errorCode = 0;
    };

    // Construction, properties, the native socket and error reporting (CNetSocket.cpp).
    bool SocketExists();
    void DestroySocket();
    void ProcessOptions();
    void ReportSocketError(std::int32_t code, const std::string& procedure);
    // The Error event (and its box, when a handler asks for it), leaving the state as it is.
    void RaiseErrorEvent(std::int32_t code, const std::string& procedure);
    bool IsUdp() const { return protocol_ != sckProtocolTcp; }
    // Raises 40020 "Invalid operation at current state" from `source` unless `allowed`.
    static void RequireState(bool allowed, const char* source);
    // A port argument as a number from `lowest` to 65535; raises 40018 for anything not
    // numeric and 40014 out of range, from `source`.
    static std::int32_t PortArgument(const Variant& value, std::int32_t lowest, const char* source);

    // Connecting, binding and name resolution (CNetSocketConnect.cpp).
    Address ResolveIfHostname(const std::string& host, std::int32_t action);
    void CompleteResolution(std::int32_t lookupHandle, std::int32_t errorCode);
    void ConnectToIP(Address address, std::int32_t errorCode);
    // wildcardByDefault: an implicit bind (before a connect or a first datagram) binds to
    // every local address, while BoundLocalIP still reports GetLocalIP's address.
    bool BindInternal(const std::optional<Variant>& port, const std::optional<Variant>& address,
                      bool wildcardByDefault);
    static BlockingLookup ResolveHostBlocking(const std::string& host);
    static std::string GetLocalHostName();
    static std::string GetLocalIP();
    static std::int32_t GetSocketLocalPort(sys::Handle handle);
    void* AllocateLookupBuffer();
    void FreeLookupBuffer();
    void CancelResolutions();

    // Notifications (CNetSocketEvents.cpp).
    void PostSocket(std::int32_t event, std::int32_t errorCode);
    // FD_READ on a connection: the waiting bytes join the receive buffer.
    void ReceiveStreamData();
    // FD_READ on a UDP object: DataArrival for the datagram waiting next.
    void AnnounceNextDatagram();
    // FD_CONNECT while connecting: the peer answered.
    void CompleteConnect();
    // FD_CLOSE on a connection: the peer ended it.
    void ReportPeerClose();

    // Sending (CNetSocketSend.cpp).
    void FlushSendBuffer();
    void SendBufferedData();
    void SendBufferedDataUDP();

    // Receiving (CNetSocketReceive.cpp).
    void ReadData(Variant& data, std::optional<std::int32_t> varType, Variant* maxLen, bool peek);
    std::int32_t RecvData(Variant& data, bool peek, std::optional<std::int32_t> varType,
                          std::optional<std::int32_t> maxLen);
    // Text or bytes: up to maxLen of those available, all of them without maxLen.
    std::int32_t RecvBytes(Variant& data, VarType type, bool typedVariable, std::size_t available,
                           bool peek, std::optional<std::int32_t> maxLen);
    // A number, date or other value of fixed size, once all its bytes are there.
    std::int32_t RecvFixedValue(Variant& data, VarType type, std::size_t available, bool peek);
    Variant::Bytes TakeReceivedBytes(std::size_t count, bool peek, std::int32_t& errorCode);
    std::int32_t RecvDataToBuffer();
    // UDP: the size of the datagram waiting next; 0 when none waits.
    std::int32_t GetPendingBytes() const;
    // The same, or nothing when no datagram waits (an empty one has size 0).
    std::optional<std::int32_t> NextDatagramSize() const;
    void DiscardDatagram();

    // Listening and accepting (CNetSocketListen.cpp).
    void AcceptIncomingConnection();
    void DropForeignHandle();
    // The connection is not parked yet: this object becomes the holder that parks it.
    void BecomeAcceptHolder(std::int32_t requestID);
    // The connection is parked: this object takes it, and what the holder received and saw
    // meanwhile, over from its holder.
    void TakeOverParkedConnection(std::int32_t requestID);
    void ReadAcceptedAddresses(std::int32_t requestID);
    static void RefuseConnection(sys::Handle requestID);
    static bool GetPeerAddress(sys::Handle handle, std::int32_t& port, std::string& address,
                               std::string& hostName);

    // Raises an event through a copy of its handler, holding this object alive meanwhile.
    template <typename Handler, typename... Args>
    void Raise(const Handler& handler, Args... args) {
        if (handler) {
            auto keepAlive = shared_from_this();
            Handler copy = handler;
            copy(args...);
        }
    }

    sys::Handle socketHandle_ = sys::kInvalidSocket;
    std::int32_t state_ = sckClosed;
    std::string tag_;
    std::string remoteHost_;
    std::int32_t remotePort_ = 0;
    std::string remoteHostIP_;
    std::int32_t localPort_ = 0;
    std::int32_t boundLocalPort_ = 0;
    std::string boundLocalIP_;
    std::int32_t protocol_ = sckProtocolTcp;
    std::unique_ptr<std::uint8_t[]> lookupBuffer_;
    std::int32_t sendChunkSize_ = 0;
    std::int32_t receiveChunkSize_ = 0;
    ByteQueue sendBuffer_;
    ByteQueue receiveBuffer_;
    bool isAcceptHolder_ = false;
    std::map<std::int32_t, std::int32_t> pendingLookups_;  // lookup handle -> follow-up action
    // Datagrams taken by a reading GetData; tells the FD_READ handling whether its
    // DataArrival handler consumed the datagram it announced.
    std::uint64_t datagramsTaken_ = 0;
};

}  // namespace zonbode::net
