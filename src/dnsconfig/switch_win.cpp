#include "adapters/adapters.h"
#include "dnsconfig/runner.h"
#include "dnsconfig/switch.h"

bool switchDns(std::string& adapterName, const std::string& primary, const std::string& secondary,
               std::string& errorText) {
    SwitchPlatform platform;
    platform.listAdapters = [](AdapterList& list) { return listAdapters(list); };
    platform.listAdapterDetails = [](AdapterDetailList& list) { return listAdapterDetails(list); };
    platform.runConsoleCommand = [](const std::string& command) {
        return runConsoleCommand(command);
    };
    return switchDnsWith(platform, adapterName, primary, secondary, errorText);
}
