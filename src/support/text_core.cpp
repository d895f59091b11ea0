#include <cstring>
#include <limits>
#include <string_view>

#include "support/text.h"

namespace {

constexpr std::int64_t kMaxPos = std::numeric_limits<std::int32_t>::max();

// The text as a C string sees it: up to its first zero byte.
std::string_view cText(const std::string& s) { return std::string_view(s.c_str(), std::strlen(s.c_str())); }

bool isLeadByte(unsigned char b) { return b >= 0x80; }

// Bytes taken by the character that starts at offset i: two after a lead
// byte, one otherwise. A lead byte in the last place counts as one byte.
std::size_t charWidth(std::string_view s, std::size_t i) {
    return (isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

unsigned char foldAscii(unsigned char b) { return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b; }

// Does pattern match text at offset at? The caller makes sure enough bytes
// remain. When folding, only single-byte characters are folded: the pattern is
// walked character by character, and since the match starts on a character
// boundary of the text, both stay in step.
bool matchesAt(std::string_view text, std::size_t at, std::string_view pattern, bool ignoreCase) {
    if (!ignoreCase) return text.compare(at, pattern.size(), pattern) == 0;
    std::size_t j = 0;
    while (j < pattern.size()) {
        const auto p = static_cast<unsigned char>(pattern[j]);
        const auto t = static_cast<unsigned char>(text[at + j]);
        if (isLeadByte(p)) {
            const std::size_t w = charWidth(pattern, j);
            if (text.compare(at + j, w, pattern.substr(j, w)) != 0) return false;
            j += w;
        } else {
            if (foldAscii(p) != foldAscii(t)) return false;
            ++j;
        }
    }
    return true;
}

// Offset of the first match at or after offset s, or npos.
std::size_t findFrom(std::string_view text, std::string_view pattern, std::size_t s, bool ignoreCase) {
    std::size_t i = s;
    while (i < text.size() && text.size() - i >= pattern.size()) {
        if (matchesAt(text, i, pattern, ignoreCase)) return i;
        i += charWidth(text, i);
    }
    return std::string_view::npos;
}

}  // namespace

std::int32_t findText(const std::string& text, const std::string& pattern, std::optional<std::int32_t> startPos,
                      bool ignoreCase) {
    const std::string_view t = cText(text);
    const std::string_view p = cText(pattern);
    std::int64_t s = startPos ? static_cast<std::int64_t>(*startPos) - 1 : 0;
    if (s < 0) s = 0;
    const bool partEmpty = static_cast<std::uint64_t>(s) >= t.size();
    if (p.empty()) return partEmpty ? -1 : 1;
    if (partEmpty) return -1;
    const std::size_t at = findFrom(t, p, static_cast<std::size_t>(s), ignoreCase);
    if (at == std::string_view::npos || at >= static_cast<std::size_t>(kMaxPos)) return -1;
    return static_cast<std::int32_t>(at + 1);
}

std::string replaceText(const std::string& text, const std::string& pattern, const std::string& replacement,
                        bool caseSensitive) {
    const std::string_view t = cText(text);
    const std::string_view p = cText(pattern);
    const std::string_view r = cText(replacement);
    if (t.empty() || p.empty()) return std::string(t);
    std::string out;
    out.reserve(t.size());
    std::size_t i = 0;
    while (i < t.size()) {
        if (t.size() - i >= p.size() && matchesAt(t, i, p, !caseSensitive)) {
            out.append(r);
            i += p.size();
        } else {
            const std::size_t w = charWidth(t, i);
            out.append(t.substr(i, w));
            i += w;
        }
    }
    return out;
}

TextList splitText(const std::string& text, const std::string& delimiter, std::optional<std::int32_t> maxCount) {
    const std::string_view t = cText(text);
    const std::string_view d = cText(delimiter);
    std::size_t limit = std::numeric_limits<std::size_t>::max();
    if (maxCount) limit = *maxCount < 0 ? 0 : static_cast<std::size_t>(*maxCount);
    TextList pieces;
    if (t.empty() || limit == 0) return pieces;
    if (d.empty()) {
        pieces.emplace_back(t);
        return pieces;
    }
    std::size_t pieceStart = 0;
    std::size_t i = 0;
    while (i < t.size()) {
        if (t.size() - i >= d.size() && t.compare(i, d.size(), d) == 0) {
            pieces.emplace_back(t.substr(pieceStart, i - pieceStart));
            i += d.size();
            pieceStart = i;
            if (pieces.size() >= limit) return pieces;
        } else {
            i += charWidth(t, i);
        }
    }
    if (pieceStart < t.size()) pieces.emplace_back(t.substr(pieceStart));
    return pieces;
}

std::string midText(const std::string& text, std::int32_t pos, std::int32_t length) {
    const std::string_view t = cText(text);
    if (pos < 1 || length <= 0 || static_cast<std::size_t>(pos) > t.size()) return {};
    return std::string(t.substr(static_cast<std::size_t>(pos) - 1, static_cast<std::size_t>(length)));
}

std::string textBetween(const std::string& text, const std::string& startMarker, const std::string& endMarker,
                        std::int32_t startPos, bool ignoreCase) {
    const std::string quoteWord = "#引号";
    const std::string start = replaceText(startMarker, quoteWord, "\"", true);
    const std::string end = replaceText(endMarker, quoteWord, "\"", true);
    const std::int32_t p = findText(text, start, startPos, ignoreCase);
    if (p == -1) return {};
    const std::int64_t c = static_cast<std::int64_t>(p) + static_cast<std::int64_t>(start.size());
    if (c > kMaxPos) return {};
    const std::int32_t q = findText(text, end, static_cast<std::int32_t>(c), ignoreCase);
    if (q == -1) return {};
    return midText(text, static_cast<std::int32_t>(c), static_cast<std::int32_t>(q - c));
}

std::int32_t splitNonEmpty(const std::string& text, const std::string& delimiter, std::int32_t maxCount,
                           TextList& pieces) {
    pieces.clear();
    const std::string d = cText(delimiter).empty() ? std::string(",") : delimiter;
    const TextList all = maxCount == 0 ? splitText(text, d) : splitText(text, d, maxCount);
    for (const std::string& piece : all) {
        if (!piece.empty()) pieces.push_back(piece);
    }
    return static_cast<std::int32_t>(pieces.size());
}

std::int32_t countOccurrences(const std::string& text, const std::string& pattern, bool caseSensitive) {
    // The same walk as repeated findText calls, each starting right after the
    // previous match, without measuring the text again for every match.
    const std::string_view t = cText(text);
    const std::string_view p = cText(pattern);
    if (t.empty() || p.empty()) return 0;
    std::int32_t n = 0;
    std::size_t at = findFrom(t, p, 0, !caseSensitive);
    while (at != std::string_view::npos && n < std::numeric_limits<std::int32_t>::max()) {
        ++n;
        at = findFrom(t, p, at + p.size(), !caseSensitive);
    }
    return n;
}
