#include "support/text.h"
#include "support/timestamp.h"

namespace {

struct StyleRow {
    const char* date;
    const char* time;
    const char* monthDay;
    const char* hoursMinutes;
    const char* minutesSeconds;
};

const StyleRow kStyles[4] = {
    {"yyyy年MM月dd日 ", "hh时mm分ss秒", "MM月dd日", "hh时mm分", "mm分ss秒"},
    {"yyyy-MM-dd ", "hh:mm:ss", "MM-dd", "hh:mm", "mm:ss"},
    {"yyyy/MM/dd ", "hh/mm/ss", "MM/dd", "hh/mm", "mm/ss"},
    {"yyyyMMdd", "hhmmss", "MMdd", "hhmm", "mmss"},
};

}  // namespace

TimestampFormats timestampFormats(std::int32_t style, std::int32_t part, bool use24Hour) {
    const StyleRow& row = kStyles[(style >= 0 && style <= 3) ? style : 0];
    TimestampFormats f;
    switch (part) {
    case 1:
        f.dateFormat = row.date;
        if (!f.dateFormat.empty() && f.dateFormat.back() == ' ') f.dateFormat.pop_back();
        break;
    case 2: f.dateFormat = row.monthDay; break;
    case 3: f.timeFormat = row.time; break;
    case 4: f.timeFormat = row.hoursMinutes; break;
    case 5: f.timeFormat = row.minutesSeconds; break;
    default:
        f.dateFormat = row.date;
        f.timeFormat = row.time;
        break;
    }
    if (use24Hour) f.timeFormat = replaceText(f.timeFormat, "hh", "HH", true);
    return f;
}

bool timestampUses24Hour(std::int32_t hourMode, std::int32_t (*localeUses24Hour)()) {
    if (hourMode == 1) return false;
    if (hourMode == 2) return true;
    return localeUses24Hour != nullptr && localeUses24Hour() == 1;
}
