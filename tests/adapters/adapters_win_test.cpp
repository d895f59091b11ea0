#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <mprapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "adapters/adapters.h"
#include "adapters/ipinfo_win.h"
#include "support/codepage.h"

namespace {

// What the system's own adapter chain says, read here straight from
// GetAdaptersInfo to compare the inventories with.
struct SystemAdapter {
    std::string guid;
    std::string description;
    std::string mac;
    std::string ip;
    std::string mask;
    std::string gateway;
    DWORD index = 0;
    UINT type = 0;
    UINT dhcp = 0;
};

std::vector<SystemAdapter> systemAdapters() {
    std::vector<SystemAdapter> out;
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) return out;
    std::vector<std::uint64_t> buffer(size / 8 + 1);
    if (GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(buffer.data()), &size) != NO_ERROR) return out;
    for (auto* e = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); e; e = e->Next) {
        SystemAdapter a;
        a.guid = e->AdapterName;
        a.description = e->Description;
        for (UINT k = 0; k < e->AddressLength && k < sizeof e->Address; ++k) {
            char pair[4];
            std::snprintf(pair, sizeof pair, "%02X", e->Address[k]);
            a.mac += (k ? "-" : "") + std::string(pair);
        }
        a.ip = e->IpAddressList.IpAddress.String;
        a.mask = e->IpAddressList.IpMask.String;
        a.gateway = e->GatewayList.IpAddress.String;
        a.index = e->Index;
        a.type = e->Type;
        a.dhcp = e->DhcpEnabled;
        out.push_back(a);
    }
    return out;
}

std::string firstDnsServer(DWORD index) {
    ULONG size = 0;
    if (GetPerAdapterInfo(index, nullptr, &size) != ERROR_BUFFER_OVERFLOW) return "<none>";
    std::vector<std::uint64_t> buffer(size / 8 + 1);
    if (GetPerAdapterInfo(index, reinterpret_cast<PIP_PER_ADAPTER_INFO>(buffer.data()), &size) != NO_ERROR)
        return "<none>";
    return reinterpret_cast<const IP_PER_ADAPTER_INFO*>(buffer.data())->DnsServerList.IpAddress.String;
}

#define SKIP_WITHOUT_ADAPTERS(adapters)                                                              \
    if ((adapters).empty())                                                                          \
    GTEST_SKIP() << "GetAdaptersInfo reports no IPv4 adapter on this system (Wine without network?);" \
                    " nothing to compare the inventory with"

TEST(AdapterInventory, ListsSystemAdaptersInChainOrderReplacingOldRecords) {
    const std::vector<SystemAdapter> want = systemAdapters();
    SKIP_WITHOUT_ADAPTERS(want);

    AdapterList list(3);
    list[0].description = "old record";
    const std::int32_t count = listAdapters(list);
    ASSERT_EQ(count, static_cast<std::int32_t>(want.size()));
    ASSERT_EQ(list.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE("adapter " + std::to_string(i + 1) + " " + want[i].guid);
        EXPECT_EQ(list[i].description, want[i].description);
        EXPECT_EQ(list[i].macText, want[i].mac);
        EXPECT_EQ(list[i].ipAddress, want[i].ip);
        EXPECT_EQ(list[i].ipMask, want[i].mask);
        EXPECT_EQ(list[i].gatewayAddress, want[i].gateway);
        EXPECT_EQ(list[i].primaryDns, firstDnsServer(want[i].index));
    }
    // A second call on the same list gives the same records, not twice as many.
    EXPECT_EQ(listAdapters(list), count);
    EXPECT_EQ(list.size(), want.size());
}

