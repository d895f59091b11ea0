#include "dnsconfig/address.h"

#include <cstddef>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

bool isIpv4Literal(const std::string& text) {
    int parts = 0;
    std::size_t i = 0;
    for (;;) {
        const std::size_t start = i;
        int value = 0;
        while (i < text.size() && isDigit(text[i]) && i - start < 3) {
            value = value * 10 + (text[i] - '0');
            ++i;
        }
        const std::size_t digits = i - start;
        if (digits == 0 || value > 255) return false;
        if (digits > 1 && text[start] == '0') return false;
        ++parts;
        if (i == text.size()) return parts == 4;
        if (text[i] != '.' || parts == 4) return false;
        ++i;
    }
}

bool isIpv6Literal(const std::string& text) {
    if (text.empty()) return false;
    int groups = 0;          // 16-bit groups written out (a trailing IPv4 counts as two)
    bool compressed = false;  // "::" seen
    std::size_t i = 0;
    if (text.compare(0, 2, "::") == 0) {
        compressed = true;
        i = 2;
        if (i == text.size()) return true;  // "::"
    } else if (text[0] == ':') {
        return false;  // a single leading colon
    }
    for (;;) {
        // One group, or the trailing dotted IPv4 part.
        const std::size_t start = i;
        while (i < text.size() && isHexDigit(text[i])) ++i;
        if (i < text.size() && text[i] == '.') {
            if (!isIpv4Literal(text.substr(start))) return false;
            groups += 2;
            break;
        }
        const std::size_t digits = i - start;
        if (digits == 0 || digits > 4) return false;
        ++groups;
        if (i == text.size()) break;
        if (text[i] != ':') return false;
        ++i;
        if (i < text.size() && text[i] == ':') {
            if (compressed) return false;  // a second "::"
            compressed = true;
            ++i;
            if (i == text.size()) break;  // ends with "::"
        } else if (i == text.size()) {
            return false;  // a single trailing colon
        }
    }
    return compressed ? groups <= 7 : groups == 8;
}

bool isAddressLiteral(const std::string& text) {
    return isIpv4Literal(text) || isIpv6Literal(text);
}
