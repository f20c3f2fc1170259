// Host-name lookups: the blocking call and the asynchronous one with its completion message.

#include <memory>
#include <thread>
#include <vector>

#include "net/SocketApiFixture.h"

namespace zonbode::net::testing {
namespace {

class SocketApiLookupTest : public SocketApiTest {
protected:
    const Note* CompletionOf(std::int32_t lookup) const {
        for (const Note& n : Notes()) {
            if (n.message == sys::kResolveDoneMessage && n.wParam == lookup) {
                return &n;
            }
        }
        return nullptr;
    }

    int CompletionCount(std::int32_t lookup) const {
        int count = 0;
        for (const Note& n : Notes()) {
            count += (n.message == sys::kResolveDoneMessage && n.wParam == lookup) ? 1 : 0;
        }
        return count;
    }
};

TEST_F(SocketApiLookupTest, LocalhostResolvesToTheLoopbackAddress) {
    auto buffer = std::make_unique<char[]>(sys::kLookupBufferSize);
    std::int32_t lookup = sys::AsyncGetHostByName(window_, sys::kResolveDoneMessage, "localhost",
                                                  buffer.get(), sys::kLookupBufferSize);
    ASSERT_NE(0, lookup);
    ASSERT_TRUE(WaitFor([&] { return CompletionOf(lookup) != nullptr; }));
    const Note* done = CompletionOf(lookup);
    EXPECT_EQ(window_, done->window);
    EXPECT_EQ(0, done->error);
    auto address = sys::FirstAddressInLookupBuffer(buffer.get());
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ("127.0.0.1", sys::InetNtoa(*address));
    Settle(std::chrono::milliseconds(100));
    EXPECT_EQ(1, CompletionCount(lookup));
}

TEST_F(SocketApiLookupTest, UnknownNameFailsWithHostNotFound) {
    auto buffer = std::make_unique<char[]>(sys::kLookupBufferSize);
    std::int32_t lookup =
        sys::AsyncGetHostByName(window_, sys::kResolveDoneMessage, "no-such-host.invalid",
                                buffer.get(), sys::kLookupBufferSize);
    ASSERT_NE(0, lookup);
    ASSERT_TRUE(WaitFor([&] { return CompletionOf(lookup) != nullptr; }));
    EXPECT_EQ(11001, CompletionOf(lookup)->error);

    EXPECT_FALSE(sys::GetHostByName("no-such-host.invalid").has_value());
    EXPECT_EQ(11001, sys::LastError());
}

TEST_F(SocketApiLookupTest, CancelledLookupNeverCompletes) {
    auto cancelledBuffer = std::make_unique<char[]>(sys::kLookupBufferSize);
    auto otherBuffer = std::make_unique<char[]>(sys::kLookupBufferSize);
    std::int32_t cancelled = sys::AsyncGetHostByName(window_, sys::kResolveDoneMessage, "localhost",
                                                     cancelledBuffer.get(), sys::kLookupBufferSize);
    std::int32_t other = sys::AsyncGetHostByName(window_, sys::kResolveDoneMessage, "localhost",
                                                 otherBuffer.get(), sys::kLookupBufferSize);
    ASSERT_NE(0, cancelled);
    ASSERT_NE(0, other);
    EXPECT_NE(cancelled, other);

    ASSERT_EQ(0, sys::CancelAsyncRequest(cancelled));
    cancelledBuffer.reset();  // the requester may free its buffer right away

    ASSERT_TRUE(WaitFor([&] { return CompletionOf(other) != nullptr; }));
    Settle();
    EXPECT_EQ(0, CompletionCount(cancelled));
    EXPECT_NE(0, sys::CancelAsyncRequest(cancelled)) << "already cancelled";
}

TEST_F(SocketApiLookupTest, CancellingAfterTheAnswerCameStillDropsIt) {
    auto buffer = std::make_unique<char[]>(sys::kLookupBufferSize);
    std::int32_t lookup = sys::AsyncGetHostByName(window_, sys::kResolveDoneMessage, "localhost",
                                                  buffer.get(), sys::kLookupBufferSize);
    ASSERT_NE(0, lookup);
    // Let the lookup most likely finish, its completion waiting unhandled. Either way the
    // cancel must keep the completion from arriving.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_EQ(0, sys::CancelAsyncRequest(lookup));
    buffer.reset();
    Settle();
    EXPECT_EQ(0, CompletionCount(lookup));
}

TEST_F(SocketApiLookupTest, ManyLookupsGetDistinctNonZeroHandles) {
    constexpr int kLookups = 20;
    std::vector<std::unique_ptr<char[]>> buffers;
    std::vector<std::int32_t> handles;
    for (int i = 0; i < kLookups; ++i) {
        buffers.push_back(std::make_unique<char[]>(sys::kLookupBufferSize));
        std::int32_t handle =
            sys::AsyncGetHostByName(window_, sys::kResolveDoneMessage, "127.0.0.1",
                                    buffers.back().get(), sys::kLookupBufferSize);
        ASSERT_NE(0, handle);
        for (std::int32_t earlier : handles) {
            ASSERT_NE(earlier, handle);
        }
        handles.push_back(handle);
    }
    ASSERT_TRUE(WaitFor([&] {
        for (std::int32_t handle : handles) {
            if (CompletionOf(handle) == nullptr) {
                return false;
            }
        }
        return true;
    }));
    for (int i = 0; i < kLookups; ++i) {
        EXPECT_EQ(0, CompletionOf(handles[i])->error);
        auto address = sys::FirstAddressInLookupBuffer(buffers[i].get());
        ASSERT_TRUE(address.has_value());
        EXPECT_EQ(sys::InetAddr("127.0.0.1"), *address);
    }
}

TEST_F(SocketApiLookupTest, BlockingLookupAndAddressText) {
    auto address = sys::GetHostByName("localhost");
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ("127.0.0.1", sys::InetNtoa(*address));

    char name[256] = {};
    ASSERT_EQ(0, sys::GetHostName(name, sizeof name));
    EXPECT_NE('\0', name[0]);

    EXPECT_EQ(sys::kInaddrNone, sys::InetAddr("not.an.address"));
    EXPECT_EQ(sys::kInaddrNone, sys::InetAddr(""));
    std::uint32_t parsed = sys::InetAddr("192.0.2.1");
    EXPECT_EQ("192.0.2.1", sys::InetNtoa(parsed));
    EXPECT_EQ(0x1234, sys::NetToHostShort(sys::HostToNetShort(0x1234)));
}

}  // namespace
}  // namespace zonbode::net::testing
