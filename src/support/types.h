// Value types shared by every part of the program.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Texts are std::string holding code page 936 bytes (a Chinese character is two
// bytes). Lengths and positions count bytes.

// A length-counted byte sequence that may hold zero bytes. A UTF-16LE buffer is
// a ByteBuffer of 16-bit units, low byte first.
using ByteBuffer = std::vector<std::uint8_t>;

// Growable list of owned texts. The program's logic counts entries from 1;
// in C++ entry k sits at index k - 1.
using TextList = std::vector<std::string>;

// Growable list of 32-bit signed integers (probe times in milliseconds, -1 for
// no answer).
using IntList = std::vector<std::int32_t>;
