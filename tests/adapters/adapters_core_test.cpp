#include <gtest/gtest.h>

#include "adapters/adapters.h"

namespace {

TEST(AdapterHelpers, MacTextIsUpperCaseHexPairsJoinedByDash) {
    // The address field is 8 bytes; the two after it guard against reads past it.
    struct Field {
        std::uint8_t bytes[10];
    };
    const Field field = {{0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0xF0, 0xFF, 0x99, 0x99}};
    struct Case {
        std::uint32_t length;
        const char* want;
    };
    const Case cases[] = {
        {6, "00-0A-1B-2C-3D-4E"},
        {0, ""},
        {1, "00"},
        {8, "00-0A-1B-2C-3D-4E-F0-FF"},
        {9, "00-0A-1B-2C-3D-4E-F0-FF"},           // longer than the field: clamped to 8
        {0xFFFFFFFFu, "00-0A-1B-2C-3D-4E-F0-FF"},
    };
    for (const Case& c : cases) EXPECT_EQ(macText(field.bytes, c.length), c.want) << "length " << c.length;
    EXPECT_EQ(macText(nullptr, 6), "");
}

TEST(AdapterHelpers, TypeNamesFromTableOtherwiseDecimal) {
    struct Case {
        std::int32_t type;
        const char* want;
    };
    const Case cases[] = {
        {71, "IEEE80211"}, {6, "ETHERNET"}, {1, "OTHER"}, {9, "TOKENRING"}, {15, "FDDI"}, {23, "PPP"},
        {24, "LOOPBACK"},  {28, "SLIP"},    {0, "0"},     {243, "243"},     {-5, "-5"},
        {INT32_MIN, "-2147483648"},
    };
    for (const Case& c : cases) EXPECT_EQ(adapterTypeName(c.type), c.want) << "type " << c.type;
}

TEST(AdapterHelpers, GuidTextStartsAtFirstBrace) {
    struct Case {
        const char* name;
        const char* want;
    };
    const Case cases[] = {
        {"\\DEVICE\\TCPIP_{6A1E4F3B-8C2D-4E5F-9A0B-1C2D3E4F5A6B}", "{6A1E4F3B-8C2D-4E5F-9A0B-1C2D3E4F5A6B}"},
        {"\\DEVICE\\TCPIP_LOOPBACK", "\\DEVICE\\TCPIP_LOOPBACK"},  // no brace: whole name
        {"a{b}{c}", "{b}{c}"},                                     // two braces: the first
        {"{", "{"},
        {"", ""},
        {"本地{X}", "{X}"},
    };
    for (const Case& c : cases) EXPECT_EQ(guidText(c.name), c.want) << c.name;
}

TEST(AdapterHelpers, FriendlyNameOfFirstExactGuidMatch) {
    const std::string guid = "{6A1E4F3B-8C2D-4E5F-9A0B-1C2D3E4F5A6B}";
    InterfaceNameList interfaces = {
        {7, "\\DEVICE\\TCPIP_{11111111-2222-3333-4444-555555555555}", "无线网络连接",
         "{11111111-2222-3333-4444-555555555555}"},
        {8, "\\DEVICE\\TCPIP_{6a1e4f3b-8c2d-4e5f-9a0b-1c2d3e4f5a6b}", "小写", "{6a1e4f3b-8c2d-4e5f-9a0b-1c2d3e4f5a6b}"},
        {9, "\\DEVICE\\TCPIP_" + guid, "以太网 2", guid},
        {10, "\\DEVICE\\TCPIP_" + guid, "以太网 3", guid},
    };
    EXPECT_EQ(friendlyNameFor(interfaces, guid), "以太网 2");  // first of two; case matters
    EXPECT_EQ(friendlyNameFor(interfaces, "{11111111-2222-3333-4444-555555555555}"), "无线网络连接");
    EXPECT_EQ(friendlyNameFor(interfaces, "{00000000-0000-0000-0000-000000000000}"), "");
    EXPECT_EQ(friendlyNameFor(interfaces, ""), "");
    EXPECT_EQ(friendlyNameFor({}, guid), "");
}

TEST(AdapterHelpers, FixedFieldTextEndsAtFirstZeroOrFieldEnd) {
    struct Field {
        char text[4];
        char after[4];  // never part of the text
    };
    const Field full = {{'1', '2', '3', '4'}, {'X', 'X', 'X', 0}};
    const Field shortText = {{'a', 0, 'b', 0}, {'X', 'X', 'X', 0}};
    const Field none = {{0, 'b', 'c', 'd'}, {'X', 'X', 'X', 0}};
    EXPECT_EQ(fixedFieldText(full.text), "1234");
    EXPECT_EQ(fixedFieldText(shortText.text), "a");
    EXPECT_EQ(fixedFieldText(none.text), "");
    EXPECT_EQ(fixedFieldText(nullptr, 4), "");
    const char chinese[16] = "以太网";
    EXPECT_EQ(fixedFieldText(chinese), std::string("以太网"));
}

}  // namespace
