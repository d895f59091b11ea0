// The program's shell: globals shared by the start-up inventory and the
// monitoring passes, and the operations on the main window they use.
// Windows only.
#pragma once
#include <atomic>
#include <mutex>
#include <string>

#include "adapters/adapters.h"
#include "support/types.h"

// Globals, owned by the shell for the life of the process. They are only
// touched with globalsMutex() held once a worker thread may run, and never
// after globalsReleased is set.
extern std::string currentDnsText;
extern TextList currentDnsServers;
extern TextList candidateDnsServers;
extern AdapterList adapterList;
extern std::string bestPrimaryDns;
extern std::string bestSecondaryDns;
extern void* workerThreadHandle;
extern bool globalsReleased;
// Worker threads that have started and not yet ended (waiting passes count).
extern std::atomic<int> activeWorkers;
std::mutex& globalsMutex();

void initGlobals();
void releaseGlobals();

// Task-modal box with the caption "信息：" and an OK button; returns when the
// user closes it.
void showInfoBox(const std::string& text);

// Text and visibility of a control of the main window, by identifier.
std::string controlText(int id);
void setControlText(int id, const std::string& text);
void setControlVisible(int id, bool visible);
// Replaces the log's text and scrolls to its end.
void setLogText(const std::string& text);

// 组合框1: append an item (0-based index or -1), the selected index (-1 when
// none) and the text of an item (empty outside the list).
int addAdapterItem(const std::string& text);
int adapterSelection();
std::string adapterItemText(int index);

// Adds or replaces the tray icon of the main window with the program's icon
// and the tip.
void setTrayIcon(const std::string& tip);

// Returns after ms milliseconds, dispatching the thread's window messages
// meanwhile.
void waitProcessingMessages(int ms);

// One pass on a worker thread (monitor/cycle_win.cpp).
unsigned long __stdcall monitorWorkerMain(void* unused);
void runMonitoringCycle();
