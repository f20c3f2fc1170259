#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "net/SocketApi.h"

namespace zonbode::net {
class CNetSocket;
}

// The process-wide part of the socket layer: the network service counted by live socket
// objects, the notification window, the route tables that hand every notification to the
// object that owns its socket or lookup, and the parked accepted connections.
// Everything here runs on the one thread that runs the event loop.
namespace zonbode::net::modNetSocket {

// Network service and notification window.
std::int32_t InitiateProcesses();
std::int32_t FinalizeProcesses();
std::int32_t CreateWinsockMessageWindow();
std::int32_t DestroyWinsockMessageWindow();

// Socket registry and routing. Owners are held weakly: a route never keeps an object alive,
// and never leads to a destroyed one.
bool RegisterSocket(sys::Handle handle, const std::shared_ptr<CNetSocket>& owner, bool withEvents);
void UnregisterSocket(sys::Handle handle);
bool IsSocketRegistered(sys::Handle handle);
void ReassignSocket(sys::Handle handle, const std::shared_ptr<CNetSocket>& newOwner);

// Lookups. The buffer is the requester's 1024-byte lookup buffer.
std::int32_t ResolveHostAsync(const std::string& host, void* buffer,
                              const std::shared_ptr<CNetSocket>& requester);
void UnregisterResolution(std::int32_t lookupHandle);

// Accepted connections parked in holder objects until a user object takes them.
void RegisterAccept(sys::Handle handle);
bool IsAcceptRegistered(sys::Handle handle);
std::shared_ptr<CNetSocket> GetAcceptedObject(sys::Handle handle);  // throws if not parked
void UnregisterAccept(sys::Handle handle);

}  // namespace zonbode::net::modNetSocket
