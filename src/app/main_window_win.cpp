// Process entry, globals, the main window with its controls, the tray icon and
// the event handlers.
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "app/control_ids.h"
#include "app/inventory.h"
#include "app/res/resource.h"

// ---- Globals ---------------------------------------------------------------

std::string currentDnsText;
TextList currentDnsServers;
TextList candidateDnsServers;
AdapterList adapterList;
std::string bestPrimaryDns;
std::string bestSecondaryDns;
void* workerThreadHandle = nullptr;
bool globalsReleased = false;
std::atomic<int> activeWorkers{0};

std::mutex& globalsMutex() {
    static std::mutex* m = new std::mutex;  // never destroyed: workers may outlive main
    return *m;
}

void initGlobals() {
    std::lock_guard<std::mutex> lock(globalsMutex());
    currentDnsServers.clear();
    candidateDnsServers.clear();
    adapterList.clear();
}

void releaseGlobals() {
    std::lock_guard<std::mutex> lock(globalsMutex());
    globalsReleased = true;
    std::string().swap(currentDnsText);
    TextList().swap(currentDnsServers);
    TextList().swap(candidateDnsServers);
    std::string().swap(bestPrimaryDns);
    std::string().swap(bestSecondaryDns);
    AdapterList().swap(adapterList);
    if (workerThreadHandle) {
        CloseHandle(workerThreadHandle);
        workerThreadHandle = nullptr;
    }
}

// ---- The window ------------------------------------------------------------

namespace {

constexpr int kWindowWidth = 429;
constexpr int kWindowHeight = 282;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr UINT kTrayCallback = WM_APP + kTrayCallbackOffset;
constexpr int kComboDropHeight = 160;
constexpr int kStopNoticeMs = 3000;

std::atomic<HWND> g_window{nullptr};  // read by workers, cleared on WM_DESTROY
HICON g_trayIcon = nullptr;
bool g_trayAdded = false;
std::string g_trayTip;
UINT g_taskbarCreated = 0;
UINT g_timerPeriod = 0;

enum class Kind { Label, Combo, Edit, LogEdit, Button };
enum class Align { Left, Center, CenterWrap };

struct ControlSpec {
    int id;
    Kind kind;
    int x, y, w, h;
    const char* text;
    bool visible;
    bool red;
    Align align;
};

const ControlSpec kControls[] = {
    {kIdLabelChooseAdapter, Kind::Label, 56, 16, 48, 24, "选择网卡", true, false, Align::Left},
    {kIdAdapterCombo, Kind::Combo, 112, 16, 112, 20, "", true, false, Align::Left},
    {kIdLabelPrimary, Kind::Label, 16, 64, 56, 16, "最佳主DNS", true, false, Align::Left},
    {kIdEditDns1, Kind::Edit, 80, 56, 112, 24, "", true, false, Align::Left},
    {kIdLabelDelay1, Kind::Label, 200, 56, 24, 24, "延迟", true, false, Align::Left},
    {kIdEditDns1Time, Kind::Edit, 240, 56, 48, 24, "", true, false, Align::Left},
    {kIdLabelSecondary, Kind::Label, 16, 96, 64, 24, "最佳备DNS", true, false, Align::Left},
    {kIdEditDns2, Kind::Edit, 80, 96, 112, 24, "", true, false, Align::Left},
    {kIdLabelDelay2, Kind::Label, 200, 96, 32, 24, "延迟", true, false, Align::Left},
    {kIdEditDns2Time, Kind::Edit, 240, 96, 48, 24, "", true, false, Align::Left},
    {kIdEditLog, Kind::LogEdit, 16, 136, 272, 104, "", true, false, Align::Left},
    {kIdButtonStart, Kind::Button, 312, 8, 96, 40, "开启", true, false, Align::Left},
    {kIdLabelStarted, Kind::Label, 312, 56, 88, 16, "已开启，请等待", false, true, Align::Center},
    {kIdButtonStop, Kind::Button, 312, 80, 96, 40, "关闭", true, false, Align::Left},
    {kIdLabelStopping, Kind::Label, 304, 128, 112, 32, "正在停止，正在进行的步骤将进行完毕", false, true,
     Align::CenterWrap},
    {kIdButtonClearLog, Kind::Button, 312, 168, 64, 32, "清空日志", true, false, Align::Left},
    {kIdButtonCheckUpdate, Kind::Button, 312, 208, 104, 24, "检查更新", true, false, Align::Left},
    {kIdLabelVersion, Kind::Label, 384, 232, 32, 16, "0.1", true, true, Align::Left},
};

const ControlSpec* findControl(int id) {
    for (const ControlSpec& c : kControls)
        if (c.id == id) return &c;
    return nullptr;
}

HWND control(int id) { return g_window ? GetDlgItem(g_window, id) : nullptr; }

void createControls(HWND window) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (const ControlSpec& c : kControls) {
        const char* cls = "STATIC";
        DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0);
        DWORD exStyle = 0;
        int height = c.h;
        switch (c.kind) {
            case Kind::Label:
                style |= SS_NOPREFIX;
                if (c.align == Align::Left) style |= SS_LEFT | SS_CENTERIMAGE;
                if (c.align == Align::Center) style |= SS_CENTER | SS_CENTERIMAGE;
                if (c.align == Align::CenterWrap) style |= SS_CENTER;
                break;
            case Kind::Combo:
                cls = "COMBOBOX";
                style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
                height = kComboDropHeight;
                break;
            case Kind::Edit:
                cls = "EDIT";
                style |= WS_TABSTOP | ES_AUTOHSCROLL;
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case Kind::LogEdit:
                cls = "EDIT";
                style |= WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case Kind::Button:
                cls = "BUTTON";
                style |= WS_TABSTOP | BS_PUSHBUTTON;
                break;
        }
        HWND h = CreateWindowExA(exStyle, cls, c.text, style, c.x, c.y, c.w, height, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (c.kind == Kind::LogEdit) SendMessageA(h, EM_SETLIMITTEXT, 0, 0);
    }
}

