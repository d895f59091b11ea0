// The start-up inventory on the platform: the ipconfig capture, the DNS list
// file and the adapters.
#include <windows.h>

#include <cstring>
#include <set>

#include "app/app.h"
#include "app/inventory.h"
#include "support/files.h"

namespace {

constexpr DWORD kIpconfigWaitMs = 30000;
constexpr DWORD kIniValueBytes = 10240;

// The executable's directory without a trailing backslash.
std::string getRunDirectory() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Starts a command line hidden and waits up to waitMs for it to end. True when
// the process was created.
bool runProgram(const std::string& commandLine, DWORD waitMs) {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;  // CreateProcessA may write into it
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, waitMs);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

ByteBuffer readFileBytes(const std::string& path) {
    if (path.empty()) return {};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    ByteBuffer bytes;
    LARGE_INTEGER size{};
    // The report and the list file are small; anything past 64 MiB is not theirs.
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= (64 << 20)) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
        bytes.resize(got);
    }
    CloseHandle(file);
    return bytes;
}

// Skips leading characters with codes 1 to 32.
std::string skipLeadingBlanks(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) >= 1 && static_cast<unsigned char>(text[i]) <= 32)
        ++i;
    return text.substr(i);
}

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string readIniValue(const std::string& path, const std::string& section, const std::string& key) {
    const std::string p = skipLeadingBlanks(path), s = skipLeadingBlanks(section), k = skipLeadingBlanks(key);
    if (p.empty() || s.empty() || k.empty()) return {};
    std::string value(kIniValueBytes, '\0');
    GetPrivateProfileStringA(s.c_str(), k.c_str(), "", &value[0], kIniValueBytes, p.c_str());
    value.resize(std::strlen(value.c_str()));
    return value;
}

// The key names of a section, upper-cased (key names match regardless of case).
std::set<std::string> iniKeyNames(const std::string& path, const std::string& section) {
    std::string names(4096, '\0');
    for (;;) {
        const DWORD n = GetPrivateProfileStringA(section.c_str(), nullptr, "", &names[0],
                                                 static_cast<DWORD>(names.size()), path.c_str());
        if (n + 2 < names.size()) {
            names.resize(n);
            break;
        }
        names.assign(names.size() * 2, '\0');
    }
    std::set<std::string> keys;
    for (std::size_t i = 0; i < names.size();) {
        std::string key(names.c_str() + i);
        i += key.size() + 1;
        if (!key.empty()) keys.insert(upperAscii(key));
    }
    return keys;
}

}  // namespace

void runStartupInventory() {
    setTrayIcon("KorvelDNS-正在后台运行");

    const std::string runDirectory = getRunDirectory();
    const std::string dataDirectory = runDirectory + "\\data";
    CreateDirectoryA(dataDirectory.c_str(), nullptr);  // fails harmlessly when it exists
    const std::string reportPath = dataDirectory + "\\dns获取.txt";
    if (fileExists(reportPath)) deleteFile(reportPath);
    // The target is quoted so that a folder with blanks works.
    runProgram("cmd /c ipconfig /all >\"" + reportPath + "\"", kIpconfigWaitMs);
    const CurrentDns dns = extractCurrentDns(bytesToText(readFileBytes(reportPath)), removeBlanks);

    const std::string dnsListPath = runDirectory + "\\dns列表.ini";
    const std::int32_t keyCount = dnsListKeyCount(bytesToText(readFileBytes(dnsListPath)));
    // Keys that do not exist give empty entries; only the existing ones are
    // read, so a file full of "=" cannot stall the start.
    const std::set<std::string> keys = keyCount > 0 ? iniKeyNames(dnsListPath, "DNS列表") : std::set<std::string>();
    TextList candidates;
    candidates.reserve(static_cast<std::size_t>(keyCount));
    for (std::int32_t k = 1; k <= keyCount; ++k) {
        const std::string key = dnsListKey(k);
        candidates.push_back(keys.count(key) ? readIniValue(dnsListPath, "DNS列表", key) : std::string());
    }

    AdapterList adapters;
    listAdapters(adapters);
    {
        std::lock_guard<std::mutex> lock(globalsMutex());
        currentDnsText = dns.blockText;
        currentDnsServers = dns.servers;
        candidateDnsServers.insert(candidateDnsServers.end(), candidates.begin(), candidates.end());
        adapterList = adapters;
    }
    for (const AdapterRecord& adapter : adapters) addAdapterItem(adapter.connectionName);
}