TEST(AdapterInventory, DetailsListSystemAdaptersWithTypeDhcpAndFriendlyName) {
    const std::vector<SystemAdapter> want = systemAdapters();
    SKIP_WITHOUT_ADAPTERS(want);
    InterfaceNameList interfaces;
    listInterfaceNames(interfaces);

    AdapterDetailList list(2);
    list[1].adapterGuid = "old record";
    const std::int32_t count = listAdapterDetails(list);
    ASSERT_EQ(count, static_cast<std::int32_t>(want.size()));
    ASSERT_EQ(list.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE("adapter " + std::to_string(i + 1) + " " + want[i].guid);
        const AdapterDetailRecord& r = list[i];
        EXPECT_EQ(r.adapterGuid, want[i].guid);
        EXPECT_EQ(r.description, want[i].description);
        EXPECT_EQ(r.typeNumber, static_cast<std::int32_t>(want[i].type));
        EXPECT_EQ(r.typeName, adapterTypeName(r.typeNumber));
        EXPECT_EQ(r.macText, want[i].mac);
        EXPECT_EQ(r.ipAddress, want[i].ip);
        EXPECT_EQ(r.ipMask, want[i].mask);
        EXPECT_EQ(r.gatewayAddress, want[i].gateway);
        EXPECT_EQ(r.primaryDns, firstDnsServer(want[i].index));
        EXPECT_EQ(r.dhcpEnabled, want[i].dhcp == 1);
        EXPECT_EQ(r.friendlyName, friendlyNameFor(interfaces, r.adapterGuid));
    }
    EXPECT_EQ(listAdapterDetails(list), count);
    EXPECT_EQ(list.size(), want.size());
}

TEST(AdapterInventory, InterfaceNamesFollowTheInterfaceTable) {
    ULONG size = 0;
    if (GetInterfaceInfo(nullptr, &size) != ERROR_INSUFFICIENT_BUFFER)
        GTEST_SKIP() << "GetInterfaceInfo reports no interface table on this system";
    std::vector<std::uint64_t> buffer(size / 8 + 1);
    ASSERT_EQ(GetInterfaceInfo(reinterpret_cast<PIP_INTERFACE_INFO>(buffer.data()), &size), NO_ERROR);
    const auto* table = reinterpret_cast<const IP_INTERFACE_INFO*>(buffer.data());

    // Whether the router configuration can be reached here (Wine cannot).
    HANDLE mpr = nullptr;
    const bool mprReachable = MprConfigServerConnect(nullptr, &mpr) == NO_ERROR && mpr;
    if (mpr) MprConfigServerDisconnect(mpr);

    InterfaceNameList list(1);
    list[0].interfaceName = "old record";
    listInterfaceNames(list);
    ASSERT_EQ(list.size(), static_cast<std::size_t>(table->NumAdapters));
    for (std::size_t i = 0; i < list.size(); ++i) {
        const IP_ADAPTER_INDEX_MAP& entry = table->Adapter[i];
        const auto* name = reinterpret_cast<const BYTE*>(entry.Name);
        const std::string wantName = wideToText(ByteBuffer(name, name + sizeof entry.Name));
        SCOPED_TRACE(wantName);
        ASSERT_FALSE(wantName.empty());
        EXPECT_EQ(list[i].interfaceIndex, entry.Index);
        EXPECT_EQ(list[i].interfaceName, wantName);
        EXPECT_EQ(list[i].guidText, guidText(wantName));
        if (!mprReachable) {
            EXPECT_EQ(list[i].friendlyName, "");
        }
    }
}

TEST(AdapterInventory, DnsServersOfUnknownAdapterAreEmpty) {
    std::string primary = "stale", secondary = "stale";
    EXPECT_FALSE(getAdapterDnsServers(0x7FFFFFF0u, primary, secondary));
    EXPECT_EQ(primary, "");
    EXPECT_EQ(secondary, "");

    const std::vector<SystemAdapter> want = systemAdapters();
    SKIP_WITHOUT_ADAPTERS(want);
    primary = secondary = "stale";
    EXPECT_TRUE(getAdapterDnsServers(want[0].index, primary, secondary));
    EXPECT_EQ(primary, firstDnsServer(want[0].index));
    EXPECT_NE(secondary, "stale");
}

