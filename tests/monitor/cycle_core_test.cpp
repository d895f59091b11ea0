#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "monitor/cycle.h"

namespace {

struct PairCase {
    const char* name;
    TextList candidates;
    IntList times;
    int answered;
    std::string primary, secondary;
    std::int32_t primaryTime, secondaryTime;
};

TEST(ChooseBestPair, PicksFastestTwoDistinctServers) {
    const PairCase cases[] = {
        {"unanswered first in sort", {"A", "B", "C"}, {40, -1, 25}, 2, "C", "A", 25, 40},
        {"four with one silent", {"A", "B", "C", "D"}, {-1, 18, 7, 30}, 3, "C", "B", 7, 18},
        {"tie goes to earlier", {"A", "B", "C"}, {9, 9, 9}, 3, "A", "B", 9, 9},
        {"tie for second", {"A", "B", "C"}, {1, 5, 5}, 3, "A", "B", 1, 5},
        {"one answered", {"A", "B"}, {-1, 12}, 1, "B", "", 12, 0},
        {"none answered", {"A", "B"}, {-1, -1}, 0, "", "", 0, 0},
        {"empty list", {}, {}, 0, "", "", 0, 0},
        {"same server twice", {"A", "A", "B"}, {3, 4, 20}, 3, "A", "B", 3, 20},
        {"same server twice only", {"A", "A"}, {3, 4}, 2, "A", "", 3, 0},
        {"faster copy replaces", {"A", "B", "A"}, {30, 20, 10}, 3, "A", "B", 10, 20},
        {"zero is an answer", {"A", "B"}, {0, -1}, 1, "A", "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PairChoice got = chooseBestPair(c.candidates, c.times);
        EXPECT_EQ(got.answered, c.answered);
        EXPECT_EQ(got.primary, c.primary);
        EXPECT_EQ(got.secondary, c.secondary);
        EXPECT_EQ(got.primaryTime, c.primaryTime);
        EXPECT_EQ(got.secondaryTime, c.secondaryTime);
    }
}

// A window, a network and netsh made of plain data; every call is recorded in
// order so the tests can check what happened when.
struct FakeWorld {
    std::map<std::string, std::int32_t> times;  // servers that answer
    std::vector<std::string> probed;
    std::vector<std::string> events;
    std::string selected = "以太网";
    bool switchOk = true;
    std::string netshText = "在命令中出错";
    std::string log;
    std::vector<std::string> switchCalls;
    std::string boxes[4] = {"old1", "old2", "t1", "t2"};

    MonitorPlatform platform() {
        MonitorPlatform p;
        p.probe = [this](const std::string& host, std::int32_t timeout) {
            EXPECT_EQ(timeout, 2000);
            probed.push_back(host);
            auto it = times.find(host);
            return it == times.end() ? -1 : it->second;
        };
        p.selectedAdapterName = [this] { return selected; };
        p.switchDns = [this](std::string& name, const std::string& a, const std::string& b,
                             std::string& err) {
            switchCalls.push_back(name + "|" + a + "|" + b);
            events.push_back("switch");
            if (!switchOk) err = netshText;
            return switchOk;
        };
        p.showPair = [this](const std::string& a, const std::string& b, const std::string& ta,
                            const std::string& tb) {
            events.push_back("pair");
            boxes[0] = a, boxes[1] = b, boxes[2] = ta, boxes[3] = tb;
        };
        p.showInfoBox = [this](const std::string& text) { events.push_back("box:" + text); };
        p.logText = [this] { return log; };
        p.setLogText = [this](const std::string& text) {
            events.push_back("log");
            log = text;
        };
        p.hideStartedLabel = [this] { events.push_back("hide"); };
        p.timestamp = [] { return std::string("21:07:45"); };
        return p;
    }
};

TEST(MonitoringPass, AppliesFastestPairShowsAndLogsIt) {
    FakeWorld w;
    w.times = {{"127.0.0.53", 1}, {"127.0.0.2", 30}, {"127.0.0.3", 5}, {"127.0.0.4", 9}};
    w.log = "earlier\r\n";
    std::string primary, secondary;
    runMonitoringPass({"127.0.0.53", "127.0.0.99"}, {"127.0.0.2", "", "abc", "127.0.0.3", "127.0.0.4"},
                      primary, secondary, w.platform());

    // Current servers first, then candidates; text that is no address is never probed.
    EXPECT_EQ(w.probed, (std::vector<std::string>{"127.0.0.53", "127.0.0.99", "127.0.0.2",
                                                  "127.0.0.3", "127.0.0.4"}));
    EXPECT_EQ(w.switchCalls, (std::vector<std::string>{"以太网|127.0.0.3|127.0.0.4"}));
    EXPECT_EQ(primary, "127.0.0.3");
    EXPECT_EQ(secondary, "127.0.0.4");
    EXPECT_EQ(w.boxes[0], "127.0.0.3");
    EXPECT_EQ(w.boxes[1], "127.0.0.4");
    EXPECT_EQ(w.boxes[2], "5");
    EXPECT_EQ(w.boxes[3], "9");
    EXPECT_EQ(w.log, "earlier\r\n21:07:45切换DNS为\r\n127.0.0.3\r\n127.0.0.4\r\n");
    EXPECT_EQ(w.events, (std::vector<std::string>{"switch", "pair", "hide", "log"}));
}

TEST(MonitoringPass, FailedSwitchShowsNetshTextThenLogs) {
    FakeWorld w;
    w.times = {{"127.0.0.2", 3}, {"127.0.0.3", 4}};
    w.switchOk = false;
    std::string primary, secondary;
    runMonitoringPass({}, {"127.0.0.2", "127.0.0.3"}, primary, secondary, w.platform());
    EXPECT_EQ(w.events, (std::vector<std::string>{"switch", "box:在命令中出错", "hide", "log"}));
    EXPECT_EQ(w.boxes[0], "old1");  // edit boxes untouched
    EXPECT_EQ(w.boxes[2], "t1");
    EXPECT_EQ(w.log, "21:07:45切换DNS为\r\n127.0.0.2\r\n127.0.0.3\r\n");
}

TEST(MonitoringPass, OneAnsweredCandidateLeavesSecondaryEmpty) {
    FakeWorld w;
    w.times = {{"127.0.0.3", 7}};
    std::string primary = "old-p", secondary = "old-s";
    runMonitoringPass({}, {"127.0.0.2", "127.0.0.3"}, primary, secondary, w.platform());
    EXPECT_EQ(w.switchCalls, (std::vector<std::string>{"以太网|127.0.0.3|"}));
    EXPECT_EQ(secondary, "");
    EXPECT_EQ(w.boxes[3], "0");
}

TEST(MonitoringPass, NothingAnsweredSwitchesNothing) {
    for (const TextList& candidates : {TextList{"127.0.0.2", "x"}, TextList{}}) {
        FakeWorld w;
        std::string primary = "127.0.0.8", secondary = "127.0.0.9";
        runMonitoringPass({"127.0.0.53"}, candidates, primary, secondary, w.platform());
        EXPECT_TRUE(w.switchCalls.empty());
        EXPECT_EQ(primary, "127.0.0.8");
        EXPECT_EQ(secondary, "127.0.0.9");
        EXPECT_EQ(w.boxes[0], "old1");
        EXPECT_EQ(w.log, "21:07:45无可用DNS，未切换\r\n");
        EXPECT_EQ(w.events, (std::vector<std::string>{"hide", "log"}));
    }
}

TEST(MonitoringPass, FullLogIsEmptiedBeforeTheEntry) {
    const std::string entry = "21:07:45切换DNS为\r\n127.0.0.2\r\n\r\n";
    for (std::size_t size : {499u, 500u, 800u}) {
        FakeWorld w;
        w.times = {{"127.0.0.2", 1}};
        w.log = std::string(size, 'x');
        std::string primary, secondary;
        runMonitoringPass({}, {"127.0.0.2"}, primary, secondary, w.platform());
        EXPECT_EQ(w.log, size < 500 ? std::string(size, 'x') + entry : entry) << size;
    }
    // Chinese characters count two bytes each: 250 of them fill the log.
    FakeWorld w;
    w.times = {{"127.0.0.2", 1}};
    std::string full;
    for (int i = 0; i < 250; ++i) full += "网";
    w.log = full;
    std::string primary, secondary;
    runMonitoringPass({}, {"127.0.0.2"}, primary, secondary, w.platform());
    EXPECT_EQ(w.log, entry);
}

}  // namespace
