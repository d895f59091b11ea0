#include "support/codepage.h"

ByteBuffer wideCutAtNul(const ByteBuffer& bytes, bool appendNul) {
    if (bytes.size() < 2) return {};
    std::size_t i = 0;
    while (i + 2 <= bytes.size()) {
        if (bytes[i] == 0 && bytes[i + 1] == 0) break;
        i += 2;
    }
    if (i == 0) return {};
    ByteBuffer out(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(i));
    if (appendNul) {
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}
