// The HTTPS seam against a real loopback server: what is sent and received, and each way an
// exchange can fail, told apart.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "http/HttpClient.h"
#include "live/posix/LiveTestSupport.h"

namespace zonbode::http {

using live::testing::RecordedApi;
using namespace std::chrono_literals;

namespace {

// A loopback port that nothing listens on (bound, then closed).
int ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(api_.Listening()) << api_.FirstLine(); }
    RecordedApi api_;
};

TEST_F(HttpClientTest, PostSendsItsHeadersAndBodyAndReadsTheAnswersHeaders) {
    HttpRequest request;
    request.method = "POST";
    request.url = api_.Url("echo");
    request.headers = {{"Authorization", "Bearer xoxp-1"}, {"Content-Type", "application/json"}};
    request.body = R"({"status":"zon"})";
    const HttpAnswer answer = HttpFetch(request);
    ASSERT_TRUE(answer.answered()) << answer.problem;
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.Header("x-ECHO"), "yes");
    EXPECT_EQ(answer.Header("X-Missing"), "");
    EXPECT_NE(answer.body.find(R"("Authorization": "Bearer xoxp-1")"), std::string::npos)
        << answer.body;
    EXPECT_NE(answer.body.find(R"("body": "{\"status\":\"zon\"}")"), std::string::npos)
        << answer.body;
}

TEST_F(HttpClientTest, EachFailureHasItsKind) {
    const struct {
        std::string url;
        std::size_t largest;
        HttpFailure expected;
        long status = 0;  // of an answer
    } cases[] = {
        {api_.Url("http-503") + "/v1/search?name=a&count=10&language=nl&format=json", 1 << 20,
         HttpFailure::None, 503},
        {"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/", 1 << 20, HttpFailure::Refused},
        {api_.Url("silent") + "/v1/search?name=a&count=10&language=nl&format=json", 1 << 20,
         HttpFailure::TimedOut},
        {api_.Url("cutoff") + "/v1/search?name=a&count=10&language=nl&format=json", 1 << 20,
         HttpFailure::CutOff},
        {api_.Url("hangup") + "/v1/search?name=a&count=10&language=nl&format=json", 1 << 20,
         HttpFailure::CutOff},
        {api_.Url("geo") + "/v1/search?name=De%20Bilt&count=10&language=nl&format=json", 100,
         HttpFailure::TooLarge},
        {"ftp://127.0.0.1/", 1 << 20, HttpFailure::BadUrl},
        {"https:///nohost", 1 << 20, HttpFailure::BadUrl},
    };
    for (const auto& c : cases) {
        HttpRequest request;
        request.url = c.url;
        request.largestAnswer = c.largest;
        request.timeout = 1500ms;
        const HttpAnswer answer = HttpFetch(request);
        EXPECT_EQ(static_cast<int>(answer.failure), static_cast<int>(c.expected))
            << c.url << ": " << answer.problem;
        EXPECT_EQ(answer.problem.empty(), c.expected == HttpFailure::None) << c.url;
        EXPECT_EQ(answer.status, c.status) << c.url;
        if (c.status == 503) {
            EXPECT_EQ(answer.Header("Retry-After"), "60");
        }
    }
}

// Certificates are checked: one nobody vouches for is told apart from a network that fails.
TEST(HttpClientCertificates, ACertificateNobodyTrustsIsUntrusted) {
    live::testing::UntrustedServer server;
    ASSERT_TRUE(server.Listening()) << server.FirstLine();
    HttpRequest request;
    request.url = server.Url() + "/";
    const HttpAnswer answer = HttpFetch(request);
    EXPECT_EQ(static_cast<int>(answer.failure), static_cast<int>(HttpFailure::Untrusted))
        << answer.problem;
}

}  // namespace
}  // namespace zonbode::http
