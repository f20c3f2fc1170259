#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/WindowsSocketsCodes.h"

// The network calls the socket layer makes, in the shape of Windows Sockets 1.1 with
// asynchronous notification by window message. win32/ implements them with Winsock itself;
// posix/ emulates them (errno mapped to Windows Sockets codes, epoll, a resolver thread).
// The portable socket object and runtime call nothing else of the platform.
//
// Conventions: functions that fail return -1 (or kInvalidSocket) and set the code that
// LastError() reports; codes are Windows Sockets codes (10035 for "would block", ...).
// Addresses and ports inside SockAddrIn are in network byte order.
namespace zonbode::net::sys {

using Handle = std::int32_t;         // a socket
using WindowHandle = std::intptr_t;  // the notification window; 0 is none

inline constexpr Handle kInvalidSocket = -1;
inline constexpr int kSocketError = -1;
inline constexpr std::uint32_t kInaddrNone = 0xFFFFFFFFu;

inline constexpr int kAfInet = 2;
inline constexpr int kSockStream = 1;
inline constexpr int kSockDgram = 2;
inline constexpr int kIpprotoTcp = 6;
inline constexpr int kIpprotoUdp = 17;

inline constexpr int kSolSocket = 0xFFFF;
inline constexpr int kSoBroadcast = 0x20;
inline constexpr int kSoSndbuf = 0x1001;
inline constexpr int kSoRcvbuf = 0x1002;
inline constexpr int kSoMaxMsgSize = 0x2003;
inline constexpr int kMsgPeek = 2;

// Notification messages and network events.
inline constexpr std::uint32_t kResolveDoneMessage = 2048;
inline constexpr std::uint32_t kSocketEventMessage = 2049;
inline constexpr std::int32_t FD_READ = 1;
inline constexpr std::int32_t FD_WRITE = 2;
inline constexpr std::int32_t FD_ACCEPT = 8;
inline constexpr std::int32_t FD_CONNECT = 16;
inline constexpr std::int32_t FD_CLOSE = 32;
inline constexpr std::int32_t kEventMask = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

inline constexpr int kLookupBufferSize = 1024;

struct SockAddrIn {
    std::uint16_t family = kAfInet;
    std::uint16_t port = 0;  // network byte order
    std::uint32_t addr = 0;  // network byte order
};

// Network service.
int Startup(std::uint16_t version);  // 0, or the error code itself
int Cleanup();                       // 0, or -1
int LastError();

// Sockets.
Handle Socket(int af, int type, int protocol);
int CloseSocket(Handle s);
int Bind(Handle s, const SockAddrIn& local);
int Connect(Handle s, const SockAddrIn& remote);  // address or port 0: 10049 at once
int Listen(Handle s, int backlog);
// An accepted socket reports its events like the listening socket it came from.
Handle Accept(Handle s, SockAddrIn* peer);
// An accept that failed for want of a descriptor (10024) or of buffers (10055): the connection
// still waits, and the service holds FD_ACCEPT back for a short while instead of spinning.
constexpr bool IsOutOfDescriptorsOrBuffers(std::int32_t code) {
    return code == WsaCode("WSAEMFILE") || code == WsaCode("WSAENOBUFS");
}
int Send(Handle s, const void* data, int length, int flags);
int Recv(Handle s, void* buffer, int length, int flags);
int SendTo(Handle s, const void* data, int length, int flags, const SockAddrIn& to);
int RecvFrom(Handle s, void* buffer, int length, int flags, SockAddrIn* from);
int GetSockOpt(Handle s, int level, int name, std::int32_t* value);
int SetSockOpt(Handle s, int level, int name, std::int32_t value);
int GetPeerName(Handle s, SockAddrIn* name);
int GetSockName(Handle s, SockAddrIn* name);
int IoctlFionread(Handle s, std::uint32_t* count);

// Names and addresses. Names are 8-bit text in the system code page.
int GetHostName(char* buffer, int length);
// Blocking lookup: the first IPv4 address, or nullopt with LastError() set (11001..11004).
std::optional<std::uint32_t> GetHostByName(const std::string& name);
std::uint32_t InetAddr(const std::string& dotted);  // kInaddrNone when not a dotted address
std::string InetNtoa(std::uint32_t addr);           // "a.b.c.d"
std::uint16_t HostToNetShort(std::uint16_t value);
std::uint16_t NetToHostShort(std::uint16_t value);

// The notification window: a hidden window (Windows: class "STATIC", title "SOCKET_WINDOW")
// to which the service posts messages 2048 and 2049. Messages are handled one at a time on
// the thread that runs the loop, by the window's current procedure.
using WindowProc = std::intptr_t (*)(WindowHandle window, std::uint32_t message,
                                     std::intptr_t wParam, std::intptr_t lParam);
WindowHandle CreateNotificationWindow();  // 0 on failure
bool DestroyNotificationWindow(WindowHandle window);
// Installs proc as the window's procedure; returns the previous one (0 on failure).
std::intptr_t SetWindowProc(WindowHandle window, WindowProc proc);
void RestoreWindowProc(WindowHandle window, std::intptr_t previous);
std::intptr_t CallPreviousWindowProc(std::intptr_t previous, WindowHandle window,
                                     std::uint32_t message, std::intptr_t wParam,
                                     std::intptr_t lParam);

// Subscribes s to events (non-blocking from here on): each is posted as `message` with
// wParam = s and lParam = event | (error << 16).
int AsyncSelect(Handle s, WindowHandle window, std::uint32_t message, std::int32_t events);

// Starts a lookup; its completion is posted as `message` with wParam = the returned handle
// and lParam = error << 16. When the message is handled, buffer holds the result. 0 on failure;
// 10055 (no buffer space) while kMaxPendingLookups lookups are started and neither handled
// nor cancelled.
inline constexpr int kMaxPendingLookups = 64;
std::int32_t AsyncGetHostByName(WindowHandle window, std::uint32_t message, const std::string& name,
                                void* buffer, int bufferLength);
// A cancelled lookup's completion is never posted.
int CancelAsyncRequest(std::int32_t lookupHandle);
// The first IPv4 address in a completed lookup's buffer (network byte order).
std::optional<std::uint32_t> FirstAddressInLookupBuffer(const void* buffer);

}  // namespace zonbode::net::sys
