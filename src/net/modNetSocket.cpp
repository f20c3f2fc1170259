#include "net/modNetSocket.h"

#include <map>
#include <optional>

#include "net/CNetSocket.h"
#include "net/Diagnostics.h"
#include "net/MessageBoxHook.h"
#include "net/NetworkErrorText.h"
#include "net/RaisedError.h"
#include "net/RouteTable.h"
#include "text/AnsiCodePage.h"

namespace zonbode::net::modNetSocket {

// The one caller of the objects' WndProc.
class Router {
public:
    static void Deliver(CNetSocket& owner, sys::WindowHandle window, std::uint32_t message,
                        std::intptr_t wParam, std::intptr_t lParam) {
        owner.WndProc({}, window, message, wParam, lParam);
    }
};

namespace {

constexpr std::uint16_t kRequestedVersion = 0x0101;  // 1.1
constexpr std::int32_t kOutOfMemory = 7;
// The keyed collections' own failures.
constexpr std::int32_t kInvalidCall = 5;
constexpr std::int32_t kDuplicateKey = 457;

struct Runtime {
    // Network service and notification window.
    std::int32_t UserCount = 0;
    bool ServiceStarted = false;
    sys::WindowHandle lngWindowHandle = 0;

    // The event router: the window it is attached to and the procedure it passes other
    // messages to.
    sys::WindowHandle routerWindow = 0;
    std::intptr_t previousProc = 0;
    RouteTable<CNetSocket> SocketRoutes;
    RouteTable<CNetSocket> ResolutionRoutes;

    // Registered sockets (the owner's identity is never read back) and parked connections.
    std::optional<std::map<sys::Handle, const CNetSocket*>> SocketCollection;
    std::optional<std::map<sys::Handle, std::shared_ptr<CNetSocket>>> AcceptCollection;

