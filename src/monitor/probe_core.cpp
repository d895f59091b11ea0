#include "monitor/probe.h"

#include <cstring>

void* prepareIcmpProbeState(IcmpProbeState& state, const IcmpProbeSetup& setup) {
    // One lock around the whole check: two workers probing for the first time
    // at once must not both start Winsock or both load icmp.dll.
    std::lock_guard<std::mutex> guard(state.setupLock);
    if (!state.winsockStarted) {
        if (setup.startWinsock() == 0) {
            state.winsockStarted = true;
            state.icmpModule = setup.loadIcmp();
        } else {
            // Not started: the next probe tries again.
            state.winsockStarted = false;
            state.icmpModule = nullptr;
            return nullptr;
        }
    }
    // Winsock is up; a failed load of icmp.dll stays failed for good.
    return state.icmpModule;
}

std::int32_t echoReplyLatency(std::uint32_t replyCount, std::uint32_t status,
                              std::uint32_t roundTripTime) {
    if (replyCount == 0) return -1;
    // An answer from a router on the way (host or net unreachable, time to
    // live exceeded, ...) is counted as a reply too, but it says nothing about
    // the host.
    if (status != kIcmpStatusSuccess) return -1;
    std::int32_t ms;
    std::memcpy(&ms, &roundTripTime, sizeof ms);
    // The field was preset to all bits set; anything below 0 is no time.
    return ms < 0 ? -1 : ms;
}
