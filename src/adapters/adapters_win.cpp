#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <mprapi.h>

#include <cstring>

#include "adapters/adapters.h"
#include "adapters/ipinfo_win.h"
#include "support/codepage.h"

namespace {

// The entries' fields the inventories read end with GatewayList.
constexpr std::size_t kAdapterReadSpan = offsetof(IP_ADAPTER_INFO, GatewayList) + sizeof(IP_ADDR_STRING);

// No connection name comes anywhere near this; a larger value is not one.
constexpr DWORD kLongestRegistryText = 1u << 20;

const char kNetworkClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// One router-configuration handle for the length of a call.
class MprConfig {
public:
    MprConfig() {
        HANDLE h = nullptr;
        if (MprConfigServerConnect(nullptr, &h) == NO_ERROR) handle_ = h;
    }
    MprConfig(const MprConfig&) = delete;
    MprConfig& operator=(const MprConfig&) = delete;
    ~MprConfig() {
        if (handle_) MprConfigServerDisconnect(handle_);
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

std::string expandEnvironment(const std::string& text) {
    const DWORD need = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (need == 0 || need > 0x7FFFFFF0u / 2) return {};
    // The ANSI form may report the length in characters rather than bytes
    // (Wine does), which falls short for Chinese text: leave room for two
    // bytes per character and the terminator.
    const DWORD room = need * 2 + 2;
    std::string out(room, '\0');
    DWORD got = ExpandEnvironmentStringsA(text.c_str(), &out[0], room);
    if (got == 0 || got > room) return {};
    out.resize(std::strlen(out.c_str()));
    return out;
}

// The registry's connection name of the adapter named adapterName (its GUID in
// braces); empty when there is none or it is not a string.
std::string connectionNameFor(const std::string& adapterName) {
    // A name with a backslash would lead to some other key.
    if (adapterName.empty() || adapterName.find('\\') != std::string::npos) return {};
    const std::string path = std::string(kNetworkClassKey) + adapterName + "\\Connection\\Name";
    const std::size_t cut = path.rfind('\\');
    const std::string keyPath = path.substr(0, cut);
    const std::string valueName = path.substr(cut + 1);

    RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    if (size > kLongestRegistryText) return {};
    std::vector<char> data(static_cast<std::size_t>(size) + 1, '\0');
    DWORD filled = size;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &filled) != ERROR_SUCCESS)
        return {};
    if (filled > size) filled = size;
    const std::string text = fixedFieldText(data.data(), filled);
    if (type == REG_SZ) return text;
    if (type == REG_EXPAND_SZ) return expandEnvironment(text);
    return {};
}

// GetAdaptersInfo into a buffer of the size its first call reports. With
// sizeCallMustOverflow the first call has to ask for a buffer.
bool readAdaptersInfo(IpInfoBuffer& buffer, bool sizeCallMustOverflow) {
    ULONG size = 0;
    const DWORD sizing = GetAdaptersInfo(nullptr, &size);
    if (sizeCallMustOverflow && sizing != ERROR_BUFFER_OVERFLOW) return false;
    buffer = IpInfoBuffer(size);
    ULONG filled = size;
    if (GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(buffer.data()), &filled) != NO_ERROR) return false;
    return buffer.data() != nullptr;
}

}  // namespace

bool spanInside(const void* base, std::size_t size, const void* p, std::size_t n, std::size_t align) {
    if (base == nullptr || p == nullptr) return false;
    const std::uintptr_t b = reinterpret_cast<std::uintptr_t>(base);
    const std::uintptr_t q = reinterpret_cast<std::uintptr_t>(p);
    if (q < b || q - b > size) return false;
    if (n > size - (q - b)) return false;
    return align == 0 || q % align == 0;
}

std::vector<const IP_ADAPTER_INFO*> adapterChain(const void* buffer, std::size_t size) {
    std::vector<const IP_ADAPTER_INFO*> chain;
    const std::size_t most = size / kAdapterReadSpan;
    const IP_ADAPTER_INFO* entry = static_cast<const IP_ADAPTER_INFO*>(buffer);
    // The fields read need no more than pointer alignment.
    while (chain.size() < most && spanInside(buffer, size, entry, kAdapterReadSpan, alignof(IP_ADDR_STRING))) {
        chain.push_back(entry);
        entry = entry->Next;
    }
    return chain;
}

std::size_t interfaceEntryCount(const void* buffer, std::size_t size) {
    const std::size_t head = offsetof(IP_INTERFACE_INFO, Adapter);
    if (buffer == nullptr || size < head) return 0;
    const LONG count = static_cast<const IP_INTERFACE_INFO*>(buffer)->NumAdapters;
    if (count <= 0) return 0;
    const std::size_t fit = (size - head) / sizeof(IP_ADAPTER_INDEX_MAP);
    return static_cast<std::size_t>(count) < fit ? static_cast<std::size_t>(count) : fit;
}