// Writes the Name value of one adapter's Connection key in this Wine prefix's
// HKLM and takes away everything it wrote (keys it created, or the value it
// replaced) when it goes.
class ConnectionNameValue {
public:
    explicit ConnectionNameValue(const std::string& guid) {
        const std::string levels[] = {
            "SYSTEM\\CurrentControlSet\\Control\\Network",
            "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}",
            "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\" + guid,
            "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\" + guid +
                "\\Connection",
        };
        for (const std::string& path : levels) {
            HKEY key = nullptr;
            DWORD disposition = 0;
            if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                &disposition) != ERROR_SUCCESS)
                return;
            if (disposition == REG_CREATED_NEW_KEY) created_.push_back(path);
            if (key_) RegCloseKey(key_);
            key_ = key;
        }
        DWORD size = 0;
        if (RegQueryValueExA(key_, "Name", nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
            oldData_.resize(size);
            hadOld_ = RegQueryValueExA(key_, "Name", nullptr, &oldType_, oldData_.data(), &size) == ERROR_SUCCESS;
            oldData_.resize(size);
        }
    }
    ConnectionNameValue(const ConnectionNameValue&) = delete;
    ConnectionNameValue& operator=(const ConnectionNameValue&) = delete;
    ~ConnectionNameValue() {
        if (key_) {
            if (hadOld_)
                RegSetValueExA(key_, "Name", 0, oldType_, oldData_.data(), static_cast<DWORD>(oldData_.size()));
            else
                RegDeleteValueA(key_, "Name");
            RegCloseKey(key_);
        }
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) RegDeleteKeyA(HKEY_LOCAL_MACHINE, it->c_str());
    }
    bool ready() const { return key_ != nullptr; }
    bool hadValue() const { return hadOld_; }
    bool set(DWORD type, const std::string& bytes) {
        return RegSetValueExA(key_, "Name", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                              static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
    std::vector<std::string> created_;
    bool hadOld_ = false;
    DWORD oldType_ = 0;
    std::vector<BYTE> oldData_;
};

std::string environment(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value) : std::string();
}

TEST(AdapterInventory, ConnectionNamesComeFromTheRegistry) {
    const std::vector<SystemAdapter> adapters = systemAdapters();
    SKIP_WITHOUT_ADAPTERS(adapters);
    const std::size_t target = adapters.size() - 1;  // the last one, so order matters too
    ASSERT_TRUE(SetEnvironmentVariableA("KORVEL_ADAPTERS_NET", "本地连接"));
    const std::string systemRoot = environment("SystemRoot");
    ASSERT_FALSE(systemRoot.empty());

    AdapterList before;
    listAdapters(before);
    ASSERT_EQ(before.size(), adapters.size());
    {
        ConnectionNameValue value(adapters[target].guid);
        ASSERT_TRUE(value.ready()) << "cannot write HKLM in this prefix";
        if (!value.hadValue()) {
            EXPECT_EQ(before[target].connectionName, "");
        }

        struct Case {
            DWORD type;
            std::string data;
            std::string want;
        };
        const Case cases[] = {
            {REG_SZ, std::string("以太网 2", sizeof "以太网 2"), "以太网 2"},
            {REG_SZ, "无结尾零", "无结尾零"},  // stored without its zero byte
            {REG_SZ, std::string("", 1), ""},
            {REG_EXPAND_SZ, std::string("%KORVEL_ADAPTERS_NET% 2", sizeof "%KORVEL_ADAPTERS_NET% 2"), "本地连接 2"},
            {REG_EXPAND_SZ, std::string("%SystemRoot%\\网络", sizeof "%SystemRoot%\\网络"), systemRoot + "\\网络"},
            {REG_BINARY, std::string("以太网", sizeof "以太网"), ""},
            {REG_DWORD, std::string("\x01\x00\x00\x00", 4), ""},
            {REG_MULTI_SZ, std::string("以太网\0\0", sizeof "以太网\0\0"), ""},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE("type " + std::to_string(c.type) + " want " + c.want);
            ASSERT_TRUE(value.set(c.type, c.data));
            AdapterList list;
            ASSERT_EQ(listAdapters(list), static_cast<std::int32_t>(adapters.size()));
            EXPECT_EQ(list[target].connectionName, c.want);
            EXPECT_EQ(list[target].description, adapters[target].description);
            for (std::size_t i = 0; i < list.size(); ++i) {
                if (i != target) {
                    EXPECT_EQ(list[i].connectionName, before[i].connectionName);
                }
            }
        }
    }
    // Everything written is gone again.
    AdapterList after;
    listAdapters(after);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[target].connectionName, before[target].connectionName);
    SetEnvironmentVariableA("KORVEL_ADAPTERS_NET", nullptr);
}

