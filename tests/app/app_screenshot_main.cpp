// Brings KorvelDNS.exe into the state shown in the documentation's picture:
// started with the fixtures and fake tools, an adapter chosen, one monitoring
// pass run. Then it writes the window's screen rectangle ("left top width
// height") to <folder>\window.txt and keeps the program open until
// <folder>\done exists (at most two minutes), for tools/screenshot.
//
// usage: app_screenshot FOLDER
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/control_ids.h"
#include "app_driver.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: app_screenshot FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];

    e2e::ProgramSetup setup;
    if (!e2e::loadFixture("ipconfig_two_adapters.txt", setup.ipconfigReport)) {
        std::fprintf(stderr, "app_screenshot: the ipconfig fixture is missing\n");
        return 1;
    }
    setup.dnsList = e2e::dnsListFile({"127.0.0.1", "127.0.0.2", "127.0.0.3"});
    setup.netshReplies = {"确定。\r\n"};
    setup.packageParent = folder;
    setup.ownDesktop = false;  // the virtual desktop this driver was started in

    e2e::Program program;
    std::string error;
    if (!program.launch(setup, error)) {
        std::fprintf(stderr, "app_screenshot: %s\n", error.c_str());
        return 1;
    }
    HWND combo = program.control(kIdAdapterCombo);
    DWORD_PTR index = 0;
    SendMessageTimeoutA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("以太网"), SMTO_ABORTIFHUNG, 5000, &index);
    SendMessageTimeoutA(combo, CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 5000, nullptr);

    program.click(kIdButtonStart);
    const bool logged = e2e::waitUntil(30000, [&] {
        return !e2e::windowText(program.control(kIdEditLog)).empty() &&
               !e2e::hasVisibleStyle(program.control(kIdLabelStarted));
    });
    if (!logged) {
        std::fprintf(stderr, "app_screenshot: the pass wrote no log entry\n");
        return 1;
    }
    Sleep(500);  // let the last repaint reach the screen

    RECT r = {};
    GetWindowRect(program.window(), &r);
    const std::string rect = std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                             std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + "\n";
    if (!e2e::writeFileBytes(folder + "\\window.txt", rect)) {
        std::fprintf(stderr, "app_screenshot: cannot write window.txt\n");
        return 1;
    }
    e2e::waitUntil(120000, [&] { return GetFileAttributesA((folder + "\\done").c_str()) != INVALID_FILE_ATTRIBUTES; });
    return 0;
}
