#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/paths/ShortcutFolders.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "text/KeyPlace.h"
#include "text/RegistryPath.h"

namespace tovask {

// One registry value a network repair changes, as it was read.
struct NetworkValueEdit {
    RegistryRoot root;
    std::wstring key;  // below the root; for HKU the hive's name first
    RegistryView view;
    std::wstring valueName;
    RegistryValue before;
    std::optional<RegistryValue> after;  // none: the value is deleted
};

// What a repair must tell the system about afterwards.
enum class NetworkArea { InternetSettings, Dns };

// A registry key a network repair removes whole, as it was read.
struct NetworkKeyRemoval {
    KeyPlace place;
    RegistryKeyContent content;
};

struct NetworkFinding {
    Finding finding;
    NetworkArea area;
    // What its repair writes; empty for information. The edits of a user's
    // Internet settings go with the first repairable finding among them, so
    // that the string values and the binary ones are repaired together.
    std::vector<NetworkValueEdit> edits;
    // What its repair removes instead, for a repairable finding that is a key.
    std::optional<NetworkKeyRemoval> removal = std::nullopt;
};

// Proxy, automatic configuration script and DNS settings: those of each
// users' hive ("HKCU" or "HKU\<name>"), of the machine (WinHTTP, the machine's
// own settings when ProxySettingsPerUser is 0) and of every network adapter;
// the rules of the name resolution table, and the Winsock providers.
// On a managed machine all of them are information. The listening sockets
// and the users' folders are read at most once, and only when a proxy on
// this machine or a script file asks for them.
std::vector<NetworkFinding> findNetworkSettings(PlatformOps& platform,
                                                std::span<const std::wstring> userHives,
                                                UserFoldersOfThisRun& userFolders,
                                                bool managedMachine,
                                                StartupHijackRule isStartupHijack,
                                                FailureLog& failures);

std::vector<Finding> findingsOf(std::span<const NetworkFinding> found);

}  // namespace tovask
