// The HTTPS seam with WinHTTP: the system's certificates and proxy settings (automatic proxy
// where the system has it), no redirects followed, one deadline for the whole exchange.
//
// WinHTTP's own timeouts bound each wait, not the exchange: a server that drips its head or
// its body a byte at a time keeps every wait short and the exchange going for as long as it
// likes. So the exchange runs on a thread of its own and the caller waits for it until the
// deadline; then it closes the request, which ends a call under way on it, and answers that
// the time is up.

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "http/HttpClient.h"
#include "http/HttpHeaderLine.h"

namespace zonbode::http {
namespace {

using Clock = std::chrono::steady_clock;

struct HandleDeleter {
    void operator()(void* handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleDeleter>;

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                        nullptr, nullptr);
    return text;
}

// Winsock's codes, which WinHTTP passes on for a connection the server broke off.
constexpr DWORD kConnectionAborted = 10053;  // WSAECONNABORTED
constexpr DWORD kConnectionReset = 10054;    // WSAECONNRESET

HttpFailure FailureOf(DWORD error, bool answering) {
    switch (error) {
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
        case ERROR_WINHTTP_INVALID_URL:
            return HttpFailure::BadUrl;
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            return HttpFailure::NoLookup;
        case ERROR_WINHTTP_TIMEOUT:
            return HttpFailure::TimedOut;
        case ERROR_WINHTTP_CANNOT_CONNECT:
            return HttpFailure::Refused;
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
            return HttpFailure::Untrusted;
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        case kConnectionReset:
        case kConnectionAborted:
            return answering ? HttpFailure::CutOff : HttpFailure::Refused;
        default:
            return HttpFailure::Other;
    }
}

HttpAnswer Failed(HttpFailure failure, std::string problem) {
    HttpAnswer answer;
    answer.failure = failure;
    answer.problem = std::move(problem);
    return answer;
}

HttpAnswer FailedCall(const char* call, bool answering) {
    const DWORD error = GetLastError();
    return Failed(FailureOf(error, answering),
                  std::string(call) + " failed (error " + std::to_string(error) + ")");
}

Handle OpenSession(DWORD timeoutMs) {
    // The automatic proxy needs Windows 8.1; older systems take the configured one.
    HINTERNET session = WinHttpOpen(L"Kavelo Zonbode", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                    WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (session == nullptr) {
        session = WinHttpOpen(L"Kavelo Zonbode", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                              WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    }
    if (session != nullptr) {
        const int t = static_cast<int>(timeoutMs);
        WinHttpSetTimeouts(session, t, t, t, t);
    }
    return Handle(session);
}

struct Target {
    std::wstring host;
    std::wstring path;  // with the query
    INTERNET_PORT port = 0;
    bool secure = false;
};

bool CrackUrl(const std::string& url, Target& target) {
    const std::wstring wide = Wide(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) {
        return false;
    }
    target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    target.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    target.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (target.path.empty()) {
        target.path = L"/";
    }
    target.port = parts.nPort;
    target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return !target.host.empty();
}

HttpHeaders ReadHeaders(HINTERNET request) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                        nullptr, &size, WINHTTP_NO_HEADER_INDEX);
    std::wstring raw(size / sizeof(wchar_t) + 1, L'\0');
    HttpHeaders headers;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                             raw.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
        return headers;
    }
    const std::string text = Narrow(std::wstring_view(raw.data(), size / sizeof(wchar_t)));
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find("\r\n", start);
        end = end == std::string::npos ? text.size() : end;
        if (auto header = ReadHeaderLine(std::string_view(text).substr(start, end - start))) {
            headers.push_back(std::move(*header));
        }
        start = end + 2;
    }
    return headers;
}

// The body, read until the server ends it, the cap is passed or the deadline comes.
HttpAnswer ReadBody(HINTERNET request, const HttpRequest& asked, Clock::time_point deadline) {
    HttpAnswer answer;
    DWORD status = 0;
    DWORD size = sizeof status;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    answer.status = static_cast<long>(status);
    answer.headers = ReadHeaders(request);
    char buffer[16 * 1024];
    DWORD got = 0;
    do {
        if (Clock::now() > deadline) {
            return Failed(HttpFailure::TimedOut, TimeoutProblem(asked.timeout));
        }
        if (!WinHttpReadData(request, buffer, sizeof buffer, &got)) {
            return FailedCall("WinHttpReadData", true);
        }
        if (answer.body.size() + got > asked.largestAnswer) {
            return Failed(
                HttpFailure::TooLarge,
                "the answer is larger than " + std::to_string(asked.largestAnswer) + " bytes");
        }
        answer.body.append(buffer, got);
    } while (got > 0);
    RefuseShortBody(answer);
    return answer;
}

