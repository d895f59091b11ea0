// The monitoring pass on its worker thread, wired to the window, the probe and
// netsh.
#include <windows.h>

#include <mutex>

#include "app/app.h"
#include "app/control_ids.h"
#include "dnsconfig/switch.h"
#include "monitor/cycle.h"
#include "monitor/probe.h"
#include "support/timestamp.h"

unsigned long __stdcall monitorWorkerMain(void*) {
    // Counted by the thread that started this one.
    runMonitoringCycle();
    --activeWorkers;
    return 0;
}

void runMonitoringCycle() {
    // One pass at a time: a pass started while another runs waits for it.
    // Never destroyed, since workers may still wait while the process ends.
    static std::mutex* passMutex = new std::mutex;
    std::lock_guard<std::mutex> pass(*passMutex);

    // The pass works on copies; the globals are locked only to copy them and
    // to store the new pair, never while the window is being updated.
    TextList current, candidates;
    std::string primary, secondary;
    {
        std::lock_guard<std::mutex> lock(globalsMutex());
        if (globalsReleased) return;
        current = currentDnsServers;
        candidates = candidateDnsServers;
        primary = bestPrimaryDns;
        secondary = bestSecondaryDns;
    }

    MonitorPlatform platform;
    platform.probe = [](const std::string& host, std::int32_t timeoutMs) { return probeLatency(host, timeoutMs); };
    platform.selectedAdapterName = [] { return adapterItemText(adapterSelection()); };
    platform.switchDns = [](std::string& adapterName, const std::string& p, const std::string& s,
                            std::string& errorText) { return switchDns(adapterName, p, s, errorText); };
    platform.showPair = [](const std::string& p, const std::string& s, const std::string& pTime,
                           const std::string& sTime) {
        setControlText(kIdEditDns1, p);
        setControlText(kIdEditDns2, s);
        setControlText(kIdEditDns1Time, pTime);
        setControlText(kIdEditDns2Time, sTime);
    };
    platform.showInfoBox = [](const std::string& text) { showInfoBox(text); };
    platform.logText = [] { return controlText(kIdEditLog); };
    platform.setLogText = [](const std::string& text) { setLogText(text); };
    platform.hideStartedLabel = [] { setControlVisible(kIdLabelStarted, false); };
    platform.timestamp = [] { return formatTimestamp(std::nullopt, 1, 3); };

    runMonitoringPass(current, candidates, primary, secondary, platform);

    std::lock_guard<std::mutex> lock(globalsMutex());
    if (globalsReleased) return;
    bestPrimaryDns = primary;
    bestSecondaryDns = secondary;
}
