// The HTTPS seam with libcurl: the system's certificate store, no redirects followed.

#include <curl/curl.h>

#include <memory>

#include "http/HttpClient.h"
#include "http/HttpHeaderLine.h"

namespace zonbode::http {
namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// libcurl's global set-up, once per process, before the first handle.
void InitializeCurl() {
    static const bool initialized = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialized;
}

struct Transfer {
    std::size_t largest = 0;
    std::string body;
    HttpHeaders headers;
    bool tooLarge = false;
};

std::size_t CollectBody(char* data, std::size_t size, std::size_t count, void* target) {
    auto& transfer = *static_cast<Transfer*>(target);
    const std::size_t length = size * count;
    if (transfer.body.size() + length > transfer.largest) {
        transfer.tooLarge = true;
        return 0;  // ends the transfer with CURLE_WRITE_ERROR
    }
    transfer.body.append(data, length);
    return length;
}

std::size_t CollectHeader(char* data, std::size_t size, std::size_t count, void* target) {
    auto& transfer = *static_cast<Transfer*>(target);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        transfer.headers.clear();  // a new answer's head (after "100 Continue", say)
    } else if (auto header = ReadHeaderLine(line)) {
        transfer.headers.push_back(std::move(*header));
    }
    return size * count;
}

HttpFailure FailureOf(CURLcode result) {
    switch (result) {
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            return HttpFailure::BadUrl;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return HttpFailure::NoLookup;
        case CURLE_COULDNT_CONNECT:
        case CURLE_SSL_CONNECT_ERROR:
            return HttpFailure::Refused;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
            return HttpFailure::Untrusted;
        case CURLE_OPERATION_TIMEDOUT:
            return HttpFailure::TimedOut;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_SEND_ERROR:
            return HttpFailure::CutOff;
        default:
            return HttpFailure::Other;
    }
}

void SetRequest(CURL* e, const HttpRequest& request, curl_slist* headers) {
    const long milliseconds = static_cast<long>(request.timeout.count());
    curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);  // timeouts without signals: we have threads
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, milliseconds);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, milliseconds);
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Kavelo Zonbode");
    curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers);
    if (request.method == "POST") {
        curl_easy_setopt(e, CURLOPT_POST, 1L);
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
    }
}

}  // namespace

HttpAnswer HttpFetch(const HttpRequest& request) {
    HttpAnswer answer;
    if (!IsHttpUrl(request.url) || (request.method != "GET" && request.method != "POST")) {
        answer.failure = HttpFailure::BadUrl;
        answer.problem =
            "not an http:// or https:// request: " + request.method + " " + request.url;
        return answer;
    }
    InitializeCurl();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const auto& [name, value] : request.headers) {
        const std::string line = name + ": " + value;
        headers.reset(curl_slist_append(headers.release(), line.c_str()));
    }
    if (!easy || (!request.headers.empty() && !headers)) {
        answer.failure = HttpFailure::Other;
        answer.problem = "libcurl could not start a transfer";
        return answer;
    }
    Transfer transfer;
    transfer.largest = request.largestAnswer;
    char detail[CURL_ERROR_SIZE] = "";
    CURL* e = easy.get();
    SetRequest(e, request, headers.get());
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, CollectHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &transfer);
    const CURLcode result = curl_easy_perform(e);
    if (transfer.tooLarge) {
        answer.failure = HttpFailure::TooLarge;
        answer.problem =
            "the answer is larger than " + std::to_string(request.largestAnswer) + " bytes";
    } else if (result == CURLE_OPERATION_TIMEDOUT) {
        answer.failure = HttpFailure::TimedOut;
        answer.problem = TimeoutProblem(request.timeout);
    } else if (result != CURLE_OK) {
        answer.failure = FailureOf(result);
        answer.problem = detail[0] != '\0' ? detail : curl_easy_strerror(result);
    } else {
        curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &answer.status);
        answer.headers = std::move(transfer.headers);
        answer.body = std::move(transfer.body);
    }
    return answer;
}

}  // namespace zonbode::http
