#include <windows.h>

#include <cstring>

#include "support/codepage.h"

ByteBuffer textToWide(const ByteBuffer& bytes, std::uint32_t codePage) {
    // A copy with one zero byte appended: the text ends at its first zero byte.
    std::string text(bytes.begin(), bytes.end());
    const char* s = text.c_str();
    if (s[0] == '\0') return {};
    int m = MultiByteToWideChar(codePage, 0, s, -1, nullptr, 0);
    if (m <= 0) return {};
    ByteBuffer out(static_cast<std::size_t>(m) * 2, 0);
    int written = MultiByteToWideChar(codePage, 0, s, -1, reinterpret_cast<LPWSTR>(out.data()), m);
    if (written <= 0) return {};
    return out;
}

ByteBuffer textToUtf16(const std::string& text, bool cutAtNul) {
    ByteBuffer result = textToWide(ByteBuffer(text.begin(), text.end()), 936);
    if (cutAtNul) result = wideCutAtNul(result, false);
    return result;
}

std::string wideToText(const ByteBuffer& bytes, std::uint32_t codePage, bool useCodePage) {
    const UINT cp = useCodePage ? codePage : CP_ACP;
    // Whole units only, then one NUL unit, so the walk always ends inside the copy.
    std::wstring units(bytes.size() / 2, L'\0');
    if (!units.empty()) std::memcpy(&units[0], bytes.data(), units.size() * 2);
    const wchar_t* w = units.c_str();
    if (lstrlenW(w) == 0) return {};
    int m = WideCharToMultiByte(cp, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (m <= 0) return {};
    std::string out(static_cast<std::size_t>(m), '\0');
    if (WideCharToMultiByte(cp, 0, w, -1, &out[0], m, nullptr, nullptr) <= 0) return {};
    out.resize(std::strlen(out.c_str()));
    return out;
}
