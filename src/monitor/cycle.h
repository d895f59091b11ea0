// One monitoring pass: probe every server, choose the two fastest candidates,
// apply them, show them and log the outcome. The pass reaches the window, the
// probe and netsh only through MonitorPlatform, so it runs anywhere.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "support/types.h"

constexpr std::int32_t kProbeTimeoutMs = 2000;
constexpr std::size_t kLogLimitBytes = 500;

// The pair a pass chose from the candidates' probe times.
struct PairChoice {
    int answered = 0;  // candidates that answered and could be chosen
    std::string primary;
    std::string secondary;
    std::int32_t primaryTime = 0;
    std::int32_t secondaryTime = 0;
};

// Fastest answered candidate as primary, the next fastest different server as
// secondary. Ties go to the earlier candidate in list order. A time of -1 means
// no answer. With one answered candidate the secondary stays empty (time 0).
PairChoice chooseBestPair(const TextList& candidates, const IntList& times);

// Entry of a pass that switched (or tried to switch) to the pair.
std::string switchLogEntry(const std::string& timestamp, const std::string& primary,
                           const std::string& secondary);
// Entry of a pass in which no candidate answered.
std::string noServerLogEntry(const std::string& timestamp);

struct MonitorPlatform {
    // Round-trip time in ms, or -1.
    std::function<std::int32_t(const std::string& host, std::int32_t timeoutMs)> probe;
    // Connection name of the adapter selected in the drop-down list.
    std::function<std::string()> selectedAdapterName;
    std::function<bool(std::string& adapterName, const std::string& primary,
                       const std::string& secondary, std::string& errorText)>
        switchDns;
    // Writes the four DNS edit boxes (in the order primary, secondary,
    // primary time, secondary time).
    std::function<void(const std::string& primary, const std::string& secondary,
                       const std::string& primaryTime, const std::string& secondaryTime)>
        showPair;
    std::function<void(const std::string& text)> showInfoBox;
    std::function<std::string()> logText;
    std::function<void(const std::string& text)> setLogText;
    std::function<void()> hideStartedLabel;
    // Time of day for the log entry.
    std::function<std::string()> timestamp;
};

// One pass over the servers. bestPrimary and bestSecondary hold the pair of the
// previous pass and receive the new one; they keep their values when no
// candidate answered.
void runMonitoringPass(const TextList& currentServers, const TextList& candidateServers,
                       std::string& bestPrimary, std::string& bestSecondary,
                       const MonitorPlatform& platform);
