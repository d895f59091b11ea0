// Window class and control identifiers of the main window. Shared by the
// program and by the test driver that finds and operates its controls.
#pragma once

#define KORVEL_MAIN_WINDOW_CLASS "KorvelDNS.MainWindow"

// Identifiers of the child controls (GetDlgItem).
enum ControlId : int {
    kIdLabelChooseAdapter = 1001,  // 标签1
    kIdAdapterCombo = 1002,        // 组合框1
    kIdLabelPrimary = 1003,        // 标签3
    kIdEditDns1 = 1004,            // 编辑框_DNS1
    kIdLabelDelay1 = 1005,         // 标签5
    kIdEditDns1Time = 1006,        // 编辑框_DNS1测速
    kIdLabelSecondary = 1007,      // 标签4
    kIdEditDns2 = 1008,            // 编辑框_DNS2
    kIdLabelDelay2 = 1009,         // 标签6
    kIdEditDns2Time = 1010,        // 编辑框_DNS2测速
    kIdEditLog = 1011,             // 编辑框_日志
    kIdButtonStart = 1012,         // 按钮_开启监控
    kIdLabelStarted = 1013,        // 标签_启动
    kIdButtonStop = 1014,          // 按钮_关闭监控
    kIdLabelStopping = 1015,       // 标签_关闭
    kIdButtonClearLog = 1016,      // 按钮_清空日志
    kIdButtonCheckUpdate = 1017,   // 按钮_检查更新
    kIdLabelVersion = 1018,        // 标签_版本
};

// 时钟1: the monitoring timer.
constexpr unsigned kMonitorTimerId = 1000;
constexpr unsigned kMonitorPeriodMs = 600000;

// Tray icon.
constexpr unsigned kTrayIconId = 100;
constexpr unsigned kTrayCallbackOffset = 100;  // callback message WM_APP + 100
