// A stand-in for a console tool (ipconfig, netsh) that the program runs through
// the command interpreter. Built once per name; the name is the base name of
// the executable. It works in the directory named by KORVEL_FAKE_DIR:
//
//   <name>.calls    every call appends its full command line and CR LF
//   <name>.reply    bytes written to stdout as they are (code page 936)
//   <name>.replies  several replies separated by one 0x1E byte; call n gets
//                   reply n, calls past the last reply get the last one
//                   (takes precedence over <name>.reply)
//   <name>.delay    decimal milliseconds to sleep before answering
//
// The call is recorded before the delay, so the order of the lines in .calls
// is the order in which the calls began.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fake_console_calls.h"

namespace {

std::string ownName() {
    char path[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name(path, n);
    std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

// Appends the command line to the calls file while holding it exclusively, and
// returns how many calls the file records, this one included (0 on failure).
int recordCall(const std::string& callsPath, const std::string& commandLine) {
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 500; ++attempt) {
        file = CreateFileA(callsPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
        Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE) return 0;
    std::string before;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) before.append(chunk, got);
    int count = 1;
    for (std::size_t pos = before.find('\n'); pos != std::string::npos; pos = before.find('\n', pos + 1)) ++count;
    std::string line = commandLine + "\r\n";
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return count;
}

std::string pickReply(const std::string& dir, const std::string& name, int callNumber) {
    std::string all;
    if (readWholeFile(dir + "\\" + name + ".replies", all)) {
        int index = 1;
        std::size_t start = 0;
        for (;;) {
            std::size_t end = all.find(kFakeReplySeparator, start);
            if (index >= callNumber || end == std::string::npos) {
                return all.substr(start, end == std::string::npos ? std::string::npos : end - start);
            }
            start = end + 1;
            ++index;
        }
    }
    readWholeFile(dir + "\\" + name + ".reply", all);
    return all;
}

}  // namespace

int main() {
    char dirBuffer[MAX_PATH * 2] = {};
    DWORD dirLength = GetEnvironmentVariableA("KORVEL_FAKE_DIR", dirBuffer, sizeof dirBuffer);
    if (dirLength == 0 || dirLength >= sizeof dirBuffer) {
        std::fputs("KORVEL_FAKE_DIR is not set\n", stderr);
        return 2;
    }
    const std::string dir(dirBuffer, dirLength);
    const std::string name = ownName();

    const int callNumber = recordCall(dir + "\\" + name + ".calls", GetCommandLineA());

    std::string delayText;
    if (readWholeFile(dir + "\\" + name + ".delay", delayText)) {
        long delayMs = std::strtol(delayText.c_str(), nullptr, 10);
        if (delayMs > 0 && delayMs <= 600000) Sleep(static_cast<DWORD>(delayMs));
    }

    const std::string reply = pickReply(dir, name, callNumber);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (!reply.empty() && out != INVALID_HANDLE_VALUE && out != nullptr) {
        WriteFile(out, reply.data(), static_cast<DWORD>(reply.size()), &written, nullptr);
    }
    return 0;
}
