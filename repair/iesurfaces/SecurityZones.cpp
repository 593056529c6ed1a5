#include "repair/iesurfaces/SecurityZones.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>

#include "repair/addresses/ProxyAddress.h"
#include "repair/iesurfaces/IeSurfaceTexts.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kZoneMapKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap";
constexpr std::array<std::wstring_view, 2> kDomainLists = {L"Domains", L"EscDomains"};
constexpr std::wstring_view kRangeList = L"Ranges";
constexpr std::wstring_view kRangeValue = L":Range";
constexpr std::array<std::wstring_view, 3> kZonedSchemes = {L"http", L"https", L"*"};
constexpr std::uint32_t kIntranetZone = 1;
constexpr std::uint32_t kTrustedZone = 2;
// The Site to Zone Assignment List: each value names a site.
constexpr std::wstring_view kOrganisationSitesKey =
    L"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMapKey";
// Windows trusts its own update sites where the server's enhanced security
// configuration is on.
constexpr std::array<std::wstring_view, 2> kWindowsOwnDomains = {L"microsoft.com",
                                                                 L"windowsupdate.com"};
// A zone map hostile enough to hold more sites is cut, so that the report
// stays readable and the check quick.
constexpr std::size_t kMostZoneEntries = 1000;

constexpr std::wstring_view kInternetZoneKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";
struct ActiveXSetting {
    std::wstring_view valueName;
    std::wstring_view shownAs;
};
constexpr std::array kActiveXSettings = {
    ActiveXSetting{L"1004", texts::kUnsignedDownloadSetting},
    ActiveXSetting{L"1201", texts::kUnsafeScriptingSetting},
};
constexpr std::uint32_t kSettingEnabled = 0;
constexpr std::uint32_t kSettingPrompts = 1;
constexpr std::uint32_t kSettingDisabled = 3;

// A site as its pattern or zone map key names it, compared without its
// scheme, path or leading "*.".
std::wstring comparableSite(std::wstring_view site) {
    if (const auto scheme = site.find(L"://"); scheme != std::wstring_view::npos) {
        site.remove_prefix(scheme + 3);
    }
    site = site.substr(0, site.find(L'/'));
    while (site.starts_with(L"*.")) {
        site.remove_prefix(2);
    }
    return foldedCase(site);
}

bool isWindowsOwnSite(std::wstring_view site) {
    const auto host = comparableSite(site);
    return isLoopbackHost(host) ||
           std::ranges::any_of(kWindowsOwnDomains, [&](std::wstring_view domain) {
               const auto below = L"." + std::wstring(domain);
               return equalsIgnoringCase(host, domain) ||
                      (host.size() > below.size() &&
                       equalsIgnoringCase(
                           std::wstring_view(host).substr(host.size() - below.size()), below));
           });
}

class ZoneMapScan {
  public:
    ZoneMapScan(PlatformOps& platform, FailureLog& failures)
        : platform_(platform), failures_(failures) {
        for (const auto& at : placesOf(platform, {}, kOrganisationSitesKey)) {
            addOrganisationSites(at.place, machineSites_);
        }
    }

    void scan(const HivePlace& at) {
        auto sites = machineSites_;
        if (at.place.root != RegistryRoot::LocalMachine) {
            addOrganisationSites(hivePlace(at.hive, kOrganisationSitesKey), sites);
        }
        const auto zoneMap = readKey(platform_, at.place, failures_);
        if (!zoneMap) {
            return;
        }
        Walk walk{at.place, sites, kMostZoneEntries};
        for (const auto list : kDomainLists) {
            if (const auto* domains = findSubkey(*zoneMap, list)) {
                walkDomains(walk, *domains);
            }
        }
        if (const auto* ranges = findSubkey(*zoneMap, kRangeList)) {
            for (const auto& range : ranges->subkeys) {
                const auto* address = findValue(range, kRangeValue);
                const auto text = address ? textOf(address->value) : std::nullopt;
                if (!walk.take()) {
                    break;
                }
                if (text) {
                    lookAtSite(walk, range, keyBelow(at.place, {kRangeList, range.name}), *text);
                }
            }
        }
        if (walk.cut) {
            failures_.add(platformKeyPath(at.place), texts::kZoneMapCut);
        }
    }

    std::vector<IeSurface> found;

  private:
    struct Walk {
        const KeyPlace& zoneMap;
        const std::set<std::wstring>& organisationSites;
        std::size_t left;
        bool cut = false;

        // Whether one more entry may be looked at.
        bool take() {
            if (left == 0) {
                cut = true;
                return false;
            }
            --left;
            return true;
        }
    };

