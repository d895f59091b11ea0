#include <gtest/gtest.h>

#include "dnsconfig/address.h"

namespace {

TEST(AddressLiteral, AcceptsPlainIpv4AndIpv6) {
    const char* good[] = {
        "192.0.2.1", "0.0.0.0", "255.255.255.255", "10.0.0.1", "198.51.100.200",
        "::", "::1", "1::", "2001:db8::1", "2001:DB8:0:0:8:800:200C:417A", "fe80::",
        "0db8::0001", "1:2:3:4:5:6:7:8", "1:2:3:4:5:6:7::", "::2:3:4:5:6:7:8",
        "::ffff:192.0.2.1", "1:2:3:4:5:6:192.0.2.1", "::192.0.2.1", "64:ff9b::198.51.100.7",
    };
    for (const char* text : good) EXPECT_TRUE(isAddressLiteral(text)) << text;
}

TEST(AddressLiteral, RefusesEverythingElse) {
    const char* bad[] = {
        // not an address at all
        "", " ", "dns.example", "localhost", "1.2.3.4 && calc", "1.2.3.4\"", "%PATH%",
        // IPv4 with a wrong shape
        "1.2.3", "1.2.3.4.5", "1..2.3", ".1.2.3", "1.2.3.", "256.1.1.1", "1.2.3.999",
        "1234.1.1.1", "+1.2.3.4", "1.2.3.-4", " 1.2.3.4", "1.2.3.4 ", "1.2.3.4\n",
        "0x7f.0.0.1", "1.2.3.4/24",
        // IPv4 parts with leading zeros (octal in some readers)
        "010.0.0.1", "1.2.3.04", "00.0.0.0",
        // IPv6 with a wrong shape
        ":", ":::", "1:2:3:4:5:6:7", "1:2:3:4:5:6:7:8:9", "1::2::3", ":1::", "1:", ":1:2:3:4:5:6:7",
        "1:2:3:4:5:6:7:8::", "::1:2:3:4:5:6:7:8", "12345::", "g::", "1:2:3:4:5:6:7:8:",
        "fe80::1%eth0", "fe80::1%12", "[::1]", "::1/128", ":: 1", "::1.2.3", "1.2.3.4::",
        "::1.2.3.4:5", "1:2:3:4:5:6:7:1.2.3.4", "::ffff:010.0.0.1", "::ffff:1.2.3.256",
        // bytes of a Chinese text
        "确定",
    };
    for (const char* text : bad) EXPECT_FALSE(isAddressLiteral(text)) << text;
}

TEST(AddressLiteral, FamiliesAreTellable) {
    EXPECT_TRUE(isIpv4Literal("192.0.2.1"));
    EXPECT_FALSE(isIpv6Literal("192.0.2.1"));
    EXPECT_TRUE(isIpv6Literal("2001:db8::1"));
    EXPECT_FALSE(isIpv4Literal("2001:db8::1"));
}

}  // namespace
