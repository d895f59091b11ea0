#include <cstring>

#include "dnsconfig/address.h"
#include "dnsconfig/switch.h"

namespace {

// netsh's confirmation, the 6 bytes C8 B7 B6 A8 A1 A3 in code page 936.
const char kSuccessMarker[] = "确定。";
static_assert(sizeof(kSuccessMarker) == 7, "the marker must be compiled to code page 936");

std::string run(const SwitchPlatform& platform, const std::string& command) {
    return platform.runConsoleCommand ? platform.runConsoleCommand(command) : std::string();
}

// Runs one command; on failure sets errorText from its output.
bool runJudged(const SwitchPlatform& platform, const std::string& command, std::string& errorText) {
    const std::string output = run(platform, command);
    if (commandSucceeded(output)) return true;
    errorText = errorTextFrom(output);
    return false;
}

bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

}  // namespace

const char* const kBadServerText = "DNS服务器地址无效：";
const char* const kBadAdapterText = "网卡名称无效：";

std::string dhcpCommand(const std::string& adapterName) {
    return "cmd /c netsh interface ip set dns name=\"" + adapterName + "\" source=dhcp";
}

std::string setStaticCommand(const std::string& adapterName, const std::string& address) {
    return "cmd /c netsh interface ip set dns \"" + adapterName + "\" static " + address;
}

std::string addCommand(const std::string& adapterName, const std::string& address) {
    return "cmd /c netsh interface ip add dns name=\"" + adapterName + "\" addr=" + address +
           " index=2";
}

bool commandSucceeded(const std::string& output) {
    const std::size_t n = sizeof(kSuccessMarker) - 1;
    if (output.size() >= n && output.compare(0, n, kSuccessMarker) == 0) return true;
    return output == "\r\n";
}

std::string errorTextFrom(const std::string& output) {
    std::string text = output;
    const std::size_t at = text.rfind("\r\n");
    if (at != std::string::npos) text.erase(at, 2);
    return text;
}

std::string chooseAdapterName(const SwitchPlatform& platform) {
    AdapterList adapters;
    if (platform.listAdapters && platform.listAdapters(adapters) >= 1 && !adapters.empty())
        return adapters.front().connectionName;
    AdapterDetailList details;
    if (platform.listAdapterDetails && platform.listAdapterDetails(details) >= 1 &&
        !details.empty())
        return details.front().friendlyName;
    return std::string();
}

bool isUsableAdapterName(const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto b = static_cast<unsigned char>(name[i]);
        if (isLeadByte(b)) {
            if (i + 1 >= name.size() || !isTrailByte(static_cast<unsigned char>(name[i + 1])))
                return false;
            ++i;
            continue;
        }
        if (b < 0x20 || b == 0x7F || b == 0xFF || b == '"' || b == '%') return false;
        if (b == '\\' && i + 1 == name.size()) return false;
    }
    return true;
}

// Commands by the two servers ("empty" is a text of length 0):
//   primary  secondary  commands, in order
//   empty    empty      DHCP
//   given    given      set-static with primary, then (if it succeeded) add with secondary
//   given    empty      set-static with primary
//   empty    given      add with secondary (always at position 2)
// A primary set by the first command of a pair stays set when the add fails.
bool switchDnsWith(const SwitchPlatform& platform, std::string& adapterName,
                   const std::string& primary, const std::string& secondary,
                   std::string& errorText) {
    for (const std::string* server : {&primary, &secondary}) {
        if (!server->empty() && !isAddressLiteral(*server)) {
            errorText = kBadServerText + *server;
            return false;
        }
    }
    if (adapterName.empty()) adapterName = chooseAdapterName(platform);
    if (!isUsableAdapterName(adapterName)) {
        errorText = kBadAdapterText + adapterName;
        return false;
    }

    if (primary.empty() && secondary.empty())
        return runJudged(platform, dhcpCommand(adapterName), errorText);
    if (!primary.empty() && !runJudged(platform, setStaticCommand(adapterName, primary), errorText))
        return false;
    if (!secondary.empty())
        return runJudged(platform, addCommand(adapterName, secondary), errorText);
    return true;
}
