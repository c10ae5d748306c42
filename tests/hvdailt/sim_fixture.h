// Shared fixture of the simulator's tests: a fresh simulator per test, and small helpers.
#ifndef HVSIM_TESTS_SIM_FIXTURE_H
#define HVSIM_TESTS_SIM_FIXTURE_H

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "HVDAILT.h"
#include "hvsim_control.h"

class SimTest : public ::testing::Test {
protected:
    void SetUp() override { hvsim_reset(); }
    void TearDown() override { hvsim_reset(); }

    static HHV Begin(int32_t device) {
        HHV handle = 0;
        EXPECT_EQ(BeginHVDevice(device, &handle), 0);
        return handle;
    }

    static HvSimCameraState State(int32_t device) {
        HvSimCameraState s{};
        EXPECT_EQ(hvsim_get_state(device, &s), 0);
        return s;
    }

    static std::vector<HvSimCall> Calls() {
        std::vector<HvSimCall> all(static_cast<size_t>(hvsim_log_count()));
        for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(hvsim_log_get(static_cast<int32_t>(i), &all[i]), 0);
        return all;
    }
};

// A snap callback that records what it was handed. One recorder at a time per test.
struct CallbackRecorder {
    static constexpr int kMax = 4096;
    static inline std::atomic<int> count{0};
    static inline SnapInfo infos[kMax];
    static inline std::atomic<bool> closed{false};  // set by the test when a stop call has returned
    static inline std::atomic<int> afterClose{0};

    static void Clear() {
        count = 0;
        closed = false;
        afterClose = 0;
    }
    static int32_t KX_CALL Callback(SnapInfo* info) {
        if (closed) ++afterClose;
        const int n = count.load();
        if (n < kMax) infos[n] = *info;
        count.store(n + 1);
        count.notify_all();
        return 1;
    }
    // Blocks until at least n callbacks have come.
    static void AwaitCount(int n) {
        for (int seen = count.load(); seen < n; seen = count.load()) count.wait(seen);
    }
};

#endif
