// Files of the fake console tools (bin/fakes/ipconfig.exe, netsh.exe)
// recorded, and the format of their reply files. Windows only.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Separates the replies of <tool>.replies: call n gets reply n, later calls
// the last one.
constexpr char kFakeReplySeparator = '\x1e';

// The whole content of a file, read while others may still write to it.
inline bool readWholeFile(const std::string& path, std::string& out) {
    out.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) out.append(chunk, got);
    CloseHandle(file);
    return true;
}

// The command lines recorded in <fakeDir>\<tool>.calls, one a call, each with
// the program name in front (quoted or not) and the blanks after it removed.
// Empty when the tool never ran.
inline std::vector<std::string> fakeToolCalls(const std::string& fakeDir, const char* tool) {
    std::vector<std::string> lines;
    std::string text;
    if (!readWholeFile(fakeDir + "\\" + tool + ".calls", text)) return lines;
    std::size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        std::string line = text.substr(start, end - start);
        start = end + 2;
        std::size_t rest = 0;
        if (!line.empty() && line[0] == '"') {
            const std::size_t close = line.find('"', 1);
            rest = close == std::string::npos ? line.size() : close + 1;
        } else {
            rest = line.find(' ');
            if (rest == std::string::npos) rest = line.size();
        }
        while (rest < line.size() && line[rest] == ' ') ++rest;
        lines.push_back(line.substr(rest));
    }
    return lines;
}
