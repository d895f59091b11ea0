// Latency probe: one ICMP echo request to one host, timed by the system's ICMP
// library (icmp.dll, loaded at run time). Host names and dotted addresses are
// turned into IPv4 addresses through Winsock 1.1.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>

// Sends one echo request without data to host (a dotted IPv4 address or a host
// name, code page 936) and waits up to timeoutMs for the reply. Returns the
// round-trip time in milliseconds (0 or more), or -1 when there is no usable
// answer: Winsock or icmp.dll not available, a host that does not resolve, no
// reply in time, a reply that is not a plain echo reply (an error from a
// router on the way), or a negative time-out. Safe to call from any thread.
// Windows only (korvel_win).
std::int32_t probeLatency(const std::string& host, std::int32_t timeoutMs = 10000);

// ---------------------------------------------------------------------------
// Building blocks of probeLatency that hold no Windows types, so the set-up and
// the reading of a reply are checked on every build.

// The process-wide probe state, set up by the first probe and kept until the
// process ends. icmpModule is the HMODULE of icmp.dll, or null when the load
// failed or was never tried.
struct IcmpProbeState {
    bool winsockStarted = false;
    void* icmpModule = nullptr;
    std::mutex setupLock;  // guards both fields
};

// The two first-use steps, given as functions so the set-up can be checked
// without the system behind it.
struct IcmpProbeSetup {
    int (*startWinsock)();  // WSAStartup(0x0101): 0 on success, an error code otherwise
    void* (*loadIcmp)();    // LoadLibraryA("icmp.dll"): null on failure
};

// Makes sure the state is set up and returns icmpModule, or null when the probe
// cannot go on. While Winsock has not started, every call tries to start it
// again; once it has, icmp.dll is loaded exactly once, and a failed load is not
// retried. Threads calling at the same time run the set-up once between them.
void* prepareIcmpProbeState(IcmpProbeState& state, const IcmpProbeSetup& setup);

// Value of IcmpSendEcho's Status for a plain echo reply (IP_SUCCESS).
constexpr std::uint32_t kIcmpStatusSuccess = 0;

// Turns the outcome of one IcmpSendEcho into the probe's result: the reply's
// round-trip time read as a signed 32-bit number when at least one reply came
// back and the first one is a plain echo reply, -1 otherwise.
std::int32_t echoReplyLatency(std::uint32_t replyCount, std::uint32_t status,
                              std::uint32_t roundTripTime);
