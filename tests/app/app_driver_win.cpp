#include "app_driver.h"

#include <cstdio>

#include "app/control_ids.h"
#include "fake_console_calls.h"

namespace e2e {

namespace {

constexpr DWORD kMessageTimeoutMs = 5000;
constexpr DWORD kWindowShownTimeoutMs = 60000;  // the program waits up to 30 s for ipconfig
constexpr DWORD kRunDeadlineMs = 150000;
constexpr char kReplySeparator = '\x1e';

std::atomic<unsigned> folderCounter{0};

void removeTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

bool sameTextIgnoringCase(const std::string& a, const char* b) {
    return lstrcmpiA(a.c_str(), b) == 0;
}

struct FindMainWindow {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findMainWindowProc(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<FindMainWindow*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && className(window) == KORVEL_MAIN_WINDOW_CLASS) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct FindBoxes {
    DWORD processId;
    std::vector<HWND> boxes;
};

BOOL CALLBACK findBoxesProc(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<FindBoxes*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && className(window) == "#32770") {
        search->boxes.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK collectStaticsProc(HWND window, LPARAM param) {
    auto* statics = reinterpret_cast<std::vector<HWND>*>(param);
    if (sameTextIgnoringCase(className(window), "Static")) statics->push_back(window);
    return TRUE;
}

// The environment of the program: ours, with the fakes first on the PATH and
// the fakes' working folder named.
std::string childEnvironment(const std::string& fakesBin, const std::string& fakeFolder) {
    std::string block;
    std::string oldPath;
    LPCH strings = GetEnvironmentStringsA();
    for (const char* entry = strings; entry && *entry; entry += lstrlenA(entry) + 1) {
        const std::string text = entry;
        const std::string key = text.substr(0, text.find('=', 1));
        if (sameTextIgnoringCase(key, "PATH")) {
            oldPath = text.substr(key.size() + 1);
            continue;
        }
        if (sameTextIgnoringCase(key, "KORVEL_FAKE_DIR")) continue;
        block += text;
        block.push_back('\0');
    }
    if (strings) FreeEnvironmentStringsA(strings);
    block += "PATH=" + fakesBin + (oldPath.empty() ? "" : ";" + oldPath);
    block.push_back('\0');
    block += "KORVEL_FAKE_DIR=" + fakeFolder;
    block.push_back('\0');
    block.push_back('\0');
    return block;
}

// The programs under test get a desktop of their own (as does the calling
// thread, so that both see the same screen): the default desktop of the shared
// Wine server may belong to a process without a display.
std::string ownDesktop() {
    static const std::string name = [] {
        const std::string wanted = "KorvelE2E-" + std::to_string(GetCurrentProcessId());
        HDESK desktop = CreateDesktopA(wanted.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        if (!desktop) return std::string();
        SetThreadDesktop(desktop);
        return wanted;  // the handle stays open for the life of the process
    }();
    return name;
}

}  // namespace

// ---- files and texts ---------------------------------------------------------

std::string moduleDirectory() {
    char path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text(path, length);
    const std::size_t slash = text.find_last_of('\\');
    return slash == std::string::npos ? std::string() : text.substr(0, slash);
}

bool readFileBytes(const std::string& path, std::string& bytes) { return readWholeFile(path, bytes); }

bool writeFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = bytes.empty() ||
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string utf8ToCp936(const std::string& utf8) {
    if (utf8.empty()) return std::string();
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                          static_cast<int>(utf8.size()), nullptr, 0);
    if (units <= 0) return std::string();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                        units);
    BOOL lossy = FALSE;
    const int bytes = WideCharToMultiByte(936, 0, wide.data(), units, nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) return std::string();
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(936, 0, wide.data(), units, &narrow[0], bytes, nullptr, nullptr);
    std::string out;
    out.reserve(narrow.size() + narrow.size() / 16);
    for (std::size_t i = 0; i < narrow.size(); ++i) {
        if (narrow[i] == '\n' && (i == 0 || narrow[i - 1] != '\r')) out.push_back('\r');
        out.push_back(narrow[i]);
    }
    return out;
}

bool loadFixture(const std::string& name, std::string& cp936) {
    cp936.clear();
    std::string utf8;
    if (!readFileBytes(moduleDirectory() + "\\app_fixtures\\" + name, utf8)) return false;
    if (utf8.empty()) return true;
    cp936 = utf8ToCp936(utf8);
    return !cp936.empty();
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string dnsListFile(const std::vector<std::string>& values) {
    std::string text = "[DNS列表]\r\n";
    for (std::size_t k = 0; k < values.size(); ++k) {
        text += "DNS" + std::to_string(k + 1) + "=" + values[k] + "\r\n";
    }
    return text;
}

bool TempFolder::create(const std::string& parent) {
    if (!path_.empty()) return false;
    std::string root = parent;
    if (root.empty()) {
        char base[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathA(sizeof base, base);
        if (length == 0 || length > MAX_PATH) return false;
        root.assign(base, length);
    }
    if (!root.empty() && root.back() == '\\') root.pop_back();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[96];
        std::snprintf(name, sizeof name, "\\korvel-e2e-%lu-%lu-%u", static_cast<unsigned long>(GetCurrentProcessId()),
                      static_cast<unsigned long>(GetTickCount()), folderCounter++);
        if (CreateDirectoryA((root + name).c_str(), nullptr)) {
            path_ = root + name;
            return true;
        }
    }
    return false;
}

TempFolder::~TempFolder() {
    if (path_.empty()) return;
    // Processes that were just killed may hold a file open for a moment.
    for (int attempt = 0; attempt < 30; ++attempt) {
        removeTree(path_);
        if (GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES) return;
        Sleep(100);
    }
}

// ---- windows of another process ---------------------------------------------------

std::string className(HWND window) {
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string windowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length)) {
        return std::string();
    }
    std::string buffer(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(&buffer[0]),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
        return std::string();
    }
    buffer.resize(copied < buffer.size() ? copied : buffer.size() - 1);
    return buffer;
}

bool setWindowText(HWND window, const std::string& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               kMessageTimeoutMs, &result) != 0 &&
           result != 0;
}

