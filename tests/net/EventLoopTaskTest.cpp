// Tasks handed to the loop from other threads: they run on the loop's thread, in posting
// order, while a socket object keeps the runtime up; once it is down they are dropped.

#include <thread>
#include <vector>

#include "net/CNetSocketTestSupport.h"

namespace zonbode::net::testing {
namespace {

TEST(EventLoopTaskTest, TasksFromOtherThreadsRunOnTheLoopThreadInOrder) {
    auto keepsRuntimeUp = CNetSocket::Create();
    const auto loopThread = std::this_thread::get_id();
    constexpr int kTasks = 200;
    std::vector<int> ran;
    bool allOnLoopThread = true;
    std::thread poster([&] {
        for (int i = 0; i < kTasks; ++i) {
            EventLoop::PostTask([&, i] {
                allOnLoopThread = allOnLoopThread && std::this_thread::get_id() == loopThread;
                ran.push_back(i);
            });
        }
    });
    ASSERT_TRUE(RunUntil([&] { return ran.size() == kTasks; }));
    poster.join();
    EXPECT_TRUE(allOnLoopThread);
    for (int i = 0; i < kTasks; ++i) {
        ASSERT_EQ(i, ran[i]);
    }
}

TEST(EventLoopTaskTest, TasksStillQueuedWhenTheRuntimeStopsAreDropped) {
    int ran = 0;
    {
        auto keepsRuntimeUp = CNetSocket::Create();
        std::thread([&] { EventLoop::PostTask([&] { ++ran; }); }).join();
    }
    EventLoop::PostTask([&] { ++ran; });  // nothing runs without the runtime
    {
        auto again = CNetSocket::Create();
        EventLoop::PostTask([&] { ran += 10; });
        ASSERT_TRUE(RunUntil([&] { return ran != 0; }));
    }
    EXPECT_EQ(10, ran);
}

}  // namespace
}  // namespace zonbode::net::testing
