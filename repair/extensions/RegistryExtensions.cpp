#include "repair/extensions/RegistryExtensions.h"

#include <algorithm>
#include <array>
#include <optional>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/extensions/ExtensionTexts.h"
#include "repair/paths/WritableFolders.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/texts/BrowserNames.h"
#include "text/Blanks.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

struct StoreAddress {
    std::wstring_view host;
    std::wstring_view path;
};

constexpr StoreAddress kChromeStore{L"clients2.google.com", L"/service/update2/crx"};
constexpr std::array kChromeStores = {kChromeStore};
// Edge also installs from Chrome's store.
constexpr std::array kEdgeStores = {
    StoreAddress{L"edge.microsoft.com", L"/extensionwebstorebase/v1/crx"}, kChromeStore};

// Where a Chromium browser looks for extensions to install, and its stores.
struct ExtensionsKey {
    std::wstring_view keyPath;
    std::wstring_view group;
    std::span<const StoreAddress> stores;
};

// Chromium reads Chrome's key whatever name its build carries, and so do
// the browsers built on it that keep that rule (Vivaldi): Chrome's key
// installs into them all.
constexpr std::array kExtensionsKeys = {
    ExtensionsKey{L"Software\\Google\\Chrome\\Extensions", texts::kChrome, kChromeStores},
    ExtensionsKey{L"Software\\Microsoft\\Edge\\Extensions", texts::kEdge, kEdgeStores},
    ExtensionsKey{L"Software\\BraveSoftware\\Brave-Browser\\Extensions", texts::kBrave,
                  kChromeStores},
};

constexpr std::wstring_view kUpdateUrl = L"update_url";
constexpr std::wstring_view kPackagePath = L"path";

struct HostAndPath {
    std::wstring_view host;
    std::wstring path;
};

// The host and path of an http: or https: address as the browser reads
// them: blanks around it dropped, user and port left out, a backslash taken
// for a slash, the query and fragment left out.
std::optional<HostAndPath> hostAndPathOf(std::wstring_view url) {
    url = trimmed(url, kWhitespace);
    if (url.empty()) {
        return std::nullopt;
    }
    const auto schemeEnd = url.find(L"://");
    if (schemeEnd == std::wstring_view::npos ||
        !(equalsIgnoringCase(url.substr(0, schemeEnd), L"http") ||
          equalsIgnoringCase(url.substr(0, schemeEnd), L"https"))) {
        return std::nullopt;
    }
    const auto rest = url.substr(schemeEnd + 3);
    const auto authorityEnd = std::min(rest.find_first_of(L"/\\?#"), rest.size());
    auto host = rest.substr(0, authorityEnd);
    if (const auto at = host.rfind(L'@'); at != std::wstring_view::npos) {
        host = host.substr(at + 1);
    }
    if (const auto colon = host.rfind(L':');
        colon != std::wstring_view::npos && host.find(L']', colon) == std::wstring_view::npos) {
        host = host.substr(0, colon);
    }
    const auto pathPart = rest.substr(authorityEnd);
    std::wstring path(pathPart.substr(0, pathPart.find_first_of(L"?#")));
    std::ranges::replace(path, L'\\', L'/');
    return HostAndPath{host, path.empty() ? L"/" : path};
}

const ExtensionsKey* extensionsKeyNamed(std::wstring_view keyPath) {
    const auto found = std::ranges::find_if(kExtensionsKeys, [&](const ExtensionsKey& key) {
        return equalsIgnoringCase(key.keyPath, keyPath);
    });
    return found == kExtensionsKeys.end() ? nullptr : &*found;
}

// The browser takes only an id of 32 letters from a to p, in either case.
bool isExtensionId(std::wstring_view name) {
    return name.size() == 32 && std::ranges::all_of(name, [](wchar_t c) {
               return (c >= L'a' && c <= L'p') || (c >= L'A' && c <= L'P');
           });
}

class ExtensionScan {
  public:
    ExtensionScan(PlatformOps& platform, bool managedMachine, FailureLog& failures)
        : platform_(platform),
          managedMachine_(managedMachine),
          failures_(failures),
          writableFolders_(platform, failures) {}

