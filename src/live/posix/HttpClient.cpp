// HttpGet with libcurl.

#include "HttpGet.h"

#include <curl/curl.h>

#include <memory>

namespace zonbode::gateway {
namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

// libcurl's global set-up, once per process, before the first handle.
void InitializeCurl() {
    static const bool initialized = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialized;
}

struct Body {
    std::string bytes;
    bool tooLarge = false;
};

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* target) {
    auto& body = *static_cast<Body*>(target);
    const std::size_t length = size * count;
    if (body.bytes.size() + length > kLargestAnswer) {
        body.tooLarge = true;
        return 0;  // ends the transfer with CURLE_WRITE_ERROR
    }
    body.bytes.append(data, length);
    return length;
}

}  // namespace

HttpAnswer HttpGet(const std::string& url, std::chrono::seconds timeout) {
    InitializeCurl();
    HttpAnswer answer;
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) {
        answer.problem = "libcurl could not start a transfer";
        return answer;
    }
    Body body;
    char detail[CURL_ERROR_SIZE] = "";
    const long milliseconds = static_cast<long>(timeout.count()) * 1000;
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);  // timeouts without signals: we have threads
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, milliseconds);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, milliseconds);
    curl_easy_setopt(e, CURLOPT_USERAGENT, "zonbode-gateway");
    curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &body);
    const CURLcode result = curl_easy_perform(e);
    if (result == CURLE_OPERATION_TIMEDOUT) {
        answer.problem = "no answer within " + std::to_string(timeout.count()) + " s";
    } else if (body.tooLarge) {
        answer.problem = "the answer is larger than " + std::to_string(kLargestAnswer) + " bytes";
    } else if (result != CURLE_OK) {
        answer.problem = detail[0] != '\0' ? detail : curl_easy_strerror(result);
    } else {
        curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &answer.status);
        answer.body = std::move(body.bytes);
    }
    return answer;
}

}  // namespace zonbode::gateway
