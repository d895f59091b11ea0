// Date and time texts for the log and anywhere else a time stamp is shown.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

// ---- Platform-free -------------------------------------------------------

// The date and time pictures (GetDateFormatA / GetTimeFormatA style: yyyy,
// MM, dd, hh, HH, mm, ss) for one request. An empty picture means that half
// is not wanted.
struct TimestampFormats {
    std::string dateFormat;
    std::string timeFormat;
};

// Pictures for style 0 .. 3 (others act as 0) and part 1 date, 2 month and
// day, 3 time, 4 hours and minutes, 5 minutes and seconds, anything else the
// whole date and time. With use24Hour every "hh" of the time picture becomes
// "HH".
TimestampFormats timestampFormats(std::int32_t style, std::int32_t part, bool use24Hour);

// The clock to use for hourMode: 1 is 12-hour, 2 is 24-hour, anything else
// follows the locale, which is asked (only then) through localeUses24Hour.
bool timestampUses24Hour(std::int32_t hourMode, std::int32_t (*localeUses24Hour)());

// ---- Windows only ----------------------------------------------------------

// A date-time (OLE Automation date, local time; left out = now, to the
// second) as text in the given style and part with the given hour mode (see
// above). Never fails loudly: an unconvertible date-time gives empty text.
std::string formatTimestamp(std::optional<double> dateTime = std::nullopt, std::int32_t style = 0,
                            std::int32_t part = 0, std::int32_t hourMode = 0);

// 1 when the user's locale uses a 24-hour clock, 0 otherwise (also when the
// setting cannot be read).
std::int32_t localeUses24Hour();

// The date formatted with dateFormat followed directly by the time formatted
// with timeFormat. A picture shorter than 3 bytes contributes nothing; a
// date-time that cannot be converted gives empty text. force24Hour 1 forces
// 24-hour hours.
std::string formatDateTime(double dateTime, const std::string& dateFormat = {}, const std::string& timeFormat = {},
                           std::int32_t force24Hour = 0);
