// Text primitives and the text helpers built on them. Platform-free.
//
// Texts are code page 936 byte strings. Each routine reads a text up to its
// first zero byte, as a C string would end there. Lengths and positions count
// bytes; positions start at 1 and a search that finds nothing gives -1.
// A byte of 0x80 or more is the lead byte of a two-byte character: every scan
// steps over such a pair as one unit, so a match never begins on the second
// byte of a character. A lead byte that is the last byte of the text ends the
// scan.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "support/types.h"

// Position of the first match of pattern at or after startPos (1-based; values
// below 1 count as 1; left out = from the start), or -1. With ignoreCase,
// single-byte ASCII letters match regardless of case; the bytes of two-byte
// characters always match exactly. An empty pattern gives 1 when the part
// searched is not empty, -1 otherwise.
std::int32_t findText(const std::string& text, const std::string& pattern,
                      std::optional<std::int32_t> startPos = std::nullopt, bool ignoreCase = false);

// The text with every match of pattern replaced, walking left to right and
// going on after each match. caseSensitive false folds ASCII letters as in
// findText. An empty text or pattern gives a copy of the text.
std::string replaceText(const std::string& text, const std::string& pattern,
                        const std::string& replacement, bool caseSensitive = true);

// The pieces of text between delimiters (matched byte for byte). Empty pieces
// between touching delimiters are kept; a delimiter at the very end adds none.
// maxCount: left out = no limit, negative counts as 0; once maxCount pieces are
// out the rest of the text is dropped. An empty text or a limit of 0 gives no
// pieces; an empty delimiter gives the whole text as one piece.
TextList splitText(const std::string& text, const std::string& delimiter,
                   std::optional<std::int32_t> maxCount = std::nullopt);

// Up to length bytes from the 1-based position pos on; empty when pos is not
// within the text or length is not positive.
std::string midText(const std::string& text, std::int32_t pos, std::int32_t length);

// The bytes strictly between the first startMarker at or after startPos
// (1 or less = from the start) and the next endMarker after it; empty when
// either marker is missing. "#引号" in a marker stands for a double quote.
std::string textBetween(const std::string& text, const std::string& startMarker,
                        const std::string& endMarker, std::int32_t startPos = 0,
                        bool ignoreCase = false);

// Empties pieces, splits text at delimiter ("," when empty; maxCount 0 = no
// limit, the limit counting empty pieces too) and puts the non-empty pieces in
// pieces, in order. Returns the number of entries in pieces.
std::int32_t splitNonEmpty(const std::string& text, const std::string& delimiter,
                           std::int32_t maxCount, TextList& pieces);

// Number of non-overlapping occurrences of pattern in text (each search starts
// right after the previous match); 0 when either is empty.
std::int32_t countOccurrences(const std::string& text, const std::string& pattern,
                              bool caseSensitive = true);
