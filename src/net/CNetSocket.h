#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "net/Variant.h"

namespace zonbode::net {

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

    // Called only by the runtime's router with a notification's four values.
    void WndProc(std::intptr_t hWnd, std::uint32_t uMsg, std::intptr_t wParam,
                 std::intptr_t lParam);

private:
    struct PrivateTag {};

public:
    explicit CNetSocket(PrivateTag);

private:
    // Fields and private operations follow here.
};

}  // namespace zonbode::net
