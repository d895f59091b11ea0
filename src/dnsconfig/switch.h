// DNS switch: sets the DNS servers of one adapter through netsh and judges
// what netsh prints.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "adapters/adapters.h"

// The platform calls the switch makes. switchDns wires in the real adapter
// inventories and console runner; tests give fakes.
struct SwitchPlatform {
    std::function<std::int32_t(AdapterList&)> listAdapters;
    std::function<std::int32_t(AdapterDetailList&)> listAdapterDetails;
    // Runs a command line and returns its captured output (empty when it could
    // not be started).
    std::function<std::string(const std::string&)> runConsoleCommand;
};

// Beginnings of the error texts of a refused server or adapter name; the
// refused value follows.
extern const char* const kBadServerText;   // "DNS服务器地址无效："
extern const char* const kBadAdapterText;  // "网卡名称无效："

// The three netsh command lines. Every one gives the adapter name between
// double quotes.
std::string dhcpCommand(const std::string& adapterName);
std::string setStaticCommand(const std::string& adapterName, const std::string& address);
std::string addCommand(const std::string& adapterName, const std::string& address);

// True when the output begins with "确定。" or is exactly "\r\n".
bool commandSucceeded(const std::string& output);

// The output less its last "\r\n" pair.
std::string errorTextFrom(const std::string& output);

// The adapter to use when the caller names none: the connection name of the
// first record of listAdapters (whatever it holds), else the friendly name of
// the first record of listAdapterDetails, else empty.
std::string chooseAdapterName(const SwitchPlatform& platform);

// Whether a name can stand between double quotes on a command line: no double
// quote, no percent sign, no control byte (below 0x20, or 0x7F), no broken
// double-byte character, and no backslash at its end (it would escape the
// closing quote for netsh). The empty name is usable.
bool isUsableAdapterName(const std::string& name);

// The switch on a given platform. Empty primary and secondary select the
// commands (see switch_core.cpp); a non-empty one must be an address literal.
// adapterName, when empty, receives the chosen name. errorText is written only
// when the result is false.
bool switchDnsWith(const SwitchPlatform& platform, std::string& adapterName,
                   const std::string& primary, const std::string& secondary,
                   std::string& errorText);

// Windows only: switchDnsWith on the machine's adapters and console.
bool switchDns(std::string& adapterName, const std::string& primary, const std::string& secondary,
               std::string& errorText);
