#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/timestamp.h"

namespace {

// OLE Automation dates (days since 30 December 1899).
// 5 March 2024 is day 45356; 21:04:07 is 75847 s into it.
const double kEvening = 45356.0 + 75847.0 / 86400.0;
// 30 November 2024 (day 45626), 00:30:09, just after midnight.
const double kMidnight = 45626.0 + 1809.0 / 86400.0;

struct StyleCase {
    double when;
    std::int32_t style;
    std::int32_t hourMode;
    const char* parts[6];  // parts 0 .. 5
};

TEST(FormatTimestamp, AllStylesPartsAndHourModes) {
    const StyleCase cases[] = {
        {kEvening, 0, 2, {"2024年03月05日 21时04分07秒", "2024年03月05日", "03月05日", "21时04分07秒", "21时04分", "04分07秒"}},
        {kEvening, 0, 1, {"2024年03月05日 09时04分07秒", "2024年03月05日", "03月05日", "09时04分07秒", "09时04分", "04分07秒"}},
        {kEvening, 1, 2, {"2024-03-05 21:04:07", "2024-03-05", "03-05", "21:04:07", "21:04", "04:07"}},
        {kEvening, 1, 1, {"2024-03-05 09:04:07", "2024-03-05", "03-05", "09:04:07", "09:04", "04:07"}},
        {kEvening, 2, 2, {"2024/03/05 21/04/07", "2024/03/05", "03/05", "21/04/07", "21/04", "04/07"}},
        {kEvening, 2, 1, {"2024/03/05 09/04/07", "2024/03/05", "03/05", "09/04/07", "09/04", "04/07"}},
        {kEvening, 3, 2, {"20240305210407", "20240305", "0305", "210407", "2104", "0407"}},
        {kEvening, 3, 1, {"20240305090407", "20240305", "0305", "090407", "0904", "0407"}},
        {kMidnight, 1, 2, {"2024-11-30 00:30:09", "2024-11-30", "11-30", "00:30:09", "00:30", "30:09"}},
        {kMidnight, 1, 1, {"2024-11-30 12:30:09", "2024-11-30", "11-30", "12:30:09", "12:30", "30:09"}},
    };
    for (const auto& c : cases) {
        for (std::int32_t part = 0; part <= 5; ++part) {
            EXPECT_EQ(formatTimestamp(c.when, c.style, part, c.hourMode), c.parts[part])
                << "style " << c.style << " part " << part << " hourMode " << c.hourMode;
        }
    }
}

TEST(FormatTimestamp, OutOfRangeStyleAndPartActAsZero) {
    const std::string whole = "2024年03月05日 21时04分07秒";
    EXPECT_EQ(formatTimestamp(kEvening, 7, 0, 2), whole);
    EXPECT_EQ(formatTimestamp(kEvening, -1, 0, 2), whole);
    EXPECT_EQ(formatTimestamp(kEvening, 0, 9, 2), whole);
    EXPECT_EQ(formatTimestamp(kEvening, 0, -3, 2), whole);
}

TEST(FormatTimestamp, HourModeZeroFollowsTheLocale) {
    const std::int32_t mode = localeUses24Hour() == 1 ? 2 : 1;
    for (std::int32_t other : {0, 3, -1}) {
        EXPECT_EQ(formatTimestamp(kEvening, 1, 3, other), formatTimestamp(kEvening, 1, 3, mode)) << other;
    }
}

TEST(FormatTimestamp, UnconvertibleDateTimeGivesEmptyText) {
    EXPECT_EQ(formatTimestamp(3.0e6, 1, 0, 2), "");   // past the year 9999
    EXPECT_EQ(formatTimestamp(-1.0e6, 1, 0, 2), "");  // before the year 100
}

// The log stamp: the time of day now, HH:mm:ss, nothing around it.
TEST(FormatTimestamp, CurrentTimeForTheLogStamp) {
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    const std::string stamp = formatTimestamp(std::nullopt, 1, 3, 2);
    GetLocalTime(&after);
    ASSERT_EQ(stamp.size(), 8u) << stamp;
    EXPECT_EQ(stamp[2], ':');
    EXPECT_EQ(stamp[5], ':');
    const int secs = std::atoi(stamp.substr(0, 2).c_str()) * 3600 + std::atoi(stamp.substr(3, 2).c_str()) * 60 +
                     std::atoi(stamp.substr(6, 2).c_str());
    const int lo = before.wHour * 3600 + before.wMinute * 60 + before.wSecond;
    const int hi = after.wHour * 3600 + after.wMinute * 60 + after.wSecond;
    if (hi >= lo) {
        EXPECT_GE(secs, lo);
        EXPECT_LE(secs, hi);
    } else {  // the day turned over between the two readings
        EXPECT_TRUE(secs >= lo || secs <= hi) << stamp;
    }
}

TEST(FormatDateTime, PicturesShorterThanThreeBytesGiveNothing) {
    struct Case {
        std::string date, time;
        std::int32_t force24;
        std::string want;
    };
    const Case cases[] = {
        {"", "", 0, ""},
        {"yy", "hh", 0, ""},
        {"yyyy", "", 0, "2024"},
        {"dd", "HH:mm", 0, "21:04"},
        {"yyyy-", "hh:mm", 0, "2024-09:04"},
        {"", "hh:mm", 1, "21:04"},  // forced 24-hour hours
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatDateTime(kEvening, c.date, c.time, c.force24), c.want) << c.date << "|" << c.time;
    }
    EXPECT_EQ(formatDateTime(kEvening), "");
}

TEST(LocaleUses24Hour, MatchesTheLocaleSetting) {
    char value[8] = {};
    ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ITIME, value, sizeof value), 0);
    const std::int32_t want = value[0] == '1' ? 1 : 0;
    EXPECT_EQ(localeUses24Hour(), want) << "LOCALE_ITIME is [" << value << "]";
}

}  // namespace
