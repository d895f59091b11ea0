#include <gtest/gtest.h>

#include "support/timestamp.h"

namespace {

struct FormatsCase {
    std::int32_t style, part;
    bool use24Hour;
    std::string date, time;
};

TEST(TimestampFormats, PicksPicturesByStyleAndPart) {
    const FormatsCase cases[] = {
        {0, 0, true, "yyyy年MM月dd日 ", "HH时mm分ss秒"},
        {0, 0, false, "yyyy年MM月dd日 ", "hh时mm分ss秒"},
        {1, 0, true, "yyyy-MM-dd ", "HH:mm:ss"},
        {2, 0, false, "yyyy/MM/dd ", "hh/mm/ss"},
        {3, 0, true, "yyyyMMdd", "HHmmss"},
        {0, 1, true, "yyyy年MM月dd日", ""},  // date alone loses its blank
        {2, 1, false, "yyyy/MM/dd", ""},
        {3, 1, false, "yyyyMMdd", ""},
        {0, 2, true, "MM月dd日", ""},
        {1, 2, false, "MM-dd", ""},
        {1, 3, true, "", "HH:mm:ss"},  // the log stamp
        {1, 3, false, "", "hh:mm:ss"},
        {3, 3, false, "", "hhmmss"},
        {0, 4, true, "", "HH时mm分"},
        {2, 4, false, "", "hh/mm"},
        {1, 5, true, "", "mm:ss"},
        {0, 5, false, "", "mm分ss秒"},
        {7, 3, true, "", "HH时mm分ss秒"},   // unknown styles act as 0
        {-1, 2, false, "MM月dd日", ""},
        {1, 9, true, "yyyy-MM-dd ", "HH:mm:ss"},  // unknown parts act as 0
        {1, -2, false, "yyyy-MM-dd ", "hh:mm:ss"},
    };
    for (const auto& c : cases) {
        const TimestampFormats f = timestampFormats(c.style, c.part, c.use24Hour);
        EXPECT_EQ(f.dateFormat, c.date) << c.style << "/" << c.part << "/" << c.use24Hour;
        EXPECT_EQ(f.timeFormat, c.time) << c.style << "/" << c.part << "/" << c.use24Hour;
    }
}

int localeAsks = 0;
std::int32_t locale24() { ++localeAsks; return 1; }
std::int32_t locale12() { ++localeAsks; return 0; }

TEST(TimestampUses24Hour, ExplicitModesWinLocaleDecidesTheRest) {
    struct Case {
        std::int32_t hourMode;
        std::int32_t (*locale)();
        bool want;
        int asks;
    };
    const Case cases[] = {
        {1, locale24, false, 0}, {2, locale12, true, 0},  {0, locale24, true, 1},
        {0, locale12, false, 1}, {3, locale24, true, 1},  {-1, locale12, false, 1},
    };
    for (const auto& c : cases) {
        localeAsks = 0;
        EXPECT_EQ(timestampUses24Hour(c.hourMode, c.locale), c.want) << c.hourMode;
        EXPECT_EQ(localeAsks, c.asks) << c.hourMode;
    }
}

}  // namespace
