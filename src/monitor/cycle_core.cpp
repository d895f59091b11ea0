#include "monitor/cycle.h"

#include <algorithm>

#include "dnsconfig/address.h"

PairChoice chooseBestPair(const TextList& candidates, const IntList& times) {
    PairChoice choice;
    const std::size_t n = std::min(candidates.size(), times.size());
    std::size_t best = n, second = n;
    for (std::size_t k = 0; k < n; ++k) {
        if (times[k] < 0) continue;
        ++choice.answered;
        // Strict comparisons keep the earlier candidate on a tie.
        if (best == n || times[k] < times[best]) {
            if (best != n && candidates[best] != candidates[k]) second = best;
            best = k;
        } else if (candidates[k] != candidates[best] && (second == n || times[k] < times[second])) {
            second = k;
        }
    }
    if (best != n) {
        choice.primary = candidates[best];
        choice.primaryTime = times[best];
    }
    if (second != n) {
        choice.secondary = candidates[second];
        choice.secondaryTime = times[second];
    }
    return choice;
}

std::string switchLogEntry(const std::string& timestamp, const std::string& primary,
                           const std::string& secondary) {
    return timestamp + "切换DNS为\r\n" + primary + "\r\n" + secondary + "\r\n";
}

std::string noServerLogEntry(const std::string& timestamp) {
    return timestamp + "无可用DNS，未切换\r\n";
}

namespace {

// Probes each server in turn. Entries that are not address literals (empty
// lines of the list file, names, stray text) are not probed and count as no
// answer.
IntList probeAll(const TextList& servers, const MonitorPlatform& platform) {
    IntList times;
    times.reserve(servers.size());
    for (const std::string& server : servers)
        times.push_back(isAddressLiteral(server) ? platform.probe(server, kProbeTimeoutMs) : -1);
    return times;
}

// Empties a full log, hides the "started" label, then appends the entry
// stamped with the time of day.
template <typename MakeEntry>
void writeLogEntry(const MonitorPlatform& platform, MakeEntry makeEntry) {
    std::string log = platform.logText();
    if (log.size() >= kLogLimitBytes) {
        log.clear();
        platform.setLogText(log);
    }
    platform.hideStartedLabel();
    platform.setLogText(log + makeEntry(platform.timestamp()));
}

}  // namespace

void runMonitoringPass(const TextList& currentServers, const TextList& candidateServers,
                       std::string& bestPrimary, std::string& bestSecondary,
                       const MonitorPlatform& platform) {
    // The current servers are timed too, although only the candidates compete.
    probeAll(currentServers, platform);
    const IntList candidateTimes = probeAll(candidateServers, platform);
    const PairChoice choice = chooseBestPair(candidateServers, candidateTimes);

    if (choice.answered == 0) {
        // Nothing answered (network down, empty list): leave the adapter alone.
        writeLogEntry(platform, [&](const std::string& stamp) { return noServerLogEntry(stamp); });
        return;
    }

    bestPrimary = choice.primary;
    bestSecondary = choice.secondary;
    std::string adapterName = platform.selectedAdapterName();
    std::string errorText;
    if (platform.switchDns(adapterName, bestPrimary, bestSecondary, errorText)) {
        platform.showPair(bestPrimary, bestSecondary, std::to_string(choice.primaryTime),
                          std::to_string(choice.secondaryTime));
    } else {
        platform.showInfoBox(errorText);
    }
    writeLogEntry(platform, [&](const std::string& stamp) {
        return switchLogEntry(stamp, bestPrimary, bestSecondary);
    });
}
