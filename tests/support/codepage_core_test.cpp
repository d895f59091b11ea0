#include <gtest/gtest.h>

#include "support/codepage.h"

namespace {

struct CutCase {
    ByteBuffer in;
    bool appendNul;
    ByteBuffer want;
};

TEST(WideCutAtNul, CutsBeforeFirstNulUnit) {
    const CutCase cases[] = {
        {{0x61, 0, 0x62, 0, 0, 0, 0x63, 0}, false, {0x61, 0, 0x62, 0}},
        {{0x61, 0, 0x62, 0, 0, 0, 0x63, 0}, true, {0x61, 0, 0x62, 0, 0, 0}},
        {{0x61}, true, {}},                       // shorter than one unit
        {{0, 0, 0x61, 0}, true, {}},              // starts with a NUL unit
        {{0x61, 0, 0x62}, false, {0x61, 0}},      // odd tail byte dropped
        {{0x6E, 0x78, 0x9A, 0x5B}, false, {0x6E, 0x78, 0x9A, 0x5B}},
        {{0x6E, 0x78, 0x9A, 0x5B}, true, {0x6E, 0x78, 0x9A, 0x5B, 0, 0}},
        {{}, false, {}},
        {{0, 0}, false, {}},
        {{0x61, 0x00, 0x00}, true, {0x61, 0, 0, 0}},  // a lone zero byte is no NUL unit
    };
    for (const auto& c : cases) EXPECT_EQ(wideCutAtNul(c.in, c.appendNul), c.want);
}

}  // namespace
