#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "monitor/probe.h"

namespace {

TEST(EchoReplyLatency, TakesTheTimeOfPlainEchoRepliesOnly) {
    struct Case {
        std::uint32_t count, status, roundTrip;
        std::int32_t expected;
    };
    const Case cases[] = {
        {1, 0, 0, 0},                // loopback answers within the millisecond
        {1, 0, 37, 37},
        {2, 0, 12, 12},              // more than one reply: the first one counts
        {0, 0, 25, -1},               // no reply at all
        {0, 11010, 0xFFFFFFFFu, -1}, // timed out, field left as preset
        {1, 11003, 4, -1},           // destination host unreachable, from a router
        {1, 11013, 9, -1},           // time to live exceeded in transit
        {1, 0, 0xFFFFFFFFu, -1},     // counted but the time was never written
        {1, 0, 0x80000000u, -1},     // nothing below 0 passes for a time
        {1, 0, 0x7FFFFFFFu, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(echoReplyLatency(c.count, c.status, c.roundTrip), c.expected)
            << "count " << c.count << " status " << c.status << " time " << c.roundTrip;
    }
}

// Fakes for the two first-use steps, counting their calls.
std::atomic<int> startCalls{0};
std::atomic<int> loadCalls{0};
std::atomic<int> startFailuresLeft{0};
int fakeModule = 0;

int fakeStart() {
    ++startCalls;
    if (startFailuresLeft > 0) {
        --startFailuresLeft;
        return 10091;  // WSASYSNOTREADY
    }
    return 0;
}
int slowFakeStart() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return fakeStart();
}
void* fakeLoad() {
    ++loadCalls;
    return &fakeModule;
}
void* failingLoad() {
    ++loadCalls;
    return nullptr;
}

class ProbeSetUp : public ::testing::Test {
protected:
    void SetUp() override {
        startCalls = 0;
        loadCalls = 0;
        startFailuresLeft = 0;
    }
    IcmpProbeState state;
};

TEST_F(ProbeSetUp, RetriesWinsockUntilItStartsThenLoadsIcmpOnce) {
    startFailuresLeft = 2;
    const IcmpProbeSetup setup = {fakeStart, fakeLoad};
    EXPECT_EQ(prepareIcmpProbeState(state, setup), nullptr);
    EXPECT_EQ(prepareIcmpProbeState(state, setup), nullptr);
    EXPECT_FALSE(state.winsockStarted);
    EXPECT_EQ(loadCalls, 0);

    EXPECT_EQ(prepareIcmpProbeState(state, setup), &fakeModule);
    EXPECT_EQ(prepareIcmpProbeState(state, setup), &fakeModule);
    EXPECT_TRUE(state.winsockStarted);
    EXPECT_EQ(state.icmpModule, &fakeModule);
    EXPECT_EQ(startCalls, 3);
    EXPECT_EQ(loadCalls, 1);
}

TEST_F(ProbeSetUp, AFailedLoadAfterWinsockStartedIsNotRetried) {
    const IcmpProbeSetup setup = {fakeStart, failingLoad};
    for (int probe = 0; probe < 3; ++probe) EXPECT_EQ(prepareIcmpProbeState(state, setup), nullptr);
    EXPECT_TRUE(state.winsockStarted);
    EXPECT_EQ(state.icmpModule, nullptr);
    EXPECT_EQ(startCalls, 1);
    EXPECT_EQ(loadCalls, 1);
}

TEST_F(ProbeSetUp, ThreadsProbingFirstAtOnceSetUpOnce) {
    const IcmpProbeSetup setup = {slowFakeStart, fakeLoad};
    constexpr int kThreads = 6;
    std::atomic<int> ready{0};
    std::vector<void*> modules(kThreads, nullptr);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            ++ready;
            while (ready < kThreads) std::this_thread::yield();
            modules[i] = prepareIcmpProbeState(state, setup);
        });
    }
    for (std::thread& t : threads) t.join();
    for (void* m : modules) EXPECT_EQ(m, &fakeModule);
    EXPECT_EQ(startCalls, 1);
    EXPECT_EQ(loadCalls, 1);
}

}  // namespace
