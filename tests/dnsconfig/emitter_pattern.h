// The bulk output of dnsconfig_emitter: numbered 16-byte records
// ("000000000000042\n"), so a lost, doubled or reordered piece shows.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

inline std::string emitterPattern(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + 16);
    char record[17];
    for (unsigned long n = 0; text.size() < bytes; ++n) {
        std::snprintf(record, sizeof(record), "%015lu\n", n);
        text += record;
    }
    text.resize(bytes);
    return text;
}
