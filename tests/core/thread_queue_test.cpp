#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <thread>

#include "platform/ThreadMessageQueue.h"

using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {

long ElapsedMs(Clock::time_point since) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// Each test starts and ends with an empty queue on the test thread.
class ThreadQueueTest : public testing::Test {
protected:
    void SetUp() override { CloseThreadQueue(); }
    void TearDown() override { CloseThreadQueue(); }
};

TEST_F(ThreadQueueTest, PostFailsToAThreadWithoutQueue) {
    std::promise<void> release;
    std::thread idle([future = release.get_future()]() mutable { future.wait(); });
    errno = 0;
    EXPECT_FALSE(PostThreadMessage(static_cast<ThreadId>(idle.native_handle()), 1, 0, 0));
    EXPECT_EQ(errno, ESRCH);
    release.set_value();
    idle.join();
}

TEST_F(ThreadQueueTest, PeekLooksOrTakesInOrder) {
    ThreadMessage message;
    EXPECT_FALSE(PeekThreadMessage(&message, false));  // creates the queue
    ASSERT_TRUE(PostThreadMessage(CurrentThreadId(), 7, 70, -7));
    ASSERT_TRUE(PostThreadMessage(CurrentThreadId(), 8, 80, -8));

    ASSERT_TRUE(PeekThreadMessage(&message, false));
    EXPECT_EQ(message.message, 7u);
    ASSERT_TRUE(PeekThreadMessage(&message, false));
    EXPECT_EQ(message.message, 7u) << "a peek without remove leaves the message first";

    ASSERT_TRUE(PeekThreadMessage(&message, true));
    EXPECT_EQ(message.message, 7u);
    EXPECT_EQ(message.wParam, 70u);
    EXPECT_EQ(message.lParam, -7);
    ASSERT_TRUE(PeekThreadMessage(&message, true));
    EXPECT_EQ(message.message, 8u);
    EXPECT_FALSE(PeekThreadMessage(&message, true));
}

TEST_F(ThreadQueueTest, GetWithFilterLeavesTheOthersQueuedInOrder) {
    PeekThreadMessage(nullptr, false);
    for (unsigned number : {1u, 1035u, 2u, 1036u, 3u}) ASSERT_TRUE(PostThreadMessage(CurrentThreadId(), number, 0, 0));

    ThreadMessage message;
    GetThreadMessage(&message, 1035, 1036);
    EXPECT_EQ(message.message, 1035u);
    GetThreadMessage(&message, 1036, 1036);
    EXPECT_EQ(message.message, 1036u);

    for (unsigned expected : {1u, 2u, 3u}) {
        ASSERT_TRUE(PeekThreadMessage(&message, true));
        EXPECT_EQ(message.message, expected);
    }
    EXPECT_FALSE(PeekThreadMessage(&message, true));
}

TEST_F(ThreadQueueTest, WaitAnswersDeviceMessageOrTimeout) {
    int pipeFds[2];
    ASSERT_EQ(pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK), 0);
    const int readEnd = pipeFds[0];
    const int writeEnd = pipeFds[1];

    Clock::time_point start = Clock::now();
    EXPECT_EQ(WaitDeviceOrMessage(readEnd, 80), WaitResult::Timeout);
    EXPECT_GE(ElapsedMs(start), 80);
    EXPECT_EQ(WaitDeviceOrMessage(-1, 0), WaitResult::Timeout);

    ASSERT_TRUE(PostThreadMessage(CurrentThreadId(), 5, 0, 0));
    EXPECT_EQ(WaitDeviceOrMessage(readEnd, 1000), WaitResult::Message);
    EXPECT_EQ(WaitDeviceOrMessage(-1, 1000), WaitResult::Message) << "the message is still queued";

    ASSERT_EQ(write(writeEnd, "x", 1), 1);
    short events = 0;
    EXPECT_EQ(WaitDeviceOrMessage(readEnd, 1000, &events), WaitResult::Device) << "a ready device wins";
    EXPECT_TRUE(events & POLLIN);
    char byte;
    ASSERT_EQ(read(readEnd, &byte, 1), 1);
    EXPECT_EQ(WaitDeviceOrMessage(readEnd, 1000), WaitResult::Message);
    ThreadMessage message;
    ASSERT_TRUE(PeekThreadMessage(&message, true));

    // A hung-up device must be reported, or a worker would wait on it for ever.
    close(writeEnd);
    EXPECT_EQ(WaitDeviceOrMessage(readEnd, 1000, &events), WaitResult::Device);
    EXPECT_TRUE(events & POLLHUP);
    close(readEnd);
}

TEST_F(ThreadQueueTest, BlockedWaiterWakesOnPost) {
    std::promise<ThreadId> ready;
    WaitResult result = WaitResult::Failed;
    long waitedMs = -1;
    std::thread worker([&] {
        PeekThreadMessage(nullptr, false);
        ready.set_value(CurrentThreadId());
        Clock::time_point start = Clock::now();
        result = WaitDeviceOrMessage(-1, 10000);
        waitedMs = ElapsedMs(start);
        CloseThreadQueue();
    });
    ThreadId id = ready.get_future().get();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the worker reach its wait
    ASSERT_TRUE(PostThreadMessage(id, 1035, 0, 0));
    worker.join();
    EXPECT_EQ(result, WaitResult::Message);
    EXPECT_LT(waitedMs, 2000);
}

TEST_F(ThreadQueueTest, ClosedQueueRefusesPostsAndHandsBackWhatWasQueued) {
    std::promise<ThreadId> ready;
    std::promise<void> posted;
    std::vector<ThreadMessage> left;
    std::thread worker([&] {
        PeekThreadMessage(nullptr, false);
        ready.set_value(CurrentThreadId());
        posted.get_future().wait();
        left = CloseThreadQueue();
    });
    ThreadId id = ready.get_future().get();
    ASSERT_TRUE(PostThreadMessage(id, 1034, 11, 0));
    ASSERT_TRUE(PostThreadMessage(id, 1034, 22, 0));
    posted.set_value();
    worker.join();

    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].wParam, 11u);
    EXPECT_EQ(left[1].wParam, 22u);
    errno = 0;
    EXPECT_FALSE(PostThreadMessage(id, 1034, 33, 0));
    EXPECT_EQ(errno, ESRCH);
}

}  // namespace
