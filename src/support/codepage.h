// Conversion between code page 936 texts and UTF-16LE buffers, at the few
// places where Windows wants or gives UTF-16LE.
#pragma once
#include <cstdint>
#include <string>

#include "support/types.h"

// Multi-byte bytes (up to the first zero byte) to UTF-16LE through codePage.
// The result ends with one NUL unit; empty when there is nothing to convert or
// Windows refuses the conversion. (Windows only.)
ByteBuffer textToWide(const ByteBuffer& bytes, std::uint32_t codePage);

// A text to UTF-16LE through code page 936: with its NUL unit when cutAtNul is
// false, without it when true; empty for an empty text. (Windows only.)
ByteBuffer textToUtf16(const std::string& text, bool cutAtNul);

// The units before the first NUL unit, followed by one NUL unit when
// appendNul is true; empty when the buffer is shorter than one unit or begins
// with a NUL unit. An odd trailing byte is dropped. (Platform-free.)
ByteBuffer wideCutAtNul(const ByteBuffer& bytes, bool appendNul);

// UTF-16LE (up to its first NUL unit) to a text, through codePage when
// useCodePage is true and through the ANSI code page otherwise. A trailing odd
// byte is ignored. (Windows only.)
std::string wideToText(const ByteBuffer& bytes, std::uint32_t codePage = 936, bool useCodePage = true);