bool hasVisibleStyle(HWND window) {
    return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT rectInParent(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

LONG_PTR styleOf(HWND window) {
    return GetWindowLongPtrA(window, GWL_STYLE);
}

LONG_PTR exStyleOf(HWND window) {
    return GetWindowLongPtrA(window, GWL_EXSTYLE);
}

bool waitUntil(DWORD timeoutMs, const std::function<bool()>& pred) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start >= timeoutMs) return pred();
        Sleep(25);
    }
}

std::vector<HWND> messageBoxesOf(DWORD processId) {
    FindBoxes search{processId, {}};
    EnumWindows(findBoxesProc, reinterpret_cast<LPARAM>(&search));
    return search.boxes;
}

std::string messageBoxText(HWND box) {
    // A message box shows its text in the static control 0xFFFF.
    if (HWND text = GetDlgItem(box, 0xFFFF)) return windowText(text);
    std::vector<HWND> statics;
    EnumChildWindows(box, collectStaticsProc, reinterpret_cast<LPARAM>(&statics));
    std::string longest;
    for (HWND item : statics) {
        std::string text = windowText(item);
        if (text.size() > longest.size()) longest = text;
    }
    return longest;
}

int secondsOfDay() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
}

// ---- the program under test ------------------------------------------------------------

Program::Program() = default;

Program::~Program() {
    stop_ = true;
    if (watchdog_.joinable()) watchdog_.join();
    kill();
}

std::string Program::fakeFolder() const {
    return package_.path() + "\\fake";
}

