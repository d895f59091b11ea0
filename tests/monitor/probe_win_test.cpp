#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include "monitor/probe.h"

// Every echo of these tests goes to 127.0.0.0/8. Host names are either in the
// hosts file (localhost) or rejected by the resolver before it asks any name
// server.

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string exeDir() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\'));
}

TEST(ProbeLatency, LoopbackAnswersByAddressAndByName) {
    const char* hosts[] = {"127.0.0.1", "localhost"};
    for (const char* host : hosts) {
        const std::int32_t ms = probeLatency(host, 2000);
        EXPECT_GE(ms, 0) << host;
        EXPECT_LT(ms, 2000) << host;
    }
    EXPECT_GE(probeLatency("127.0.0.1"), 0) << "default time-out";
}

TEST(ProbeLatency, HopelessRequestsGiveMinusOneWithoutWaiting) {
    struct Case {
        const char* host;
        std::int32_t timeoutMs;
    };
    const Case cases[] = {
        // The first label is longer than 63 bytes, so no resolver asks about it.
        {"korvel-no-such-host-with-one-label-longer-than-any-name-server-accepts.invalid", 2000},
        {"127.0.0.1", -1},  // a negative time-out is refused
    };
    for (const Case& c : cases) {
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(probeLatency(c.host, c.timeoutMs), -1) << c.host;
        EXPECT_LT(msSince(start), 1500) << c.host << ": an echo was waited for";
    }
}

TEST(ProbeLatency, TwoThreadsProbingFirstAtOnceBothGetAnswers) {
    std::string cmd = "\"" + exeDir() + "\\monitor_probe_race.exe\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << cmd;
    CloseHandle(pi.hThread);
    const DWORD waited = WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 98);
    CloseHandle(pi.hProcess);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the race program hangs";
    EXPECT_EQ(code, 0u) << "a probe of the first pair gave no answer";
}

// The Unix path of a Windows path, when running under Wine; empty elsewhere.
std::string unixPath(const std::string& windowsPath) {
    using ToUnixFn = char*(CDECL*)(LPCWSTR);
    FARPROC proc = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (proc == nullptr) return {};
    ToUnixFn toUnix = reinterpret_cast<ToUnixFn>(reinterpret_cast<void*>(proc));
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* converted = toUnix(wide.c_str());
    if (converted == nullptr) return {};
    std::string result(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

// Runs the loopback rules script on the Wine host and returns its answer: "ok",
// or why the rule could not be made.
std::string runRulesScript(const std::string& args) {
    char tempDir[MAX_PATH] = {};
    if (GetTempPathA(MAX_PATH, tempDir) == 0) return "no temporary folder";
    const std::string reply =
        std::string(tempDir) + "korvel_probe_" + std::to_string(GetCurrentProcessId()) + ".txt";
    DeleteFileA(reply.c_str());
    const std::string unixReply = unixPath(reply);
    if (unixReply.empty()) return "not running under Wine, no loopback rules can be made";

    std::string cmd = std::string("/bin/sh ") + KORVEL_PROBE_RULES_SCRIPT + " " + args + " " + unixReply;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return "cannot start /bin/sh on the Wine host";
    // Wine starts Unix programs without giving a process handle back.
    if (pi.hThread != nullptr) CloseHandle(pi.hThread);
    if (pi.hProcess != nullptr) CloseHandle(pi.hProcess);

    for (int i = 0; i < 150; ++i) {
        std::ifstream in(reply);
        std::string line;
        if (in && std::getline(in, line)) {
            in.close();
            DeleteFileA(reply.c_str());
            return line;
        }
        Sleep(100);
    }
    return "the loopback rules script did not answer";
}

// A loopback address made silent for the suite: echo requests to it are
// dropped when they arrive. A random name and address, so runs at the same
// time on this machine keep to their own rule.
class ProbeSilentHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        const unsigned seed = static_cast<unsigned>(counter.QuadPart) ^ (GetCurrentProcessId() << 8);
        const std::string x = std::to_string(1 + seed % 250);
        const std::string y = std::to_string(1 + (seed / 250) % 250);
        table = "korvel_probe_" + x + "_" + y;
        silentHost = "127.77." + x + "." + y;

        // Without the rule the address answers like all of 127.0.0.0/8, so the
        // silence later comes from the rule alone.
        if (probeLatency(silentHost, 2000) < 0) {
            problem = silentHost + " does not answer even without a rule";
            return;
        }
        const std::string answer = runRulesScript("add " + table + " " + silentHost);
        ruleAdded = answer == "ok";
        if (!ruleAdded) problem = answer.empty() ? "the loopback rules script gave no answer" : answer;
    }
    static void TearDownTestSuite() {
        if (ruleAdded) runRulesScript("remove " + table);
        ruleAdded = false;
    }
    void SetUp() override {
        if (!problem.empty()) GTEST_SKIP() << "no silent host can be arranged: " << problem;
    }

    static std::string table, silentHost, problem;
    static bool ruleAdded;
};
std::string ProbeSilentHost::table, ProbeSilentHost::silentHost, ProbeSilentHost::problem;
bool ProbeSilentHost::ruleAdded = false;

TEST_F(ProbeSilentHost, GivesMinusOneAfterAboutTheTimeOut) {
    ASSERT_GE(probeLatency("127.0.0.1", 2000), 0);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(probeLatency(silentHost, 2000), -1) << silentHost;
    const long long elapsed = msSince(start);
    EXPECT_GE(elapsed, 1500) << silentHost;
    EXPECT_LE(elapsed, 4000) << silentHost;
}

}  // namespace
