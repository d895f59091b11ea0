#include <cstring>

#include "app/inventory.h"
#include "support/text.h"

const char* const kDnsBlockStart = "DNS 服务器  . . . . . . . . . . . :";
const char* const kDnsBlockEnd = "TCPIP 上的 NetBIOS";

CurrentDns extractCurrentDns(const std::string& reportText,
                             const std::function<std::string(const std::string&)>& trimBlanks) {
    CurrentDns result;
    result.blockText = textBetween(reportText, kDnsBlockStart, kDnsBlockEnd, 0, false);
    TextList serverLines;
    splitNonEmpty(result.blockText, "\r\n", 0, serverLines);
    for (const std::string& line : serverLines) {
        std::string server = trimBlanks(line);
        if (!server.empty()) result.servers.push_back(std::move(server));
    }
    return result;
}

std::int32_t dnsListKeyCount(const std::string& fileText) {
    return countOccurrences(fileText, "=", false);
}

std::string dnsListKey(std::int32_t k) { return "DNS" + std::to_string(k); }

std::string bytesToText(const ByteBuffer& bytes) {
    if (bytes.empty()) return {};
    const void* nul = std::memchr(bytes.data(), 0, bytes.size());
    const std::size_t n = nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - bytes.data())
                              : bytes.size();
    return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
}