bool Program::launch(const ProgramSetup& setup, std::string& error) {
    if (!package_.create(setup.packageParent)) {
        error = "cannot create the package folder";
        return false;
    }
    const std::string bin = moduleDirectory();
    const std::string folder = package_.path();
    const std::string exe = folder + "\\KorvelDNS.exe";
    if (!CopyFileA((bin + "\\KorvelDNS.exe").c_str(), exe.c_str(), FALSE)) {
        error = "cannot copy " + bin + "\\KorvelDNS.exe";
        return false;
    }
    if (!writeFileBytes(folder + "\\dns列表.ini", setup.dnsList)) {
        error = "cannot write the DNS list file";
        return false;
    }
    if (setup.withDataFolder && !CreateDirectoryA((folder + "\\data").c_str(), nullptr)) {
        error = "cannot create the data folder";
        return false;
    }
    const std::string fake = fakeFolder();
    if (!CreateDirectoryA(fake.c_str(), nullptr) || !writeFileBytes(fake + "\\ipconfig.reply", setup.ipconfigReport)) {
        error = "cannot prepare the fake tools' folder";
        return false;
    }
    if (!setup.netshReplies.empty()) {
        std::string replies;
        for (std::size_t k = 0; k < setup.netshReplies.size(); ++k) {
            if (k > 0) replies.push_back(kReplySeparator);
            replies += setup.netshReplies[k];
        }
        if (!writeFileBytes(fake + "\\netsh.replies", replies)) {
            error = "cannot write the netsh replies";
            return false;
        }
    }
    if (setup.netshDelayMs > 0 && !writeFileBytes(fake + "\\netsh.delay", std::to_string(setup.netshDelayMs))) {
        error = "cannot write the netsh delay";
        return false;
    }

    // Everything the program starts belongs to one job, killed at the end.
    job_ = CreateJobObjectA(nullptr, nullptr);
    if (job_) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    std::string environment = childEnvironment(bin + "\\fakes", fake);
    std::string commandLine = "\"" + exe + "\"";
    std::string desktop = setup.ownDesktop ? ownDesktop() : std::string();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!desktop.empty()) startup.lpDesktop = &desktop[0];
    PROCESS_INFORMATION created = {};
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, &environment[0],
                        folder.c_str(), &startup, &created)) {
        error = "cannot start the program (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    process_ = created.hProcess;
    processId_ = created.dwProcessId;
    if (job_) AssignProcessToJobObject(job_, process_);
    ResumeThread(created.hThread);
    CloseHandle(created.hThread);

    deadline_ = GetTickCount() + kRunDeadlineMs;
    watchdog_ = std::thread([this] { watch(); });

    HWND found = nullptr;
    const bool shown = waitUntil(kWindowShownTimeoutMs, [&] {
        if (!running()) return true;
        FindMainWindow search{processId_, nullptr};
        EnumWindows(findMainWindowProc, reinterpret_cast<LPARAM>(&search));
        found = search.found;
        return found != nullptr && IsWindowVisible(found);
    });
    if (!running()) {
        error = "the program ended before its window was shown";
        return false;
    }
    if (!shown || !found) {
        error = "the program's window was not shown within the time-out";
        return false;
    }
    window_ = found;
    return true;
}

bool Program::running() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Program::kill() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (job_) {
        TerminateJobObject(job_, 1);
    }
    if (process_) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 10000);
        CloseHandle(process_);
        process_ = nullptr;
    }
    if (job_) {
        CloseHandle(job_);
        job_ = nullptr;
    }
}

HWND Program::control(int id) const {
    return GetDlgItem(window_, id);
}

std::vector<std::string> Program::calls(const char* tool) const {
    return fakeToolCalls(fakeFolder(), tool);
}

void Program::click(int buttonId) const {
    PostMessageA(control(buttonId), BM_CLICK, 0, 0);
}

void Program::timerTick() const {
    PostMessageA(window_, WM_TIMER, kMonitorTimerId, 0);
}

void Program::trayClick(UINT mouseMessage) const {
    PostMessageA(window_, WM_APP + kTrayCallbackOffset, kTrayIconId, static_cast<LPARAM>(mouseMessage));
}

void Program::minimise() const {
    PostMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void Program::expectMessageBoxes(bool expected) {
    boxesExpected_ += expected ? 1 : -1;
}

bool Program::waitForMessageBox(DWORD timeoutMs, HWND& box, MessageBoxSeen& seen) const {
    box = nullptr;
    if (!waitUntil(timeoutMs, [&] {
            std::vector<HWND> boxes = messageBoxesOf(processId_);
            if (boxes.empty()) return false;
            box = boxes.front();
            return true;
        })) {
        return false;
    }
    seen.caption = windowText(box);
    seen.text = messageBoxText(box);
    return true;
}

bool Program::pressOk(HWND box) const {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return waitUntil(kMessageTimeoutMs, [&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

std::vector<MessageBoxSeen> Program::unexpectedMessageBoxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return unexpected_;
}

void Program::watch() {
    while (!stop_) {
        Sleep(100);
        if (static_cast<LONG>(GetTickCount() - deadline_.load()) > 0) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                unexpected_.push_back({"", "the run's deadline passed: program killed"});
            }
            kill();
            return;
        }
        if (boxesExpected_ > 0) continue;
        for (HWND box : messageBoxesOf(processId_)) {
            MessageBoxSeen seen{windowText(box), messageBoxText(box)};
            {
                std::lock_guard<std::mutex> lock(mutex_);
                unexpected_.push_back(seen);
            }
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            waitUntil(kMessageTimeoutMs, [&] { return !IsWindow(box); });
        }
    }
}

}  // namespace e2e
