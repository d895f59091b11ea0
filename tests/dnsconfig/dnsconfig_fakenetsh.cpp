// Stand-in for netsh, built as fakenetsh\netsh.exe. Changes nothing: it
// appends its arguments (its command line less the program name) and a line
// feed to the file named by KORVEL_FAKENETSH_RECORD, then writes a reply to
// standard output. For the k-th call (k counted from 0 by the records already
// in the file) the reply is the file KORVEL_FAKENETSH_REPLY.k when it exists,
// else the file KORVEL_FAKENETSH_REPLY, else nothing. Replies are written
// byte for byte (code page 936).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string variable(const char* name) {
    char value[MAX_PATH * 2] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof(value));
    return n > 0 && n < sizeof(value) ? std::string(value, n) : std::string();
}

bool readFile(const std::string& path, std::string& content) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buffer[4096];
    std::size_t n;
    content.clear();
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) content.append(buffer, n);
    std::fclose(f);
    return true;
}

// The command line after the program name and the blanks that follow it.
std::string arguments() {
    const std::string line = GetCommandLineA();
    std::size_t i = 0;
    if (!line.empty() && line[0] == '"') {
        i = line.find('"', 1);
        i = i == std::string::npos ? line.size() : i + 1;
    } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    return line.substr(i);
}

}  // namespace

int main() {
    const std::string recordPath = variable("KORVEL_FAKENETSH_RECORD");
    const std::string replyPath = variable("KORVEL_FAKENETSH_REPLY");
    if (recordPath.empty()) return 1;

    std::string records;
    readFile(recordPath, records);
    std::size_t call = 0;
    for (char c : records) call += c == '\n';

    std::FILE* f = std::fopen(recordPath.c_str(), "ab");
    if (!f) return 1;
    const std::string entry = arguments() + "\n";
    std::fwrite(entry.data(), 1, entry.size(), f);
    std::fclose(f);

    std::string reply;
    if (!replyPath.empty() && !readFile(replyPath + "." + std::to_string(call), reply))
        readFile(replyPath, reply);
    // Straight to the handle: no text-mode line-break translation.
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    for (std::size_t at = 0; at < reply.size(); at += written) {
        if (!WriteFile(out, reply.data() + at, static_cast<DWORD>(reply.size() - at), &written,
                       nullptr) ||
            written == 0)
            return 1;
    }
    return 0;
}