    std::int32_t routedErrors = 0;
    std::string lastRoutedError;
};

// Lives for the whole process: objects destroyed during exit still unregister here.
Runtime& State() {
    static auto* runtime = new Runtime;
    return *runtime;
}

[[noreturn]] void Raise(std::int32_t number, const char* operation, std::string description) {
    throw RaisedError(number, std::string("modNetSocket.") + operation, std::move(description));
}

[[noreturn]] void RaiseNetworkError(std::int32_t code, const char* operation) {
    Raise(code, operation, NetworkErrorText(code));
}

// An error that left an object's WndProc reaches no caller: it is counted and written to
// standard error, so that it is not lost.
void NoteRoutedError(const std::string& source, const std::string& text) {
    auto& s = State();
    ++s.routedErrors;
    s.lastRoutedError = source + ": " + text;
    WriteErrorLine(text, source);
}

// Hands one notification to the object that owns its socket or lookup. An error that
// leaves the object ends the handling of that message; it never reaches the dispatcher.
std::intptr_t EventRouter(sys::WindowHandle window, std::uint32_t message, std::intptr_t wParam,
                          std::intptr_t lParam) {
    auto& s = State();
    if (message != sys::kResolveDoneMessage && message != sys::kSocketEventMessage) {
        return sys::CallPreviousWindowProc(s.previousProc, window, message, wParam, lParam);
    }
    auto handle = static_cast<std::int32_t>(wParam);
    std::shared_ptr<CNetSocket> owner;
    if (message == sys::kResolveDoneMessage) {
        // A lookup completes once: its route goes with the delivery.
        owner = s.ResolutionRoutes.Find(handle).lock();
        s.ResolutionRoutes.RemoveRoute(handle);
    } else {
        owner = s.SocketRoutes.Find(handle).lock();
    }
    if (!owner) {
        return 0;
    }
    try {
        Router::Deliver(*owner, window, message, wParam, lParam);
    } catch (const RaisedError& error) {
        NoteRoutedError(error.Source(),
                        error.Description() + " (" + std::to_string(error.Number()) + ")");
    } catch (const std::exception& error) {
        NoteRoutedError("modNetSocket.EventRouter", error.what());
    } catch (...) {
        NoteRoutedError("modNetSocket.EventRouter", "unknown error");
    }
    return 0;
}

void BuildRouter() {
    auto& s = State();
    s.SocketRoutes.Clear();
    s.ResolutionRoutes.Clear();
}

void ReleaseRouter() {
    auto& s = State();
    DetachRouter();
    s.SocketRoutes.Clear();
    s.ResolutionRoutes.Clear();
}

}  // namespace

std::int32_t InitiateProcesses() {
    auto& s = State();
    ++s.UserCount;
    if (s.ServiceStarted) {
        return 0;
    }
    BuildRouter();
    s.ServiceStarted = true;
    int result = sys::Startup(kRequestedVersion);
    if (result != 0) {
        // The object that asked is not made, so it is not counted, and the next one tries
        // the start again.
        --s.UserCount;
        s.ServiceStarted = false;
        ReleaseRouter();
        RaiseNetworkError(result, "InitiateProcesses");
    }
    return 0;
}

std::int32_t FinalizeProcesses() {
    auto& s = State();
    --s.UserCount;
    // The object going away may still be named by a route: no route may lead to it.
    s.SocketRoutes.RemoveExpiredOwners();
    s.ResolutionRoutes.RemoveExpiredOwners();
    if (!s.ServiceStarted || s.UserCount != 0) {
        return 0;
    }
    if (sys::Cleanup() == sys::kSocketError) {
        RaiseNetworkError(sys::LastError(), "FinalizeProcesses");
    }
    ReleaseRouter();
    s.ServiceStarted = false;
    return 0;
}

std::int32_t CreateWinsockMessageWindow() {
    auto& s = State();
    s.lngWindowHandle = sys::CreateNotificationWindow();
    return s.lngWindowHandle != 0 ? 0 : kOutOfMemory;
}

std::int32_t DestroyWinsockMessageWindow() {
    auto& s = State();
    if (s.lngWindowHandle == 0) {
        return 0;
    }
    if (!sys::DestroyNotificationWindow(s.lngWindowHandle)) {
        Raise(kOutOfMemory, "DestroyWinsockMessageWindow", "Out of memory");
    }
    s.lngWindowHandle = 0;
    return 0;
}

bool RegisterSocket(sys::Handle handle, const std::shared_ptr<CNetSocket>& owner, bool withEvents) {
    auto& s = State();
    if (!s.SocketCollection) {
        s.SocketCollection.emplace();
        if (CreateWinsockMessageWindow() != 0) {
            Raise(kOutOfMemory, "RegisterSocket", "Out of memory");
        }
        AttachRouter(s.lngWindowHandle);
    }
    s.SocketRoutes.AddRoute(handle, owner);
    if (withEvents && sys::AsyncSelect(handle, s.lngWindowHandle, sys::kSocketEventMessage,
                                       sys::kEventMask) == sys::kSocketError) {
        RaiseNetworkError(sys::LastError(), "RegisterSocket");
    }
    if (!s.SocketCollection->emplace(handle, owner.get()).second) {
        Raise(kDuplicateKey, "RegisterSocket",
              "This key is already associated with an element of this collection");
    }
    return true;
}

void UnregisterSocket(sys::Handle handle) {
    auto& s = State();
    s.SocketRoutes.RemoveRoute(handle);
    // The teardown goes on past any failing step.
    bool empty = true;
    if (s.SocketCollection) {
        s.SocketCollection->erase(handle);
        empty = s.SocketCollection->empty();
    }
    if (!empty) {
        return;
    }
    s.SocketCollection.reset();
    DetachRouter();
    try {
        DestroyWinsockMessageWindow();
    } catch (const RaisedError&) {
    }
}

bool IsSocketRegistered(sys::Handle handle) {
    auto& s = State();
    return s.SocketCollection && s.SocketCollection->count(handle) != 0;
}

void ReassignSocket(sys::Handle handle, const std::shared_ptr<CNetSocket>& newOwner) {
    State().SocketRoutes.Reassign(handle, newOwner);
}

std::int32_t ResolveHostAsync(const std::string& host, void* buffer,
                              const std::shared_ptr<CNetSocket>& requester) {
    auto& s = State();
    std::int32_t lookup =
        sys::AsyncGetHostByName(s.lngWindowHandle, sys::kResolveDoneMessage,
                                text::TextToBytes(host), buffer, sys::kLookupBufferSize);
    if (lookup != 0) {
        s.ResolutionRoutes.AddRoute(lookup, requester);
    }
    return lookup;
}

void UnregisterResolution(std::int32_t lookupHandle) {
    State().ResolutionRoutes.RemoveRoute(lookupHandle);
}

void RegisterAccept(sys::Handle handle) {
    auto& s = State();
    std::shared_ptr<CNetSocket> holder = CNetSocket::Create();
    holder->Accept(handle);
    // Made with the first parked connection, so that a holder that failed leaves none empty.
    if (!s.AcceptCollection) {
        s.AcceptCollection.emplace();
    }
    if (!s.AcceptCollection->emplace(handle, holder).second) {
        Raise(kDuplicateKey, "RegisterAccept",
              "This key is already associated with an element of this collection");
    }
}

bool IsAcceptRegistered(sys::Handle handle) {
    auto& s = State();
    return s.AcceptCollection && s.AcceptCollection->count(handle) != 0;
}

std::shared_ptr<CNetSocket> GetAcceptedObject(sys::Handle handle) {
    auto& s = State();
    if (!s.AcceptCollection) {
        Raise(kInvalidCall, "GetAcceptedObject", "Invalid procedure call or argument");
    }
    auto it = s.AcceptCollection->find(handle);
    if (it == s.AcceptCollection->end()) {
        Raise(kInvalidCall, "GetAcceptedObject", "Invalid procedure call or argument");
    }
    return it->second;
}

void UnregisterAccept(sys::Handle handle) {
    auto& s = State();
    if (!s.AcceptCollection || s.AcceptCollection->count(handle) == 0) {
        Raise(kInvalidCall, "UnregisterAccept", "Invalid procedure call or argument");
    }
    // The holder may go with its entry; it goes once the collection is consistent again.
    std::shared_ptr<CNetSocket> holder = std::move(s.AcceptCollection->at(handle));
    s.AcceptCollection->erase(handle);
    if (s.AcceptCollection->empty()) {
        s.AcceptCollection.reset();
    }
    holder.reset();
}

bool AttachRouter(sys::WindowHandle window) {
    auto& s = State();
    if (s.routerWindow != 0) {
        return false;
    }
    s.routerWindow = window;
    s.previousProc = sys::SetWindowProc(window, &EventRouter);
    return s.previousProc != 0;
}

bool DetachRouter() {
    auto& s = State();
    if (s.routerWindow == 0) {
        return false;
    }
    s.SocketRoutes.Clear();
    s.ResolutionRoutes.Clear();
    sys::RestoreWindowProc(s.routerWindow, s.previousProc);
    s.routerWindow = 0;
    s.previousProc = 0;
    return true;
}

void RouteNow(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
    EventRouter(State().lngWindowHandle, message, wParam, lParam);
}

std::int32_t UserCount() {
    return State().UserCount;
}
bool ServiceStarted() {
    return State().ServiceStarted;
}
sys::WindowHandle WindowHandle() {
    return State().lngWindowHandle;
}
bool SocketCollectionExists() {
    return State().SocketCollection.has_value();
}
bool AcceptCollectionExists() {
    return State().AcceptCollection.has_value();
}
std::int32_t SocketRouteCount() {
    return State().SocketRoutes.Count();
}
std::int32_t SocketRouteHandle(std::int32_t slot) {
    return State().SocketRoutes.HandleAt(slot);
}
std::int32_t ResolutionRouteCount() {
    return State().ResolutionRoutes.Count();
}
std::int32_t ResolutionRouteHandle(std::int32_t slot) {
    return State().ResolutionRoutes.HandleAt(slot);
}
std::int32_t RoutedErrorCount() {
    return State().routedErrors;
}
std::string LastRoutedError() {
    return State().lastRoutedError;
}

}  // namespace zonbode::net::modNetSocket