std::wstring HeaderBlock(const HttpHeaders& headers) {
    std::string block;
    for (const auto& [name, value] : headers) {
        block += name + ": " + value + "\r\n";
    }
    return Wide(block);
}

// What the caller and the thread of one exchange share. The request handle is closed once:
// by the thread when the exchange is over, or by the caller when it stops waiting.
struct SharedExchange {
    std::mutex mutex;
    std::condition_variable ended;
    std::optional<HttpAnswer> answer;
    HINTERNET request = nullptr;
    bool abandoned = false;

    // False when the caller has already given up: the request is closed at once.
    bool Publish(HINTERNET handle) {
        std::lock_guard lock(mutex);
        request = handle;
        if (abandoned) {
            CloseLocked();
        }
        return !abandoned;
    }
    void CloseRequest() {
        std::lock_guard lock(mutex);
        CloseLocked();
    }
    void Abandon() {
        std::lock_guard lock(mutex);
        abandoned = true;
        CloseLocked();
    }

private:
    void CloseLocked() {
        if (request != nullptr) {
            WinHttpCloseHandle(request);
            request = nullptr;
        }
    }
};

HttpAnswer Exchange(const HttpRequest& request, const Target& target, Clock::time_point deadline,
                    SharedExchange& shared) {
    Handle session = OpenSession(static_cast<DWORD>(request.timeout.count()));
    if (!session) {
        return FailedCall("WinHttpOpen", false);
    }
    Handle connection(WinHttpConnect(session.get(), target.host.c_str(), target.port, 0));
    if (!connection) {
        return FailedCall("WinHttpConnect", false);
    }
    const std::wstring method = Wide(request.method);
    HINTERNET exchange = WinHttpOpenRequest(
        connection.get(), method.c_str(), target.path.c_str(), nullptr, WINHTTP_NO_REFERER,
        WINHTTP_DEFAULT_ACCEPT_TYPES, target.secure ? WINHTTP_FLAG_SECURE : 0);
    if (exchange == nullptr) {
        return FailedCall("WinHttpOpenRequest", false);
    }
    // Closed before the connection and the session that it belongs to.
    struct CloseRequestFirst {
        SharedExchange& shared;
        ~CloseRequestFirst() { shared.CloseRequest(); }
    } closeFirst{shared};
    if (!shared.Publish(exchange)) {
        return Failed(HttpFailure::TimedOut, TimeoutProblem(request.timeout));
    }
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(exchange, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    const std::wstring headers = HeaderBlock(request.headers);
    auto* body = const_cast<char*>(request.body.data());
    const auto bodySize = static_cast<DWORD>(request.body.size());
    if (!WinHttpSendRequest(exchange,
                            headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                            static_cast<DWORD>(headers.size()), body, bodySize, bodySize, 0)) {
        return FailedCall("WinHttpSendRequest", false);
    }
    if (!WinHttpReceiveResponse(exchange, nullptr)) {
        return FailedCall("WinHttpReceiveResponse", true);
    }
    return ReadBody(exchange, request, deadline);
}

}  // namespace

HttpAnswer HttpFetch(const HttpRequest& request) {
    Target target;
    if (!IsHttpUrl(request.url) || (request.method != "GET" && request.method != "POST") ||
        !CrackUrl(request.url, target)) {
        return Failed(HttpFailure::BadUrl,
                      "not an http:// or https:// request: " + request.method + " " + request.url);
    }
    const auto deadline = Clock::now() + request.timeout;
    auto shared = std::make_shared<SharedExchange>();
    std::thread([shared, request, target, deadline] {
        HttpAnswer answer = Exchange(request, target, deadline, *shared);
        std::lock_guard lock(shared->mutex);
        shared->answer = std::move(answer);
        shared->ended.notify_all();
    }).detach();
    std::unique_lock lock(shared->mutex);
    if (!shared->ended.wait_until(lock, deadline, [&] { return shared->answer.has_value(); })) {
        lock.unlock();
        shared->Abandon();  // the thread ends when WinHTTP lets go of it, and tells no one
        return Failed(HttpFailure::TimedOut, TimeoutProblem(request.timeout));
    }
    return std::move(*shared->answer);
}

}  // namespace zonbode::http