// ---- Tray icon -------------------------------------------------------------

NOTIFYICONDATAA trayData(HICON icon) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(data);
    data.hWnd = g_window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallback;
    data.hIcon = icon;
    lstrcpynA(data.szTip, g_trayTip.c_str(), sizeof(data.szTip));
    return data;
}

void addTrayIconAgain() {
    if (!g_trayAdded || !g_trayIcon) return;
    NOTIFYICONDATAA data = trayData(g_trayIcon);
    Shell_NotifyIconA(NIM_ADD, &data);
}

void removeTrayIcon() {
    if (!g_trayAdded) return;
    NOTIFYICONDATAA data = trayData(nullptr);
    data.uFlags = 0;
    Shell_NotifyIconA(NIM_DELETE, &data);
    g_trayAdded = false;
    if (g_trayIcon) DestroyIcon(g_trayIcon);
    g_trayIcon = nullptr;
}

// ---- Timer 时钟1 ------------------------------------------------------------

// A period equal to the current one keeps a running countdown; any other
// period restarts the timer, and 0 stops it.
void setMonitorPeriod(int period) {
    const UINT p = period < 0 ? 0 : static_cast<UINT>(period);
    if (p == g_timerPeriod) return;
    if (g_timerPeriod > 0) KillTimer(g_window, kMonitorTimerId);
    g_timerPeriod = p;
    if (p > 0) SetTimer(g_window, kMonitorTimerId, p, nullptr);
}

// ---- Event handlers --------------------------------------------------------

void onStartClicked() {
    bool noCurrentDns;
    {
        std::lock_guard<std::mutex> lock(globalsMutex());
        noCurrentDns = currentDnsText.empty();
    }
    if (noCurrentDns)
        showInfoBox("获取现有DNS错误\r\n可能原因：您未连接网络，请连接网络后重启软件");
    if (!g_window) return;  // the window was closed while the box was open
    setControlVisible(kIdLabelStarted, true);
    ++activeWorkers;  // counted before it runs, so the end of the program sees it
    HANDLE thread = CreateThread(nullptr, 0, monitorWorkerMain, nullptr, 0, nullptr);
    if (!thread) --activeWorkers;
    {
        std::lock_guard<std::mutex> lock(globalsMutex());
        // Nothing waits on a worker: the handle of the previous one is closed.
        if (workerThreadHandle) CloseHandle(workerThreadHandle);
        workerThreadHandle = thread;
    }
    setMonitorPeriod(kMonitorPeriodMs);
}

void onMonitorTimer() { onStartClicked(); }

void onStopClicked() {
    setMonitorPeriod(0);
    setControlVisible(kIdLabelStopping, true);
    waitProcessingMessages(kStopNoticeMs);
    setControlVisible(kIdLabelStopping, false);
}

void onClearLogClicked() { setControlText(kIdEditLog, ""); }

void onCheckUpdateClicked() { showInfoBox("该功能正在开发，请关注Quennel论坛"); }

void onWindowMoved() {
    if (IsIconic(g_window)) ShowWindow(g_window, SW_HIDE);
}

