// The frame event's contract, run against whichever platform implementation the build uses.
#include "platform/frame_event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace korvex::platform {
namespace {

using namespace std::chrono_literals;

class FrameEventTest : public ::testing::Test {
protected:
    void SetUp() override {
        event_ = CreateFrameEvent();
        ASSERT_NE(event_, 0u);
    }
    void TearDown() override { CloseFrameEvent(event_); }
    FrameEvent event_ = 0;
};

TEST_F(FrameEventTest, StartsUnsetAndTimesOutDistinctly) {
    EXPECT_EQ(WaitFrameEvent(event_, 0), WaitResult::TimedOut);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitFrameEvent(event_, 30), WaitResult::TimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

TEST_F(FrameEventTest, SignalsCollapseAndOneWaitConsumesThem) {
    SignalFrameEvent(event_);
    SignalFrameEvent(event_);
    SignalFrameEvent(event_);
    EXPECT_EQ(WaitFrameEvent(event_, 0), WaitResult::Signalled);
    EXPECT_EQ(WaitFrameEvent(event_, 0), WaitResult::TimedOut);
}

TEST_F(FrameEventTest, WakesAWaiterOnAnotherThread) {
    std::atomic<bool> woke{false};
    std::thread waiter([&] {
        EXPECT_EQ(WaitFrameEvent(event_, kWaitForever), WaitResult::Signalled);
        woke = true;
    });
    std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(woke);
    SignalFrameEvent(event_);
    waiter.join();
    EXPECT_TRUE(woke);
}

TEST_F(FrameEventTest, ARetainedReferenceOutlivesTheClosedOriginal) {
    FrameEvent held = RetainFrameEvent(event_);
    ASSERT_NE(held, 0u);
    std::thread waiter([held] { EXPECT_EQ(WaitFrameEvent(held, 2000), WaitResult::Signalled); });
    std::this_thread::sleep_for(5ms);
    SignalFrameEvent(event_);
    waiter.join();
    CloseFrameEvent(held);
}

TEST(FrameEventNone, NoEventFailsAtOnceAndIgnoresSignals) {
    EXPECT_EQ(WaitFrameEvent(0, 1000), WaitResult::Failed);
    SignalFrameEvent(0);
    CloseFrameEvent(0);
    EXPECT_EQ(RetainFrameEvent(0), 0u);
}

}  // namespace
}  // namespace korvex::platform