    static KeyPlace keyBelow(const KeyPlace& place,
                             std::initializer_list<std::wstring_view> names) {
        auto key = place.key;
        for (const auto name : names) {
            key += L"\\" + std::wstring(name);
        }
        return {place.root, std::move(key), place.view};
    }

    // Each domain's key and the keys of hosts below it ("www", "*").
    void walkDomains(Walk& walk, const RegistryKeyContent& domains) {
        for (const auto& domain : domains.subkeys) {
            if (!walk.take()) {
                return;
            }
            const auto domainPlace = keyBelow(walk.zoneMap, {domains.name, domain.name});
            lookAtSite(walk, domain, domainPlace, domain.name);
            for (const auto& host : domain.subkeys) {
                if (!walk.take()) {
                    return;
                }
                lookAtSite(walk, host, keyBelow(domainPlace, {host.name}),
                           host.name + L"." + domain.name);
            }
        }
    }

    void lookAtSite(const Walk& walk, const RegistryKeyContent& key, const KeyPlace& place,
                    const std::wstring& site) {
        if (isWindowsOwnSite(site) || walk.organisationSites.contains(comparableSite(site))) {
            return;
        }
        for (const auto& value : key.values) {
            const auto zone = dwordOf(value.value);
            const bool zoned = std::ranges::any_of(kZonedSchemes, [&](std::wstring_view scheme) {
                return equalsIgnoringCase(value.name, scheme);
            });
            if (!zoned || (zone != kIntranetZone && zone != kTrustedZone)) {
                continue;
            }
            const auto address = value.name == L"*" ? site : value.name + L"://" + site;
            const auto prefix =
                zone == kTrustedZone ? texts::kTrustedSitePrefix : texts::kIntranetSitePrefix;
            IeSurface surface{place, value.name, SurfaceChange::None, {}, value.value};
            surface.finding = surfaceFinding(FindingSubject::ZoneEntry, place, value.name,
                                             std::wstring(prefix) + address, false);
            surface.finding.title.value = address;
            found.push_back(std::move(surface));
        }
    }

    void addOrganisationSites(const KeyPlace& place, std::set<std::wstring>& sites) {
        const auto list = readKey(platform_, place, failures_);
        for (const auto& value : list ? list->values : std::vector<NamedRegistryValue>{}) {
            sites.insert(comparableSite(value.name));
        }
    }

    PlatformOps& platform_;
    FailureLog& failures_;
    std::set<std::wstring> machineSites_;
};

void findActiveXSettings(PlatformOps& platform, std::span<const std::wstring> userHives,
                         bool managedMachine, std::vector<IeSurface>& found, FailureLog& failures) {
    for (const auto& at : placesOf(platform, userHives, kInternetZoneKey)) {
        const auto zone = readKey(platform, at.place, failures);
        for (const auto& setting : kActiveXSettings) {
            const auto* value = zone ? findValue(*zone, setting.valueName) : nullptr;
            const auto state = value ? dwordOf(value->value) : std::nullopt;
            if (state != kSettingEnabled && state != kSettingPrompts) {
                continue;
            }
            IeSurface surface{at.place, value->name,  SurfaceChange::WriteValue,
                              {},       value->value, dwordValue(kSettingDisabled)};
            const auto shown = std::wstring(setting.shownAs) +
                               std::wstring(state == kSettingEnabled ? texts::kSettingEnabled
                                                                     : texts::kSettingPrompts);
            surface.finding = surfaceFinding(FindingSubject::ZoneSetting, at.place, value->name,
                                             shown, !managedMachine);
            found.push_back(std::move(surface));
        }
    }
}

}  // namespace

std::vector<IeSurface> findSecurityZones(PlatformOps& platform,
                                         std::span<const std::wstring> userHives,
                                         bool managedMachine, FailureLog& failures) {
    ZoneMapScan zoneMaps(platform, failures);
    for (const auto& at : placesOf(platform, userHives, kZoneMapKey)) {
        zoneMaps.scan(at);
    }
    auto found = std::move(zoneMaps.found);
    findActiveXSettings(platform, userHives, managedMachine, found, failures);
    return found;
}

bool withinZoneSettingReach(const SectionKey& key, const RegistryFileSection& section) {
    return equalsIgnoringCase(key.key, kInternetZoneKey) &&
           std::ranges::all_of(section.entries, [](const RegistryFileEntry& entry) {
               return std::ranges::any_of(kActiveXSettings, [&](const ActiveXSetting& setting) {
                   return equalsIgnoringCase(entry.name, setting.valueName);
               });
           });
}

}  // namespace tovask