    void scan(const ExtensionsKey& browser, RegistryRoot root, std::wstring key,
              RegistryView view) {
        const auto keyPath = platformKeyPath({root, key, view});
        const auto tree = platform_.RegReadTree(keyPath, view);
        if (!tree.ok()) {
            if (!isNotFound(tree.error())) {
                failures_.add(keyPath, tree.error());
            }
            return;
        }
        for (const auto& entry : tree.value().subkeys) {
            if (!isExtensionId(entry.name)) {
                continue;
            }
            auto extensionKey = key + L"\\" + entry.name;
            if (auto judged = judge(browser, entry)) {
                auto fileKey = fileKeyName(root, extensionKey, view);
                auto finding =
                    withSubject(FindingSubject::ExtensionKey,
                                {FindingKind::RegistryExtension, std::wstring(browser.group),
                                 std::move(fileKey), std::move(judged->first),
                                 judged->second && !managedMachine_});
                finding.title.value = entry.name;
                finding.evidence.extensionId = entry.name;
                found.push_back({{root, std::move(extensionKey), view}, entry, std::move(finding)});
            }
        }
    }

    std::vector<RegistryExtension> found;

  private:
    // What the report says of the entry and whether it is repairable; none
    // for a store entry and for one the browser ignores.
    std::optional<std::pair<std::wstring, bool>> judge(const ExtensionsKey& browser,
                                                       const RegistryKeyContent& entry) {
        const auto* updateUrl = findValue(entry, kUpdateUrl);
        if (const auto url = updateUrl ? textOf(updateUrl->value) : std::nullopt) {
            // An empty address updates from nowhere and installs nothing.
            if (isStoreUpdateUrl(browser.keyPath, *url) ||
                url->find_first_not_of(L" \t\r\n") == std::wstring::npos) {
                return std::nullopt;
            }
            return std::pair(std::wstring(texts::kOffStorePrefix) + *url, true);
        }
        const auto* packagePath = findValue(entry, kPackagePath);
        const auto path = packagePath ? textOf(packagePath->value) : std::nullopt;
        if (!path || path->empty()) {
            return std::nullopt;
        }
        auto expanded = *path;
        if (packagePath->value.type == regtype::kExpandString) {
            const auto result = platform_.ExpandEnvironment(*path);
            expanded = result.ok() ? result.value() : *path;
        }
        if (writableFolders_.holds(expanded)) {
            return std::pair(std::wstring(texts::kWritablePackagePrefix) + *path, true);
        }
        return std::pair(std::wstring(texts::kPackagePrefix) + *path, false);
    }

    PlatformOps& platform_;
    bool managedMachine_;
    FailureLog& failures_;
    WritableFolders writableFolders_;
};

}  // namespace

bool isStoreUpdateUrl(std::wstring_view extensionsKey, std::wstring_view updateUrl) {
    const auto* browser = extensionsKeyNamed(extensionsKey);
    const auto address = hostAndPathOf(updateUrl);
    return browser != nullptr && address &&
           std::ranges::any_of(browser->stores, [&](const StoreAddress& store) {
               return equalsIgnoringCase(address->host, store.host) && address->path == store.path;
           });
}

std::vector<RegistryExtension> findRegistryExtensions(PlatformOps& platform,
                                                      std::span<const std::wstring> userHives,
                                                      bool managedMachine, FailureLog& failures) {
    ExtensionScan scan(platform, managedMachine, failures);
    for (const auto& browser : kExtensionsKeys) {
        for (const auto view : viewsFor(RegistryRoot::LocalMachine, browser.keyPath,
                                        platform.HasTwoRegistryViews())) {
            scan.scan(browser, RegistryRoot::LocalMachine, std::wstring(browser.keyPath), view);
        }
        for (const std::wstring_view hive : userHives) {
            const auto place = hivePlace(hive, browser.keyPath);
            scan.scan(browser, place.root, place.key, place.view);
        }
    }
    return std::move(scan.found);
}

bool withinExtensionReach(const RegistryFileSection& section, bool hasTwoViews) {
    const auto sectionKey = accountSectionKey(section, hasTwoViews);
    if (!sectionKey) {
        return false;
    }
    const std::wstring_view key = sectionKey->key;
    return std::ranges::any_of(kExtensionsKeys, [&](const ExtensionsKey& browser) {
        const auto prefix = std::wstring(browser.keyPath) + L"\\";
        if (key.size() <= prefix.size() ||
            !equalsIgnoringCase(key.substr(0, prefix.size()), prefix)) {
            return false;
        }
        const auto below = key.substr(prefix.size());
        return isExtensionId(below.substr(0, below.find(L'\\')));
    });
}

}  // namespace tovask
