#include <windows.h>
#include <oleauto.h>

#include <cstring>

#include "support/timestamp.h"

namespace {

constexpr int kTextBufferBytes = 50;

std::size_t textLength(const std::string& s) { return std::strlen(s.c_str()); }

// The text a formatting call left in buf, or empty when the call failed
// (written is its result): a failed call leaves nothing worth showing.
std::string bufferText(const char* buf, int written) {
    if (written <= 0) return {};
    return std::string(buf, strnlen(buf, kTextBufferBytes));
}

}  // namespace

std::int32_t localeUses24Hour() {
    char value[5] = {' ', ' ', ' ', ' ', '\0'};
    GetLocaleInfoA(0, LOCALE_ITIME, value, 4);
    value[4] = '\0';
    std::int32_t n = 0;
    for (const char* p = value; *p >= '0' && *p <= '9' && n < 100000; ++p) n = n * 10 + (*p - '0');
    return n;
}

std::string formatDateTime(double dateTime, const std::string& dateFormat, const std::string& timeFormat,
                           std::int32_t force24Hour) {
    const bool wantDate = textLength(dateFormat) >= 3;
    const bool wantTime = textLength(timeFormat) >= 3;
    if (!wantDate && !wantTime) return {};

    SYSTEMTIME st;
    std::memset(&st, 0, sizeof st);
    if (!VariantTimeToSystemTime(dateTime, &st)) return {};

    std::string out;
    if (wantDate) {
        char buf[kTextBufferBytes];
        std::memset(buf, ' ', sizeof buf);
        buf[kTextBufferBytes - 1] = '\0';
        const int n = GetDateFormatA(0, 0, &st, dateFormat.c_str(), buf, kTextBufferBytes);
        out += bufferText(buf, n);
    }
    if (wantTime) {
        char buf[kTextBufferBytes];
        std::memset(buf, ' ', sizeof buf);
        buf[kTextBufferBytes - 1] = '\0';
        const DWORD flags = force24Hour == 1 ? TIME_FORCE24HOURFORMAT : 0;
        const int n = GetTimeFormatA(0, flags, &st, timeFormat.c_str(), buf, kTextBufferBytes);
        out += bufferText(buf, n);
    }
    return out;
}

std::string formatTimestamp(std::optional<double> dateTime, std::int32_t style, std::int32_t part,
                            std::int32_t hourMode) {
    double when = 0;
    if (dateTime) {
        when = *dateTime;
    } else {
        SYSTEMTIME now;
        GetLocalTime(&now);
        now.wMilliseconds = 0;
        if (!SystemTimeToVariantTime(&now, &when)) return {};
    }
    const TimestampFormats f = timestampFormats(style, part, timestampUses24Hour(hourMode, &localeUses24Hour));
    return formatDateTime(when, f.dateFormat, f.timeFormat);
}
