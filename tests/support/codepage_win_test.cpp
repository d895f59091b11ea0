#include <gtest/gtest.h>

#include "support/codepage.h"

namespace {

TEST(CodePage, RoundTripsChineseThroughCodePage936) {
    const ByteBuffer gbk = {0xC8, 0xB7, 0xB6, 0xA8};  // 确定
    EXPECT_EQ(textToWide(gbk, 936), (ByteBuffer{0x6E, 0x78, 0x9A, 0x5B, 0, 0}));
    EXPECT_EQ(wideToText(ByteBuffer{0x6E, 0x78, 0x9A, 0x5B}), "确定");
    EXPECT_EQ(textToUtf16("cmd.exe /c ", true).size(), 22u);
    EXPECT_EQ(textToUtf16("cmd.exe /c ", false).size(), 24u);
    EXPECT_TRUE(textToUtf16("", false).empty());
}

}  // namespace
