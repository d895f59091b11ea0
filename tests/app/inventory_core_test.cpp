#include <gtest/gtest.h>

#include <string>

#include "app/inventory.h"

namespace {

// Leading and trailing spaces off, as the shell's removeBlanks does.
std::string trimSpaces(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

const char* const kTwoAdapterReport =
    "\r\nWindows IP 配置\r\n\r\n"
    "   主机名  . . . . . . . . . . . . . : PC-01\r\n\r\n"
    "以太网适配器 以太网:\r\n\r\n"
    "   连接特定的 DNS 后缀 . . . . . . . : \r\n"
    "   IPv4 地址 . . . . . . . . . . . . : 127.0.0.10(首选) \r\n"
    "   DNS 服务器  . . . . . . . . . . . : 127.0.0.53\r\n"
    "                                       127.0.0.54\r\n"
    "   TCPIP 上的 NetBIOS  . . . . . . . : 已启用\r\n\r\n"
    "无线局域网适配器 WLAN:\r\n\r\n"
    "   DNS 服务器  . . . . . . . . . . . : 127.0.0.99\r\n"
    "   TCPIP 上的 NetBIOS  . . . . . . . : 已启用\r\n";

TEST(CurrentDns, TakesTheFirstAdaptersBlock) {
    const CurrentDns dns = extractCurrentDns(kTwoAdapterReport, trimSpaces);
    EXPECT_EQ(dns.blockText, " 127.0.0.53\r\n                                       127.0.0.54\r\n   ");
    EXPECT_EQ(dns.servers, (TextList{"127.0.0.53", "127.0.0.54"}));
}

TEST(CurrentDns, OneServerIpv6AndMissingLabels) {
    const std::string label = "   DNS 服务器  . . . . . . . . . . . :";
    const std::string netbios = "   TCPIP 上的 NetBIOS  . . . . . . . : 已禁用\r\n";
    struct Case {
        const char* name;
        std::string report;
        TextList servers;
        bool emptyBlock;
    } cases[] = {
        {"one server", label + " 127.0.0.53\r\n" + netbios, {"127.0.0.53"}, false},
        {"ipv6 kept verbatim", label + " fec0:0:0:ffff::1%1\r\n      ::1\r\n" + netbios,
         {"fec0:0:0:ffff::1%1", "::1"}, false},
        {"no dns label", "Windows IP 配置\r\n" + netbios, {}, true},
        {"no netbios label", label + " 127.0.0.53\r\n", {}, true},
        {"netbios only before", netbios + label + " 127.0.0.53\r\n", {}, true},
        {"english report", "   DNS Servers . . . . . . . . . . . : 127.0.0.53\r\n   NetBIOS over Tcpip. . : Enabled\r\n",
         {}, true},
        {"empty report", "", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CurrentDns dns = extractCurrentDns(c.report, trimSpaces);
        EXPECT_EQ(dns.servers, c.servers);
        EXPECT_EQ(dns.blockText.empty(), c.emptyBlock);
    }
}

TEST(DnsList, CountsEveryEqualsSignUpToTheFirstZeroByte) {
    struct Case {
        const char* name;
        std::string text;
        std::int32_t keys;
    } cases[] = {
        {"three keys", "[DNS列表]\r\nDNS1=127.0.0.1\r\nDNS2=127.0.0.2\r\nDNS3=127.0.0.3\r\n", 3},
        {"gap in numbering", "[DNS列表]\r\nDNS1=127.0.0.1\r\nDNS3=127.0.0.3\r\n", 2},
        {"remark with =", "; a=b\r\n[DNS列表]\r\nDNS1=127.0.0.1\r\n", 2},
        {"line without =", "[DNS列表]\r\nDNS1\r\n", 0},
        {"utf-16 file", std::string("\xFF\xFE[\0D\0N\0S\0=\0", 12), 0},
        {"empty", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteBuffer bytes(c.text.begin(), c.text.end());
        EXPECT_EQ(dnsListKeyCount(bytesToText(bytes)), c.keys);
    }
    EXPECT_EQ(dnsListKey(1), "DNS1");
    EXPECT_EQ(dnsListKey(12), "DNS12");
}

}  // namespace
