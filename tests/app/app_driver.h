// Driver for end-to-end tests of KorvelDNS.exe: builds a package folder with
// the program, its DNS list file and fake console tools, starts the program,
// finds its window and operates the controls from outside, the way a user (or
// the tray) would. Texts are code page 936 bytes, like the program's own.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// ---- files and texts -------------------------------------------------------

// Directory of the running executable, without a trailing backslash.
std::string moduleDirectory();

bool readFileBytes(const std::string& path, std::string& bytes);
bool writeFileBytes(const std::string& path, const std::string& bytes);

// UTF-8 text to code page 936, every bare LF made CR LF. Empty when the text
// is not valid UTF-8 or has characters code page 936 cannot hold.
std::string utf8ToCp936(const std::string& utf8);

// A fixture file of bin/app_fixtures (stored as UTF-8 with LF line ends), as
// the Chinese system would have it: code page 936 with CR LF. False when the
// file is missing or cannot be converted.
bool loadFixture(const std::string& name, std::string& cp936);

// The lines of a CR LF text; a final line break ends the last line.
std::vector<std::string> splitLines(const std::string& text);

// dns列表.ini with the given values as DNS1, DNS2, ... in the section DNS列表.
std::string dnsListFile(const std::vector<std::string>& values);

// A fresh, uniquely named folder, removed with its content when the owner
// goes.
class TempFolder {
public:
    TempFolder() = default;
    ~TempFolder();
    // Creates the folder under parent, or under the temp directory when parent
    // is empty.
    bool create(const std::string& parent = std::string());
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    bool valid() const { return !path_.empty(); }

private:
    std::string path_;
};

// ---- windows of another process ---------------------------------------------

std::string className(HWND window);
// Text through WM_GETTEXT (works across processes); empty on time-out.
std::string windowText(HWND window);
bool setWindowText(HWND window, const std::string& text);
// The window's own visibility flag (WS_VISIBLE), whatever its parent's.
bool hasVisibleStyle(HWND window);
// Rectangle of a child window in its parent's client coordinates.
RECT rectInParent(HWND child);
LONG_PTR styleOf(HWND window);
LONG_PTR exStyleOf(HWND window);

// Polls pred every 25 ms until it holds or timeoutMs has passed.
bool waitUntil(DWORD timeoutMs, const std::function<bool()>& pred);

// Visible top-level windows of class #32770 (message boxes) of a process.
std::vector<HWND> messageBoxesOf(DWORD processId);
// The message text of a message box (its static text control).
std::string messageBoxText(HWND box);

// ---- the program under test -----------------------------------------------------

struct ProgramSetup {
    std::string ipconfigReport;              // what the fake ipconfig prints (code page 936)
    std::string dnsList;                     // dns列表.ini, code page 936
    std::vector<std::string> netshReplies;   // one per netsh call; the last repeats
    int netshDelayMs = 0;                    // netsh waits this long before answering
    bool withDataFolder = true;              // the data folder beside the exe
    std::string packageParent;               // where the package folder goes; empty: temp
    bool ownDesktop = true;                  // false: the program shares the caller's desktop
};

struct MessageBoxSeen {
    std::string caption;
    std::string text;
};

// One run of KorvelDNS.exe in a package folder of its own. The process (and
// the console commands it starts) is killed when the owner goes. A watchdog
// closes every message box that appears while none is expected and records
// it, so that an unexpected box fails the test instead of hanging it; it also
// kills the program once the run's deadline has passed.
class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Makes the package, starts the program and waits until its main window is
    // shown. False with a reason in error otherwise.
    bool launch(const ProgramSetup& setup, std::string& error);
    void kill();
    bool running() const;

    HWND window() const { return window_; }
    DWORD processId() const { return processId_; }
    HWND control(int id) const;
    const std::string& packageFolder() const { return package_.path(); }
    std::string fakeFolder() const;

    // Command lines recorded by a fake tool ("ipconfig", "netsh"), each with
    // the program name in front removed.
    std::vector<std::string> calls(const char* tool) const;

    // User actions, posted so that a handler that blocks does not block the
    // driver.
    void click(int buttonId) const;                  // BM_CLICK on the button
    void timerTick() const;                          // WM_TIMER of the monitoring timer
    void trayClick(UINT mouseMessage) const;         // the tray icon's callback
    void minimise() const;                           // SC_MINIMIZE from the system menu

    // Message boxes: while an expectation is held the watchdog leaves boxes
    // alone. waitForMessageBox returns the first box of the program that shows
    // within timeoutMs; pressOk closes it and waits until it is gone.
    void expectMessageBoxes(bool expected);
    bool waitForMessageBox(DWORD timeoutMs, HWND& box, MessageBoxSeen& seen) const;
    bool pressOk(HWND box) const;
    std::vector<MessageBoxSeen> unexpectedMessageBoxes() const;

private:
    void watch();

    TempFolder package_;
    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
    std::atomic<bool> stop_{false};
    std::atomic<int> boxesExpected_{0};
    std::atomic<DWORD> deadline_{0};
    mutable std::mutex mutex_;
    std::vector<MessageBoxSeen> unexpected_;
    std::thread watchdog_;
};

// Local time of day in seconds since midnight.
int secondsOfDay();

}  // namespace e2e
