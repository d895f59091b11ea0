// The machine's network adapters: records and inventories.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One adapter as the IP Helper inventory describes it.
struct AdapterRecord {
    std::string description;
    std::string connectionName;  // empty when the registry has none
    std::string macText;         // 00-1A-2B-3C-4D-5E
    std::string ipAddress;
    std::string ipMask;
    std::string gatewayAddress;
    std::string primaryDns;
    std::string secondaryDns;
};

// One entry of the interface table with its friendly name.
struct InterfaceNameRecord {
    std::uint32_t interfaceIndex = 0;
    std::string interfaceName;
    std::string friendlyName;
    std::string guidText;
};

// One adapter with its GUID, friendly name, type and DHCP state.
struct AdapterDetailRecord {
    std::string adapterGuid;
    std::string description;
    std::string friendlyName;
    std::int32_t typeNumber = 0;
    std::string typeName;
    std::string macText;
    std::string ipAddress;
    std::string ipMask;
    std::string gatewayAddress;
    std::string primaryDns;
    std::string secondaryDns;
    bool dhcpEnabled = false;
};

using AdapterList = std::vector<AdapterRecord>;
using AdapterDetailList = std::vector<AdapterDetailRecord>;
using InterfaceNameList = std::vector<InterfaceNameRecord>;

// Windows only. Each empties the list it is given, refills it in the system's
// chain order and returns the number of records (0 on failure).
std::int32_t listAdapters(AdapterList& list);
std::int32_t listAdapterDetails(AdapterDetailList& list);
void listInterfaceNames(InterfaceNameList& list);
bool getAdapterDnsServers(std::uint32_t index, std::string& primary, std::string& secondary);

// Platform-free helpers of the inventories.

// Bytes of a fixed character field up to its first zero byte; all size bytes
// when it holds none. Never reads past the field.
std::string fixedFieldText(const char* field, std::size_t size);
template <std::size_t N>
std::string fixedFieldText(const char (&field)[N]) {
    return fixedFieldText(field, N);
}

// Hardware address as upper-case hex pairs joined by "-" (00-1A-2B-3C-4D-5E).
// The address field holds 8 bytes: a longer length is read as 8.
constexpr std::uint32_t kMacFieldBytes = 8;
std::string macText(const std::uint8_t* address, std::uint32_t length);
// IP Helper interface type as a name ("ETHERNET"), or the number in decimal.
std::string adapterTypeName(std::int32_t type);
// interfaceName from its first "{" to the end; the whole name without one.
std::string guidText(const std::string& interfaceName);
// friendlyName of the first record whose guidText equals adapterGuid byte for
// byte; empty when none does.
std::string friendlyNameFor(const InterfaceNameList& interfaces, const std::string& adapterGuid);
