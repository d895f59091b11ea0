#include <gtest/gtest.h>

#include "dnsconfig/runner.h"

namespace {

ByteBuffer wide(const std::string& ascii, bool withNul) {
    ByteBuffer out;
    for (char c : ascii) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(0);
    }
    if (withNul) out.insert(out.end(), {0, 0});
    return out;
}

TEST(InterpreterPrefix, ChosenByPlatformFamily) {
    EXPECT_EQ(interpreterPrefix(true), "cmd.exe /c ");
    EXPECT_EQ(interpreterPrefix(false), "command.com /c ");
}

TEST(CommandBuffer, EmptyCommandIsPrefixThenMinimumOfZeroBytes) {
    const ByteBuffer prefix = wide("cmd.exe /c ", false);
    const ByteBuffer buffer = buildCommandBuffer(prefix, {});
    ASSERT_EQ(buffer.size(), 22u + 520u);
    EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), buffer.begin()));
    for (std::size_t i = 22; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0) << "at " << i;
}

TEST(CommandBuffer, ShortCommandIsPaddedLongCommandPassedWhole) {
    const ByteBuffer prefix = wide("command.com /c ", false);
    struct Case {
        std::size_t commandBytes;
        std::size_t wantSize;  // without the prefix
    };
    const Case cases[] = {
        {2, 520},    // a NUL unit alone
        {518, 520},  // two bytes short of the minimum
        {520, 520},  // exactly the minimum: nothing added
        {522, 522},  // longer: passed whole, nothing added
        {1200, 1200},
    };
    for (const auto& c : cases) {
        ByteBuffer command(c.commandBytes, 'x');
        command[c.commandBytes - 1] = 0;
        const ByteBuffer buffer = buildCommandBuffer(prefix, command);
        ASSERT_EQ(buffer.size(), 30u + c.wantSize) << c.commandBytes;
        EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), buffer.begin()));
        EXPECT_TRUE(std::equal(command.begin(), command.end(), buffer.begin() + 30));
        for (std::size_t i = 30 + c.commandBytes; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0);
    }
}

}  // namespace
