// Two threads send the very first probes of a fresh process at the same moment,
// so both go through the first-use set-up together. Exit code 0 when both got
// an answer from the loopback address.
#include <atomic>
#include <cstdio>
#include <thread>

#include "monitor/probe.h"

int main() {
    std::atomic<int> ready{0};
    std::int32_t times[2] = {-1, -1};
    auto probe = [&](int i) {
        ++ready;
        while (ready < 2) std::this_thread::yield();
        times[i] = probeLatency("127.0.0.1", 2000);
    };
    std::thread first(probe, 0);
    std::thread second(probe, 1);
    first.join();
    second.join();
    std::printf("%d %d\n", static_cast<int>(times[0]), static_cast<int>(times[1]));
    return times[0] >= 0 && times[1] >= 0 ? 0 : 1;
}