bool getAdapterDnsServers(std::uint32_t index, std::string& primary, std::string& secondary) {
    primary.clear();
    secondary.clear();
    ULONG size = 0;
    if (GetPerAdapterInfo(index, nullptr, &size) != ERROR_BUFFER_OVERFLOW) return false;
    if (size < sizeof(IP_PER_ADAPTER_INFO)) return false;
    IpInfoBuffer buffer(size);
    ULONG filled = size;
    if (GetPerAdapterInfo(index, reinterpret_cast<PIP_PER_ADAPTER_INFO>(buffer.data()), &filled) != NO_ERROR)
        return false;
    const auto* info = reinterpret_cast<const IP_PER_ADAPTER_INFO*>(buffer.data());
    // The first server is held in the structure, the others follow its Next
    // chain; only the first two are used.
    const IP_ADDR_STRING* server = &info->DnsServerList;
    for (int k = 1; k <= 2; ++k) {
        if (!spanInside(buffer.data(), buffer.size(), server, sizeof(IP_ADDR_STRING), alignof(IP_ADDR_STRING)))
            break;
        (k == 1 ? primary : secondary) = fixedFieldText(server->IpAddress.String);
        server = server->Next;
    }
    return true;
}

std::int32_t listAdapters(AdapterList& list) {
    list.clear();
    IpInfoBuffer buffer;
    if (!readAdaptersInfo(buffer, false)) return 0;
    for (const IP_ADAPTER_INFO* entry : adapterChain(buffer.data(), buffer.size())) {
        AdapterRecord r;
        r.description = fixedFieldText(entry->Description);
        r.macText = macText(entry->Address, entry->AddressLength);
        r.ipAddress = fixedFieldText(entry->IpAddressList.IpAddress.String);
        r.ipMask = fixedFieldText(entry->IpAddressList.IpMask.String);
        r.gatewayAddress = fixedFieldText(entry->GatewayList.IpAddress.String);
        r.connectionName = connectionNameFor(fixedFieldText(entry->AdapterName));
        getAdapterDnsServers(entry->Index, r.primaryDns, r.secondaryDns);
        list.push_back(std::move(r));
    }
    return static_cast<std::int32_t>(list.size());
}

void listInterfaceNames(InterfaceNameList& list) {
    list.clear();
    MprConfig mpr;
    ULONG size = 0;
    if (GetInterfaceInfo(nullptr, &size) != ERROR_INSUFFICIENT_BUFFER) return;
    IpInfoBuffer buffer(size);
    ULONG filled = size;
    GetInterfaceInfo(reinterpret_cast<PIP_INTERFACE_INFO>(buffer.data()), &filled);
    const std::size_t count = interfaceEntryCount(buffer.data(), buffer.size());
    if (count == 0) return;
    const auto* table = reinterpret_cast<const IP_INTERFACE_INFO*>(buffer.data());
    list.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const IP_ADAPTER_INDEX_MAP& entry = table->Adapter[i];
        // The table's name with a terminating unit the field itself may lack.
        WCHAR guidName[MAX_ADAPTER_NAME + 1] = {};
        std::memcpy(guidName, entry.Name, sizeof entry.Name);
        WCHAR friendly[128] = {};
        // Without a handle the name stays empty; the call is not made then, as
        // systems without router configuration (Wine) may not implement it.
        if (mpr.get()) MprConfigGetFriendlyName(mpr.get(), guidName, friendly, sizeof friendly - 1);

        InterfaceNameRecord& r = list[i];
        r.interfaceIndex = entry.Index;
        const BYTE* nameBytes = reinterpret_cast<const BYTE*>(entry.Name);
        r.interfaceName = wideToText(ByteBuffer(nameBytes, nameBytes + sizeof entry.Name));
        const BYTE* friendlyBytes = reinterpret_cast<const BYTE*>(friendly);
        r.friendlyName = wideToText(ByteBuffer(friendlyBytes, friendlyBytes + sizeof friendly));
        r.guidText = guidText(r.interfaceName);
    }
}

std::int32_t listAdapterDetails(AdapterDetailList& list) {
    list.clear();
    InterfaceNameList interfaces;
    listInterfaceNames(interfaces);
    IpInfoBuffer buffer;
    if (!readAdaptersInfo(buffer, true)) return 0;
    for (const IP_ADAPTER_INFO* entry : adapterChain(buffer.data(), buffer.size())) {
        AdapterDetailRecord r;
        r.adapterGuid = fixedFieldText(entry->AdapterName);
        r.description = fixedFieldText(entry->Description);
        r.typeNumber = static_cast<std::int32_t>(entry->Type);
        r.typeName = adapterTypeName(r.typeNumber);
        r.macText = macText(entry->Address, entry->AddressLength);
        r.ipAddress = fixedFieldText(entry->IpAddressList.IpAddress.String);
        r.ipMask = fixedFieldText(entry->IpAddressList.IpMask.String);
        r.gatewayAddress = fixedFieldText(entry->GatewayList.IpAddress.String);
        getAdapterDnsServers(entry->Index, r.primaryDns, r.secondaryDns);
        r.friendlyName = friendlyNameFor(interfaces, r.adapterGuid);
        r.dhcpEnabled = entry->DhcpEnabled == 1;
        list.push_back(std::move(r));
    }
    return static_cast<std::int32_t>(list.size());
}
