#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>
#include <icmpapi.h>

#include <cstring>

#include "monitor/probe.h"

namespace {

// The three icmp.dll entry points, typed after the system's own prototypes.
using IcmpCreateFileFn = decltype(&IcmpCreateFile);
using IcmpSendEchoFn = decltype(&IcmpSendEcho);
using IcmpCloseHandleFn = decltype(&IcmpCloseHandle);

// Room for one reply and the 8 bytes of an ICMP error message the system may
// copy behind it (the echo carries no data). 36 bytes on 32-bit Windows.
constexpr DWORD kReplyBufferSize = sizeof(ICMP_ECHO_REPLY) + 8;
#ifndef _WIN64
static_assert(kReplyBufferSize == 36, "32-bit echo reply buffer is 36 bytes");
#endif
static_assert(IP_SUCCESS == kIcmpStatusSuccess, "IP_SUCCESS");

int startWinsock() {
    WSADATA data;
    return WSAStartup(0x0101, &data);
}

void* loadIcmp() {
    return LoadLibraryA("icmp.dll");
}

// Owns the process-wide probe state and gives it back when the process ends:
// icmp.dll first, then Winsock.
struct IcmpProbeStateOwner {
    IcmpProbeState state;
    ~IcmpProbeStateOwner() {
        if (state.icmpModule != nullptr) {
            FreeLibrary(static_cast<HMODULE>(state.icmpModule));
            state.icmpModule = nullptr;
        }
        if (state.winsockStarted) {
            WSACleanup();
            state.winsockStarted = false;
        }
    }
};

IcmpProbeStateOwner probeStateOwner;

// One ICMP handle per probe, closed whatever happens.
struct IcmpHandle {
    HANDLE handle;
    IcmpCloseHandleFn close;
    ~IcmpHandle() {
        if (handle != INVALID_HANDLE_VALUE) close(handle);
    }
};

// The entry points are looked up again on every probe; none is kept.
template <typename Fn>
Fn icmpEntry(HMODULE module, const char* name) {
    FARPROC proc = GetProcAddress(module, name);
    Fn fn = nullptr;
    static_assert(sizeof fn == sizeof proc, "function pointer size");
    std::memcpy(&fn, &proc, sizeof fn);
    return fn;
}

}  // namespace

std::int32_t probeLatency(const std::string& host, std::int32_t timeoutMs) {
    // A negative time-out would reach IcmpSendEcho as a wait of weeks.
    if (timeoutMs < 0) return -1;

    const IcmpProbeSetup setup = {startWinsock, loadIcmp};
    HMODULE icmp = static_cast<HMODULE>(prepareIcmpProbeState(probeStateOwner.state, setup));
    if (icmp == nullptr) return -1;

    auto createFile = icmpEntry<IcmpCreateFileFn>(icmp, "IcmpCreateFile");
    auto sendEcho = icmpEntry<IcmpSendEchoFn>(icmp, "IcmpSendEcho");
    auto closeHandle = icmpEntry<IcmpCloseHandleFn>(icmp, "IcmpCloseHandle");
    if (createFile == nullptr || sendEcho == nullptr || closeHandle == nullptr) return -1;

    // A dotted address is used as it stands; anything else is looked up.
    IPAddr address = inet_addr(host.c_str());
    if (address == INADDR_NONE) {
        const hostent* entry = gethostbyname(host.c_str());
        if (entry == nullptr || entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr ||
            entry->h_length < 4)
            return -1;
        std::memcpy(&address, entry->h_addr_list[0], 4);
    }

    alignas(ICMP_ECHO_REPLY) unsigned char replyBuffer[kReplyBufferSize] = {};
    ICMP_ECHO_REPLY reply;
    std::memcpy(&reply, replyBuffer, sizeof reply);
    reply.RoundTripTime = 0xFFFFFFFFu;
    std::memcpy(replyBuffer, &reply, sizeof reply);

    DWORD count;
    {
        IcmpHandle echo{createFile(), closeHandle};
        if (echo.handle == INVALID_HANDLE_VALUE) return -1;
        count = sendEcho(echo.handle, address, nullptr, 0, nullptr, replyBuffer,
                         kReplyBufferSize, static_cast<DWORD>(timeoutMs));
    }
    std::memcpy(&reply, replyBuffer, sizeof reply);
    return echoReplyLatency(count, reply.Status, reply.RoundTripTime);
}