void onTrayNotify(int trayAction) {
    if (trayAction != 1) return;
    ShowWindow(g_window, SW_SHOW);
    ShowWindow(g_window, IsIconic(g_window) ? SW_RESTORE : SW_SHOWNORMAL);
    SetForegroundWindow(g_window);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_taskbarCreated && g_taskbarCreated != 0) {
        addTrayIconAgain();  // Explorer restarted: the tray is new and empty
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                switch (LOWORD(wParam)) {
                    case kIdButtonStart: onStartClicked(); return 0;
                    case kIdButtonStop: onStopClicked(); return 0;
                    case kIdButtonClearLog: onClearLogClicked(); return 0;
                    case kIdButtonCheckUpdate: onCheckUpdateClicked(); return 0;
                }
            }
            break;
        case WM_TIMER:
            if (wParam == kMonitorTimerId) {
                onMonitorTimer();
                return 0;
            }
            break;
        case WM_MOVE:
            onWindowMoved();
            break;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) onWindowMoved();
            break;
        case WM_CTLCOLORSTATIC: {
            const ControlSpec* c = findControl(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            if (c && c->kind == Kind::Label) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, c->red ? kRed : RGB(0, 0, 0));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        }
        case WM_APP + kTrayCallbackOffset:
            switch (static_cast<UINT>(lParam)) {
                case WM_LBUTTONUP: onTrayNotify(1); break;
                case WM_LBUTTONDBLCLK: onTrayNotify(2); break;
                case WM_RBUTTONUP:
                case WM_CONTEXTMENU: onTrayNotify(3); break;
            }
            return 0;
        case WM_DESTROY:
            if (g_timerPeriod > 0) KillTimer(window, kMonitorTimerId);
            g_timerPeriod = 0;
            removeTrayIcon();
            g_window = nullptr;
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createMainWindow() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_KORVEL), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_KORVEL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = KORVEL_MAIN_WINDOW_CLASS;
    if (!RegisterClassExA(&wc)) return nullptr;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
    // Fixed border, system menu and minimise box; no maximise, no resizing.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    return CreateWindowExA(0, KORVEL_MAIN_WINDOW_CLASS, "", style, x, y, kWindowWidth, kWindowHeight,
                           nullptr, nullptr, instance, nullptr);
}

void allowTaskbarCreated(HWND window) {
    // An elevated process filters messages from lower processes such as
    // Explorer unless it lets them through.
    g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    auto filter = reinterpret_cast<FilterFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx")));
    if (filter && g_taskbarCreated) filter(window, g_taskbarCreated, MSGFLT_ALLOW, nullptr);
}

}  // namespace

// ---- Operations used by the inventory and the passes ------------------------

void showInfoBox(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "信息：", MB_OK | MB_TASKMODAL);
}

std::string controlText(int id) {
    HWND h = control(id);
    if (!h) return {};
    const int n = GetWindowTextLengthA(h);
    if (n <= 0) return {};
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    const int got = GetWindowTextA(h, &text[0], n + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

void setControlText(int id, const std::string& text) {
    if (HWND h = control(id)) SetWindowTextA(h, text.c_str());
}

void setLogText(const std::string& text) {
    HWND h = control(kIdEditLog);
    if (!h) return;
    SetWindowTextA(h, text.c_str());
    // Keep the newest entry in view.
    SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageA(h, EM_SCROLLCARET, 0, 0);
}

void setControlVisible(int id, bool visible) {
    if (HWND h = control(id)) ShowWindow(h, visible ? SW_SHOW : SW_HIDE);
}

int addAdapterItem(const std::string& text) {
    HWND h = control(kIdAdapterCombo);
    if (!h) return -1;
    const LRESULT r = SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return r < 0 ? -1 : static_cast<int>(r);
}

int adapterSelection() {
    HWND h = control(kIdAdapterCombo);
    return h ? static_cast<int>(SendMessageA(h, CB_GETCURSEL, 0, 0)) : -1;
}

std::string adapterItemText(int index) {
    HWND h = control(kIdAdapterCombo);
    if (!h || index < 0 || index >= static_cast<int>(SendMessageA(h, CB_GETCOUNT, 0, 0))) return {};
    const LRESULT n = SendMessageA(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n <= 0) return {};
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    const LRESULT got = SendMessageA(h, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

void setTrayIcon(const std::string& tip) {
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_KORVEL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    g_trayTip = tip;
    NOTIFYICONDATAA data = trayData(icon);
    if (!g_trayAdded) {
        // When there is no tray yet (Explorer still starting) the add fails;
        // TaskbarCreated repeats it once the tray exists.
        Shell_NotifyIconA(NIM_ADD, &data);
        g_trayAdded = true;
    } else {
        Shell_NotifyIconA(NIM_MODIFY, &data);
    }
    if (g_trayIcon && g_trayIcon != icon) DestroyIcon(g_trayIcon);
    g_trayIcon = icon;
}

void waitProcessingMessages(int ms) {
    if (ms <= 0) return;
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Leave the quit message for the main loop; the program is ending.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed > static_cast<DWORD>(ms)) return;
        // Sleep until a message arrives or the time is up: no spinning.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(ms) - elapsed + 1, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

// ---- Process entry ---------------------------------------------------------

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    initGlobals();
    std::atexit(releaseGlobals);
    g_window = createMainWindow();
    if (!g_window) return 1;
    createControls(g_window);
    allowTaskbarCreated(g_window);
    runStartupInventory();
    onWindowMoved();
    ShowWindow(g_window, SW_SHOW);
    UpdateWindow(g_window);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // A pass still running (or waiting) on a worker is cut off: the globals
    // are released under the lock and marked so, then ExitProcess ends the
    // workers before anything else is torn down, so no pass can use the probe
    // or a global after its release. Without workers the program ends normally.
    releaseGlobals();
    if (activeWorkers.load() > 0) ExitProcess(static_cast<UINT>(msg.wParam));
    return static_cast<int>(msg.wParam);
}
