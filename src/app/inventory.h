// Start-up inventory: the current DNS servers from the ipconfig report, the
// candidate servers from the DNS list file and the adapters.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "support/types.h"

// The labels that frame the DNS block of one adapter in the Chinese report of
// `ipconfig /all`.
extern const char* const kDnsBlockStart;  // "DNS 服务器  . . . . . . . . . . . :"
extern const char* const kDnsBlockEnd;    // "TCPIP 上的 NetBIOS"

struct CurrentDns {
    std::string blockText;  // the raw block after the first DNS label
    TextList servers;       // its lines without blanks, empty lines dropped
};

// Cuts the first adapter's DNS block out of the report and cleans its lines
// with trimBlanks (leading and trailing spaces).
CurrentDns extractCurrentDns(const std::string& reportText,
                             const std::function<std::string(const std::string&)>& trimBlanks);

// Number of keys read from the DNS list file: the "=" characters in its text
// (the bytes up to the first zero byte).
std::int32_t dnsListKeyCount(const std::string& fileText);

// Key name of the k-th entry of the DNS list (k from 1): DNS1, DNS2, ...
std::string dnsListKey(std::int32_t k);

// The bytes up to, not including, the first zero byte.
std::string bytesToText(const ByteBuffer& bytes);

// Runs the inventory; the handler of the main window's created event.
void runStartupInventory();