// Hand-made buffers: the chain walk and the interface table never lead
// outside the buffer they are given.
TEST(AdapterBuffers, ChainWalkStaysInsideTheBuffer) {
    std::vector<IP_ADAPTER_INFO> entries(3);
    std::memset(entries.data(), 0, entries.size() * sizeof(IP_ADAPTER_INFO));
    IP_ADAPTER_INFO outside = {};
    const std::size_t size = entries.size() * sizeof(IP_ADAPTER_INFO);
    const auto* base = reinterpret_cast<const BYTE*>(entries.data());
    const std::size_t most = size / (offsetof(IP_ADAPTER_INFO, GatewayList) + sizeof(IP_ADDR_STRING));

    struct Case {
        const char* what;
        IP_ADAPTER_INFO* next0;
        IP_ADAPTER_INFO* next1;
        std::size_t want;
        bool inOrder;  // the entries are entries[0], [1], ... in turn
    };
    auto* tail = reinterpret_cast<IP_ADAPTER_INFO*>(const_cast<BYTE*>(base) + size - 8);
    auto* skew = reinterpret_cast<IP_ADAPTER_INFO*>(const_cast<BYTE*>(base) + sizeof(IP_ADAPTER_INFO) + 2);
    const Case cases[] = {
        {"three in a row", &entries[1], &entries[2], 3, true},
        {"one only", nullptr, &entries[2], 1, true},
        {"next outside the buffer", &entries[1], &outside, 2, true},
        {"next whose entry runs past the end", &entries[1], tail, 2, true},
        {"next not aligned", skew, nullptr, 1, true},
        {"loop back to the first", &entries[1], &entries[0], most, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        entries[0].Next = c.next0;
        entries[1].Next = c.next1;
        entries[2].Next = nullptr;
        const auto chain = adapterChain(entries.data(), size);
        ASSERT_EQ(chain.size(), c.want);
        for (std::size_t i = 0; i < chain.size(); ++i) {
            const auto* p = reinterpret_cast<const BYTE*>(chain[i]);
            EXPECT_TRUE(p >= base && p < base + size);
            EXPECT_EQ(chain[i], &entries[c.inOrder ? i : i % 2]);
        }
    }
    EXPECT_TRUE(adapterChain(nullptr, 0).empty());
    EXPECT_TRUE(adapterChain(entries.data(), sizeof(IP_ADAPTER_INFO) / 2).empty());
}

TEST(AdapterBuffers, InterfaceCountBoundedByWhatFits) {
    const std::size_t head = offsetof(IP_INTERFACE_INFO, Adapter);
    std::vector<std::uint64_t> words((head + 2 * sizeof(IP_ADAPTER_INDEX_MAP)) / 8 + 1, 0);
    auto* table = reinterpret_cast<IP_INTERFACE_INFO*>(words.data());
    struct Case {
        LONG numAdapters;
        std::size_t size;
        std::size_t want;
    };
    const Case cases[] = {
        {2, head + 2 * sizeof(IP_ADAPTER_INDEX_MAP), 2},
        {5, head + 2 * sizeof(IP_ADAPTER_INDEX_MAP), 2},       // claims more than fit
        {2, head + 2 * sizeof(IP_ADAPTER_INDEX_MAP) - 1, 1},   // last entry cut short
        {1, head, 0},
        {0, head + 2 * sizeof(IP_ADAPTER_INDEX_MAP), 0},
        {-3, head + 2 * sizeof(IP_ADAPTER_INDEX_MAP), 0},
        {1, head - 1, 0},                                      // not even the count fits
    };
    for (const Case& c : cases) {
        table->NumAdapters = c.numAdapters;
        EXPECT_EQ(interfaceEntryCount(table, c.size), c.want) << c.numAdapters << " in " << c.size;
    }
    EXPECT_EQ(interfaceEntryCount(nullptr, 100), 0u);
}

}  // namespace
