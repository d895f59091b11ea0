// Figures of the console runner: (a) 1 MiB of chunked output comes back whole
// and in order, and how long it takes; (b) the runner's own CPU time while a
// silent child sleeps, as a share of the wall time. Exits 1 when (a) is not
// whole or (b) reaches 5 %.
#include <windows.h>

#include <cstdio>
#include <string>

#include "dnsconfig/runner.h"
#include "emitter_pattern.h"
#include "support/codepage.h"
#include "bin_dir_win.h"

namespace {

double nowMs() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double cpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

long chunks = 0;
std::int32_t countChunk(const void*, std::int32_t, std::int32_t) {
    ++chunks;
    return 0;
}

}  // namespace

int main() {
    const std::string emitter = binDir() + "dnsconfig_emitter.exe ";
    bool ok = true;

    // (a) Bulk output in 4 KiB writes.
    const std::size_t size = 1u << 20;
    const std::string want = emitterPattern(size);
    chunks = 0;
    double t0 = nowMs();
    ByteBuffer out = runAndCapture(
        textToUtf16(emitter + "-b " + std::to_string(size) + " 4096", false), countChunk, true,
        false);
    double took = nowMs() - t0;
    const bool whole = out.size() == size + 1 && std::string(out.begin(), out.end() - 1) == want;
    std::printf("bulk output: %zu bytes expected, %zu received in %ld chunks, whole and in order: %s, %.0f ms\n",
                size, out.empty() ? 0 : out.size() - 1, chunks, whole ? "yes" : "NO", took);
    ok = ok && whole;

    // (b) The runner's CPU time while a silent child sleeps 2 s.
    const double c0 = cpuMs();
    t0 = nowMs();
    out = runAndCapture(textToUtf16(emitter + "-p 2000", false), nullptr, false, false);
    const double wall = nowMs() - t0;
    const double cpu = cpuMs() - c0;
    const double share = wall > 0 ? 100.0 * cpu / wall : 100.0;
    std::printf("waiting on a silent child: %.1f ms CPU over %.0f ms wall = %.2f %% of one core (limit 5 %%): %s\n",
                cpu, wall, share, share < 5.0 ? "ok" : "TOO HIGH");
    ok = ok && share < 5.0 && out.empty();

    // For comparison: the same wait done by looking every millisecond
    // (Sleep(1) between a pipe peek and an exit-code test), which is what the
    // runner avoids.
    {
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        std::string line = emitter + "-p 2000";
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        if (CreatePipe(&readEnd, &writeEnd, nullptr, 0) &&
            CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                           &pi)) {
            const double c1 = cpuMs();
            const double t1 = nowMs();
            DWORD code = STILL_ACTIVE, waiting = 0;
            while (GetExitCodeProcess(pi.hProcess, &code) && code == STILL_ACTIVE) {
                PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr);
                Sleep(1);
            }
            const double w = nowMs() - t1;
            std::printf("for comparison, 1 ms polling of the same child: %.1f ms CPU over %.0f ms wall = %.2f %%\n",
                        cpuMs() - c1, w, w > 0 ? 100.0 * (cpuMs() - c1) / w : 0.0);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        if (readEnd) CloseHandle(readEnd);
        if (writeEnd) CloseHandle(writeEnd);
    }
    return ok ? 0 : 1;
}
