#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "dnsconfig/switch.h"

namespace {

const std::string kOk = "\xC8\xB7\xB6\xA8\xA1\xA3";  // 确定。 in code page 936

// A platform whose inventories and console are scripted.
struct FakeMachine {
    AdapterList adapters;
    AdapterDetailList details;
    std::deque<std::string> replies;  // one per command, in order; "" when run out
    std::vector<std::string> commands;
    int adapterCalls = 0;
    int detailCalls = 0;

    SwitchPlatform platform() {
        SwitchPlatform p;
        p.listAdapters = [this](AdapterList& list) {
            ++adapterCalls;
            list = adapters;
            return static_cast<std::int32_t>(list.size());
        };
        p.listAdapterDetails = [this](AdapterDetailList& list) {
            ++detailCalls;
            list = details;
            return static_cast<std::int32_t>(list.size());
        };
        p.runConsoleCommand = [this](const std::string& command) {
            commands.push_back(command);
            if (replies.empty()) return std::string();
            std::string reply = replies.front();
            replies.pop_front();
            return reply;
        };
        return p;
    }
};

AdapterRecord adapterNamed(const std::string& name) {
    AdapterRecord r;
    r.description = "Realtek PCIe GbE";
    r.connectionName = name;
    return r;
}

AdapterDetailRecord detailNamed(const std::string& name) {
    AdapterDetailRecord r;
    r.adapterGuid = "{6A1E4F3B-8C2D-4E5F-9A0B-1C2D3E4F5A6B}";
    r.friendlyName = name;
    return r;
}

TEST(NetshCommands, AreBuiltFromThePieces) {
    EXPECT_EQ(dhcpCommand("以太网 2"), "cmd /c netsh interface ip set dns name=\"以太网 2\" source=dhcp");
    EXPECT_EQ(setStaticCommand("以太网 2", "192.0.2.1"),
              "cmd /c netsh interface ip set dns \"以太网 2\" static 192.0.2.1");
    EXPECT_EQ(addCommand("以太网 2", "198.51.100.2"),
              "cmd /c netsh interface ip add dns name=\"以太网 2\" addr=198.51.100.2 index=2");
    EXPECT_EQ(dhcpCommand(""), "cmd /c netsh interface ip set dns name=\"\" source=dhcp");
}

TEST(NetshVerdict, SuccessIsTheMarkerPrefixOrALoneLineBreak) {
    struct Case {
        std::string output;
        bool ok;
    };
    const Case cases[] = {
        {kOk, true},
        {kOk + "\r\n", true},
        {kOk + "anything else\r\nmore", true},
        {"确定。", true},  // the literal as compiled is the same 6 bytes
        {"\r\n", true},
        {"\r\n\r\n", false},
        {"", false},
        {"\n", false},
        {"\xC8\xB7\xB6\xA8", false},  // 确定 without the full stop
        {" " + kOk, false},
        {"\r\n" + kOk, false},
        {"找不到元素。\r\n", false},
    };
    for (const auto& c : cases) EXPECT_EQ(commandSucceeded(c.output), c.ok) << c.output;
}

TEST(NetshVerdict, ErrorTextLosesOnlyTheLastLineBreak) {
    struct Case {
        std::string output, want;
    };
    const Case cases[] = {
        {"\r\n\r\n", "\r\n"},
        {"A\r\nB\r\n", "A\r\nB"},
        {"A\r\nB", "AB"},
        {"no line break", "no line break"},
        {"A\n\r", "A\n\r"},
        {"", ""},
        {"找不到元素。\r\n\r\n", "找不到元素。\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(errorTextFrom(c.output), c.want) << c.output;
}

TEST(SwitchDns, RunsTheCommandsOfTheTable) {
    const std::string name = "以太网 2";
    const std::string a = "192.0.2.1", b = "198.51.100.2";
    struct Case {
        std::string primary, secondary;
        std::vector<std::string> replies;
        std::vector<std::string> wantCommands;
        bool wantOk;
        std::string wantError;  // "(kept)" when errorText must stay as it was
    };
    const Case cases[] = {
        {"", "", {kOk + "\r\n"}, {dhcpCommand(name)}, true, "(kept)"},
        {"", "", {"bad\r\n"}, {dhcpCommand(name)}, false, "bad"},
        {a, b, {kOk, "\r\n"}, {setStaticCommand(name, a), addCommand(name, b)}, true, "(kept)"},
        {a, b, {"static failed\r\n"}, {setStaticCommand(name, a)}, false, "static failed"},
        {a, b, {kOk, "add failed\r\n"}, {setStaticCommand(name, a), addCommand(name, b)}, false,
         "add failed"},
        {a, "", {kOk}, {setStaticCommand(name, a)}, true, "(kept)"},
        {a, "", {""}, {setStaticCommand(name, a)}, false, ""},
        {"", b, {"\r\n"}, {addCommand(name, b)}, true, "(kept)"},
        {"", b, {"A\r\nB\r\n"}, {addCommand(name, b)}, false, "A\r\nB"},
    };
    for (const auto& c : cases) {
        FakeMachine m;
        m.replies.assign(c.replies.begin(), c.replies.end());
        std::string adapter = name;
        std::string error = "(kept)";
        EXPECT_EQ(switchDnsWith(m.platform(), adapter, c.primary, c.secondary, error), c.wantOk)
            << c.primary << "|" << c.secondary;
        EXPECT_EQ(m.commands, c.wantCommands) << c.primary << "|" << c.secondary;
        EXPECT_EQ(error, c.wantError) << c.primary << "|" << c.secondary;
        EXPECT_EQ(adapter, name);
        EXPECT_EQ(m.adapterCalls + m.detailCalls, 0);  // a given name is used as it is
    }
}

TEST(SwitchDns, ChoosesTheAdapterWhenNoneIsGiven) {
    struct Case {
        AdapterList adapters;
        AdapterDetailList details;
        std::string wantName;
        int wantDetailCalls;
    };
    const Case cases[] = {
        {{adapterNamed("本地连接"), adapterNamed("无线网络连接")}, {detailNamed("以太网")}, "本地连接", 0},
        {{adapterNamed(""), adapterNamed("本地连接")}, {detailNamed("以太网")}, "", 0},
        {{}, {detailNamed("以太网"), detailNamed("WLAN")}, "以太网", 1},
        {{}, {}, "", 1},
    };
    for (const auto& c : cases) {
        FakeMachine m;
        m.adapters = c.adapters;
        m.details = c.details;
        m.replies = {kOk};
        std::string adapter;
        std::string error;
        EXPECT_TRUE(switchDnsWith(m.platform(), adapter, "", "", error));
        EXPECT_EQ(adapter, c.wantName);  // written back to the caller
        EXPECT_EQ(m.adapterCalls, 1);
        EXPECT_EQ(m.detailCalls, c.wantDetailCalls);
        EXPECT_EQ(m.commands, std::vector<std::string>{dhcpCommand(c.wantName)});
    }
}

TEST(SwitchDns, RefusedValuesRunNoCommand) {
    struct Case {
        std::string name, primary, secondary, wantError;
    };
    const Case cases[] = {
        {"以太网", "1.2.3.4 & calc", "", "DNS服务器地址无效：1.2.3.4 & calc"},
        {"以太网", "192.0.2.1", "8.8.8.8\" x", "DNS服务器地址无效：8.8.8.8\" x"},
        {"以太网", "dns.example", "192.0.2.1", "DNS服务器地址无效：dns.example"},
        {"以太网", "", "fe80::1%12", "DNS服务器地址无效：fe80::1%12"},
        {"以太网", " 192.0.2.1", "", "DNS服务器地址无效： 192.0.2.1"},
        {"a\" & calc & \"", "192.0.2.1", "", "网卡名称无效：a\" & calc & \""},
        {"%COMSPEC%", "", "", "网卡名称无效：%COMSPEC%"},
        {"以太网\r\n", "", "", "网卡名称无效：以太网\r\n"},
        {"tab\there", "", "", "网卡名称无效：tab\there"},
        {"del\x7f", "", "", "网卡名称无效：del\x7f"},
        {"ends\\", "", "", "网卡名称无效：ends\\"},
        {"half\xC8", "", "", "网卡名称无效：half\xC8"},      // lead byte without its trail byte
        {"half\xC8\"", "", "", "网卡名称无效：half\xC8\""},  // ... that would swallow a quote
    };
    for (const auto& c : cases) {
        FakeMachine m;
        std::string adapter = c.name;
        std::string error;
        EXPECT_FALSE(switchDnsWith(m.platform(), adapter, c.primary, c.secondary, error)) << c.name;
        EXPECT_EQ(error, c.wantError);
        EXPECT_TRUE(m.commands.empty()) << c.name;
    }
}

TEST(SwitchDns, RefusesAnUnusableNameFromTheInventory) {
    FakeMachine m;
    m.adapters = {adapterNamed("坏\"名")};
    std::string adapter, error;
    EXPECT_FALSE(switchDnsWith(m.platform(), adapter, "192.0.2.1", "", error));
    EXPECT_EQ(error, "网卡名称无效：坏\"名");
    EXPECT_TRUE(m.commands.empty());
}

TEST(AdapterName, UsableNames) {
    const char* usable[] = {"", "以太网", "以太网 2", "Wi-Fi", "本地连接* 12", "A&B|C<D>E^F",
                            "a\\b", "a\xD5\x5C"};  // a trail byte 0x5C is no backslash
    for (const char* name : usable) EXPECT_TRUE(isUsableAdapterName(name)) << name;
}

}  // namespace
