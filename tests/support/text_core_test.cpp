#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "support/text.h"

namespace {

// Two-byte characters whose second byte is an ASCII letter: 丄 is 81 41
// ("A" as second byte), 乤 is 81 61 ("a" as second byte).
const std::string kTrailA = "丄";
const std::string kTrailLowerA = "乤";

struct FindCase {
    std::string text;
    std::string pattern;
    std::optional<std::int32_t> startPos;
    bool ignoreCase;
    std::int32_t want;
};

TEST(FindText, FindsByBytePositionFromOne) {
    const FindCase cases[] = {
        {"abcabc", "bc", std::nullopt, false, 2},
        {"abcabc", "bc", 3, false, 5},
        {"abcabc", "bc", -5, false, 2},       // below the start counts as the start
        {"abcabc", "bc", 6, false, -1},
        {"abcabc", "bc", 7, false, -1},       // beyond the end
        {"abcabc", "bc", INT_MIN, false, 2},
        {"abc", "", std::nullopt, false, 1},  // empty pattern: 1 when anything is left
        {"abc", "", 3, false, 1},
        {"abc", "", 4, false, -1},
        {"", "", std::nullopt, false, -1},
        {"", "a", std::nullopt, false, -1},
        {"ab", "abc", std::nullopt, false, -1},
        {"ABC", "b", std::nullopt, true, 2},
        {"ABC", "b", std::nullopt, false, -1},
        {"确定。", "定", std::nullopt, false, 3},
        {"确定。", "。", 3, false, 5},
        {kTrailA + "A", "A", std::nullopt, false, 3},  // not on the second byte of 丄
        {"x" + kTrailA, "A", std::nullopt, false, -1},
        {kTrailLowerA, kTrailA, std::nullopt, true, -1},  // bytes of characters never fold
        {kTrailLowerA + "a", "A", std::nullopt, true, 3},
        {"ab\xB0", "\xB0", std::nullopt, false, 3},  // lone lead byte at the end
        {"a\xB0", "b", std::nullopt, false, -1},
        {std::string("ab\0cd", 5), "cd", std::nullopt, false, -1},  // text ends at its zero byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findText(c.text, c.pattern, c.startPos, c.ignoreCase), c.want)
            << "text=" << c.text << " pattern=" << c.pattern << " start=" << c.startPos.value_or(-999);
    }
}

TEST(FindText, StartInsideACharacterSearchesFromThatByte) {
    // 确定 is C8 B7 B6 A8; B7 B6 straddles the two characters.
    EXPECT_EQ(findText("确定", "\xB7\xB6"), -1);
    EXPECT_EQ(findText("确定", "\xB7\xB6", 2), 2);
}

struct ReplaceCase {
    std::string text, pattern, replacement;
    bool caseSensitive;
    std::string want;
};

TEST(ReplaceText, ReplacesEveryMatchLeftToRight) {
    const ReplaceCase cases[] = {
        {"hh:mm:ss", "hh", "HH", true, "HH:mm:ss"},
        {"hh时mm分ss秒", "hh", "HH", true, "HH时mm分ss秒"},
        {"Hh:hh", "hh", "HH", true, "Hh:HH"},
        {"Hh:hh", "hh", "HH", false, "HH:HH"},
        {"aaa", "aa", "b", true, "ba"},
        {"a,b,c", ",", "", true, "abc"},
        {"", "a", "b", true, ""},
        {"abc", "", "x", true, "abc"},
        {kTrailA + "A", "A", "z", true, kTrailA + "z"},
        {"#引号x#引号", "#引号", "\"", true, "\"x\""},
        {"a\xB0", "b", "c", true, "a\xB0"},  // a lone lead byte is kept
    };
    for (const auto& c : cases) {
        EXPECT_EQ(replaceText(c.text, c.pattern, c.replacement, c.caseSensitive), c.want) << c.text;
    }
}

struct SplitCase {
    std::string text, delimiter;
    std::optional<std::int32_t> maxCount;
    TextList want;
};

TEST(SplitText, SplitsAtEveryDelimiter) {
    const SplitCase cases[] = {
        {"a,b,,c,", ",", std::nullopt, {"a", "b", "", "c"}},
        {",a", ",", std::nullopt, {"", "a"}},
        {"a\r\nb\r\n", "\r\n", std::nullopt, {"a", "b"}},
        {"a,b,c", ",", 2, {"a", "b"}},
        {"a,b,", ",", 2, {"a", "b"}},
        {"a,b,c", ",", 5, {"a", "b", "c"}},
        {"a,b,c", ",", 0, {}},
        {"a,b,c", ",", -3, {}},
        {"", ",", std::nullopt, {}},
        {"a,b", "", std::nullopt, {"a,b"}},
        {"a,b", "", 0, {}},
        {kTrailA + "A", "A", std::nullopt, {kTrailA}},
        {"x" + kTrailA + "y", "A", std::nullopt, {"x" + kTrailA + "y"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitText(c.text, c.delimiter, c.maxCount), c.want) << c.text;
}

TEST(MidText, TakesBytesFromPosition) {
    struct Case {
        std::int32_t pos, length;
        std::string want;
    };
    const Case cases[] = {
        {2, 3, "bcd"}, {5, 10, "ef"},       {6, 1, "f"},  {1, INT_MAX, "abcdef"}, {0, 2, ""},
        {7, 1, ""},    {INT_MAX, INT_MAX, ""}, {1, 0, ""}, {1, -1, ""},           {INT_MIN, 3, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(midText("abcdef", c.pos, c.length), c.want) << c.pos << "," << c.length;
    EXPECT_EQ(midText("", 1, 1), "");
}

struct BetweenCase {
    std::string text, startMarker, endMarker;
    std::int32_t startPos;
    bool ignoreCase;
    std::string want;
};

TEST(TextBetween, CutsBetweenMarkers) {
    const BetweenCase cases[] = {
        {"A[x]B[y]", "[", "]", 0, false, "x"},
        {"A[x]B[y]", "[", "]", 4, false, "y"},
        {"a]b[c", "[", "]", 0, false, ""},  // end marker only before the start marker
        {"a[bc", "[", "]", 0, false, ""},
        {"abc[", "[", "]", 0, false, ""},   // start marker at the very end
        {"[]", "[", "]", 0, false, ""},
        {"say \"hi\" now", "#引号", "#引号", 0, false, "hi"},
        {"a]b[c]", "", "]", 4, false, "a"},  // empty start marker: from the first byte
        {"<Tag>v</tag>", "<tag>", "</TAG>", 0, true, "v"},
        {"<Tag>v</tag>", "<tag>", "</TAG>", 0, false, ""},
        {"DNS 服务器 . . : 192.0.2.53\r\n   192.0.2.54\r\n   TCPIP 上的 NetBIOS", "DNS 服务器", "TCPIP", 0, false,
         " . . : 192.0.2.53\r\n   192.0.2.54\r\n   "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textBetween(c.text, c.startMarker, c.endMarker, c.startPos, c.ignoreCase), c.want) << c.text;
    }
}

struct SplitNonEmptyCase {
    std::string text, delimiter;
    std::int32_t maxCount;
    TextList want;
};

TEST(SplitNonEmpty, KeepsOnlyNonEmptyPieces) {
    const SplitNonEmptyCase cases[] = {
        {"a\r\n  \r\nb", "\r\n", 0, {"a", "  ", "b"}},  // blank-only lines are not empty
        {"a\r\n\r\nb\r\n", "\r\n", 0, {"a", "b"}},
        {"a,b,,c", "", 0, {"a", "b", "c"}},              // empty delimiter splits at ","
        {"a,,b,c", ",", 2, {"a"}},                       // the limit counts empty pieces too
        {"x", ",", -1, {}},
        {"", "\r\n", 0, {}},
    };
    for (const auto& c : cases) {
        TextList pieces = {"left over"};
        EXPECT_EQ(splitNonEmpty(c.text, c.delimiter, c.maxCount, pieces), static_cast<std::int32_t>(c.want.size()))
            << c.text;
        EXPECT_EQ(pieces, c.want) << c.text;
    }
}

TEST(CountOccurrences, CountsNonOverlappingMatches) {
    struct Case {
        std::string text, pattern;
        bool caseSensitive;
        std::int32_t want;
    };
    const Case cases[] = {
        {"=====", "==", true, 2},
        {"aaaa", "aa", true, 2},
        {"", "=", false, 0},
        {"a=b", "", false, 0},
        {"[DNS列表]\r\nDNS1=192.0.2.1\r\nDNS2=192.0.2.2\r\n", "=", false, 2},
        {"A=a=", "a", false, 2},
        {"A=a=", "a", true, 1},
        {kTrailA + kTrailLowerA, "a", false, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(countOccurrences(c.text, c.pattern, c.caseSensitive), c.want) << c.text;
    // A big list file full of keys is counted in one pass.
    EXPECT_EQ(countOccurrences(std::string(300000, '='), "=", false), 300000);
}

}  // namespace
