#include <windows.h>

#include <gtest/gtest.h>

#include "support/codepage.h"

namespace {

TEST(TextToWide, ConvertsUpToFirstZeroByte) {
    struct Case {
        ByteBuffer in;
        std::uint32_t codePage;
        ByteBuffer want;
    };
    const Case cases[] = {
        {{'a', 'b', 'c'}, 936, {0x61, 0, 0x62, 0, 0x63, 0, 0, 0}},
        {{0xC8, 0xB7, 0xB6, 0xA8}, 936, {0x6E, 0x78, 0x9A, 0x5B, 0, 0}},  // 确定
        {{'a', 0, 'b'}, 936, {0x61, 0, 0, 0}},                            // bytes after a zero byte are ignored
        {{0, 'a'}, 936, {}},
        {{}, 936, {}},
        {{'a', 'b'}, 12345, {}},  // no such code page: the sizing call fails
    };
    for (const auto& c : cases) EXPECT_EQ(textToWide(c.in, c.codePage), c.want);
}

TEST(TextToUtf16, KeepsOrDropsTheNulUnit) {
    const ByteBuffer cut = textToUtf16("cmd.exe /c ", true);
    const ByteBuffer whole = textToUtf16("cmd.exe /c ", false);
    ASSERT_EQ(cut.size(), 22u);
    ASSERT_EQ(whole.size(), 24u);
    EXPECT_NE(cut[20] | cut[21], 0);
    EXPECT_EQ(whole[22] | whole[23], 0);
    EXPECT_EQ(ByteBuffer(whole.begin(), whole.begin() + 22), cut);
    EXPECT_EQ(textToUtf16("测试", true), (ByteBuffer{0x4B, 0x6D, 0xD5, 0x8B}));
    EXPECT_TRUE(textToUtf16("", false).empty());
    EXPECT_TRUE(textToUtf16("", true).empty());
}

TEST(WideToText, ConvertsUpToFirstNulUnit) {
    struct Case {
        ByteBuffer in;
        std::string want;
    };
    const Case cases[] = {
        {{0x6E, 0x78, 0x9A, 0x5B}, "确定"},
        {{0x6E, 0x78, 0x9A, 0x5B, 0x41}, "确定"},       // odd trailing byte ignored
        {{0x61, 0, 0, 0, 0x62, 0}, "a"},                 // units after the NUL unit ignored
        {{0, 0, 0x61, 0}, ""},
        {{}, ""},
        {{0x41}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(wideToText(c.in), c.want);
}

TEST(WideToText, AnsiFormIgnoresTheGivenCodePage) {
    if (GetACP() != 936) GTEST_SKIP() << "the ANSI code page here is " << GetACP() << ", not 936";
    const ByteBuffer wide = {0x6E, 0x78, 0x9A, 0x5B};
    EXPECT_EQ(wideToText(wide, 1252, false), "确定");
    EXPECT_EQ(wideToText(wide, 1252, true), "??");  // 1252 has no such characters
}

}  // namespace
