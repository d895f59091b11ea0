// The DNS switch end to end: cmd.exe runs the stand-in netsh of bin/fakes,
// found first through PATH, which records its command line and prints a reply.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dnsconfig/switch.h"
#include "bin_dir_win.h"
#include "fake_console_calls.h"

namespace {

std::string variable(const char* name) {
    const DWORD n = GetEnvironmentVariableA(name, nullptr, 0);
    if (n == 0) return {};
    std::string value(n, '\0');
    value.resize(GetEnvironmentVariableA(name, &value[0], n));
    return value;
}

void writeFile(const std::string& path, const std::string& content) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
}

class FakeNetsh : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "korvel_dnsconfig_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        oldPath_ = variable("PATH");
        const std::string fakeDir = binDir() + "fakes";
        ASSERT_NE(GetFileAttributesA((fakeDir + "\\netsh.exe").c_str()), INVALID_FILE_ATTRIBUTES);
        SetEnvironmentVariableA("PATH", (fakeDir + ";" + oldPath_).c_str());
        SetEnvironmentVariableA("KORVEL_FAKE_DIR", dir_.c_str());
        clearFiles();
    }

    void TearDown() override {
        SetEnvironmentVariableA("PATH", oldPath_.c_str());
        SetEnvironmentVariableA("KORVEL_FAKE_DIR", nullptr);
        clearFiles();
        RemoveDirectoryA(dir_.c_str());
    }

    void clearFiles() {
        DeleteFileA((dir_ + "\\netsh.calls").c_str());
        DeleteFileA((dir_ + "\\netsh.replies").c_str());
    }

    // Reply k answers call k; no replies: netsh prints nothing.
    void setReplies(const std::vector<std::string>& replies) {
        clearFiles();
        if (replies.empty()) return;
        std::string all;
        for (std::size_t k = 0; k < replies.size(); ++k) all += (k ? std::string(1, kFakeReplySeparator) : "") + replies[k];
        writeFile(dir_ + "\\netsh.replies", all);
    }

    // The recorded argument lines; empty when netsh never ran.
    std::vector<std::string> records() const { return fakeToolCalls(dir_, "netsh"); }

    std::string dir_;
    std::string oldPath_;
};

TEST_F(FakeNetsh, CommandLinesReachNetshByteForByte) {
    const std::string a = "192.0.2.1", b = "198.51.100.2";
    struct Case {
        std::string name, primary, secondary;
        std::vector<std::string> replies;
        std::vector<std::string> wantRecords;
        bool wantOk;
        std::string wantError;  // "(kept)" when errorText must stay as it was
    };
    const Case cases[] = {
        {"以太网 2", "", "", {"确定。\r\n"},
         {"interface ip set dns name=\"以太网 2\" source=dhcp"}, true, "(kept)"},
        {"以太网 2", a, b, {"确定。\r\n", "\r\n"},
         {"interface ip set dns \"以太网 2\" static 192.0.2.1",
          "interface ip add dns name=\"以太网 2\" addr=198.51.100.2 index=2"},
         true, "(kept)"},
        {"本地连接", a, b, {"没有找到接口。\r\n\r\n"},
         {"interface ip set dns \"本地连接\" static 192.0.2.1"}, false, "没有找到接口。\r\n"},
        {"本地连接", a, b, {"确定。", "服务器已在列表中。\r\n"},
         {"interface ip set dns \"本地连接\" static 192.0.2.1",
          "interface ip add dns name=\"本地连接\" addr=198.51.100.2 index=2"},
         false, "服务器已在列表中。"},
        {"A&B 网", "", b, {"\r\n"},
         {"interface ip add dns name=\"A&B 网\" addr=198.51.100.2 index=2"}, true, "(kept)"},
        {"Wi-Fi", "2001:db8::53", "", {"出错了"},
         {"interface ip set dns \"Wi-Fi\" static 2001:db8::53"}, false, "出错了"},
        {"Wi-Fi", "", "", {}, {"interface ip set dns name=\"Wi-Fi\" source=dhcp"}, false, ""},
    };
    for (const auto& c : cases) {
        setReplies(c.replies);
        std::string name = c.name;
        std::string error = "(kept)";
        EXPECT_EQ(switchDns(name, c.primary, c.secondary, error), c.wantOk) << c.name;
        EXPECT_EQ(records(), c.wantRecords) << c.name << "|" << c.primary << "|" << c.secondary;
        EXPECT_EQ(error, c.wantError) << c.name;
        EXPECT_EQ(name, c.name);
    }
}

TEST_F(FakeNetsh, RefusedValuesRecordNothing) {
    struct Case {
        std::string name, primary, secondary, wantError;
    };
    const Case cases[] = {
        {"以太网\" & echo x > y & \"", "192.0.2.1", "", "网卡名称无效：以太网\" & echo x > y & \""},
        {"%PATH%", "", "", "网卡名称无效：%PATH%"},
        {"以太网", "192.0.2.1 & netsh", "", "DNS服务器地址无效：192.0.2.1 & netsh"},
        {"以太网", "192.0.2.1", "1.2.3.4\"", "DNS服务器地址无效：1.2.3.4\""},
    };
    for (const auto& c : cases) {
        setReplies({"确定。"});
        std::string name = c.name;
        std::string error;
        EXPECT_FALSE(switchDns(name, c.primary, c.secondary, error)) << c.name;
        EXPECT_EQ(error, c.wantError);
        EXPECT_TRUE(records().empty()) << c.name;
    }
}

}  // namespace
