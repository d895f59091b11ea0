// Recognises plain IP address literals: the only server texts that may stand
// on a netsh command line or be probed.
#pragma once
#include <string>

// Dotted-decimal IPv4: exactly four parts of 1 to 3 decimal digits, each
// 0-255, without a leading zero (so "010" is refused rather than read as
// octal or decimal depending on the reader), without signs or blanks.
bool isIpv4Literal(const std::string& text);

// IPv6 in the text forms of RFC 4291: eight groups of 1 to 4 hex digits, at
// most one "::" standing for one or more zero groups, and optionally the last
// two groups written as a dotted IPv4 literal (as above). No zone id ("%"),
// no brackets, no prefix length, no blanks.
bool isIpv6Literal(const std::string& text);

// True for an IPv4 or IPv6 literal as above; false for anything else,
// including the empty text and host names.
bool isAddressLiteral(const std::string& text);
