#include <cstdio>
#include <cstring>

#include "adapters/adapters.h"

std::string fixedFieldText(const char* field, std::size_t size) {
    if (field == nullptr || size == 0) return {};
    const void* zero = std::memchr(field, 0, size);
    const std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : size;
    return std::string(field, n);
}

std::string macText(const std::uint8_t* address, std::uint32_t length) {
    if (address == nullptr) return {};
    if (length > kMacFieldBytes) length = kMacFieldBytes;
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint32_t k = 0; k < length; ++k) {
        if (k > 0) text += '-';
        text += digits[address[k] >> 4];
        text += digits[address[k] & 0x0F];
    }
    return text;
}

std::string adapterTypeName(std::int32_t type) {
    struct Name {
        std::int32_t type;
        const char* text;
    };
    static const Name names[] = {
        {1, "OTHER"}, {6, "ETHERNET"}, {9, "TOKENRING"}, {15, "FDDI"},
        {23, "PPP"},  {24, "LOOPBACK"}, {28, "SLIP"},    {71, "IEEE80211"},
    };
    for (const Name& n : names)
        if (n.type == type) return n.text;
    char number[16];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(type));
    return number;
}

std::string guidText(const std::string& interfaceName) {
    const std::size_t brace = interfaceName.find('{');
    if (brace == std::string::npos) return interfaceName;
    return interfaceName.substr(brace);
}

std::string friendlyNameFor(const InterfaceNameList& interfaces, const std::string& adapterGuid) {
    for (const InterfaceNameRecord& r : interfaces)
        if (r.guidText == adapterGuid) return r.friendlyName;
    return {};
}
