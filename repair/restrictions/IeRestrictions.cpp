#include "repair/restrictions/IeRestrictions.h"

#include <algorithm>
#include <array>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/restrictions/RestrictionTexts.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kRestrictionsKey =
    L"Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
// The copy a user's local group policy keeps and applies again.
constexpr std::wstring_view kLocalUserRestrictionsKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy "
    L"Objects\\LocalUser\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";

struct RestrictionRow {
    std::wstring_view valueName;
    std::wstring_view takes;
};

// The restrictions that hide the browser's own menus and commands, so that
// the user cannot undo what a hijacker changed. Others of the key (the splash
// screen, update checks) take nothing of the kind and stay.
constexpr std::array kRestrictionRows = {
    RestrictionRow{L"NoBrowserOptions", texts::kHidesOptions},
    RestrictionRow{L"NoBrowserContextMenu", texts::kHidesContextMenu},
    RestrictionRow{L"NoFileOpen", texts::kHidesFileOpen},
    RestrictionRow{L"NoFileNew", texts::kHidesFileNew},
    RestrictionRow{L"NoBrowserSaveAs", texts::kHidesSaveAs},
    RestrictionRow{L"NoBrowserClose", texts::kHidesClose},
    RestrictionRow{L"NoFavorites", texts::kHidesFavorites},
    RestrictionRow{L"NoOpeninNewWnd", texts::kHidesNewWindow},
    RestrictionRow{L"NoTheaterMode", texts::kHidesFullScreen},
    RestrictionRow{L"NoFindFiles", texts::kHidesFindFiles},
    RestrictionRow{L"NoViewSource", texts::kHidesViewSource},
    RestrictionRow{L"NoSelectDownloadDir", texts::kHidesDownloadFolder},
    RestrictionRow{L"NoNavButtons", texts::kHidesNavigation},
    RestrictionRow{L"NoPrinting", texts::kHidesPrinting},
    RestrictionRow{L"NoHelpMenu", texts::kHidesHelpMenu},
    RestrictionRow{L"NoExtensionManagement", texts::kHidesAddOns},
};

const RestrictionRow* rowNamed(std::wstring_view valueName) {
    const auto row = std::ranges::find_if(kRestrictionRows, [&](const RestrictionRow& candidate) {
        return equalsIgnoringCase(candidate.valueName, valueName);
    });
    return row == kRestrictionRows.end() ? nullptr : &*row;
}

// The browser reads a restriction into a 32-bit number: a value of up to
// four bytes that are not all zero is in effect, whatever its type (`reg add`
// without a type writes the text "1", which counts); a longer one does not
// fit and turns nothing off.
bool inEffect(const RegistryValue& value) {
    return value.bytes.size() <= 4 &&
           std::ranges::any_of(value.bytes, [](std::uint8_t byte) { return byte != 0; });
}

std::wstring platformKeyPath(const IeRestriction& restriction) {
    const std::wstring_view root = restriction.root == RegistryRoot::LocalMachine ? L"HKLM"
                                   : restriction.root == RegistryRoot::Users      ? L"HKU"
                                                                                  : L"HKCU";
    return std::wstring(root) + L"\\" + restriction.key + L"\\";
}

void readKey(PlatformOps& platform, RegistryRoot root, std::wstring key, RegistryView view,
             std::vector<IeRestriction>& found, FailureLog& failures) {
    IeRestriction place{root, std::move(key), view, {}, {}};
    const auto path = platformKeyPath(place);
    const auto tree = platform.RegReadTree(path, view);
    if (!tree.ok()) {
        if (!isNotFound(tree.error())) {
            failures.add(path, tree.error());
        }
        return;
    }
    for (const auto& value : tree.value().values) {
        if (rowNamed(value.name) != nullptr && inEffect(value.value)) {
            found.push_back({root, place.key, view, value.name, value.value});
        }
    }
}

}  // namespace

std::vector<IeRestriction> findIeRestrictions(PlatformOps& platform,
                                              std::span<const std::wstring> userHives,
                                              FailureLog& failures) {
    std::vector<IeRestriction> found;
    for (const auto view :
         viewsFor(RegistryRoot::LocalMachine, kRestrictionsKey, platform.HasTwoRegistryViews())) {
        readKey(platform, RegistryRoot::LocalMachine, std::wstring(kRestrictionsKey), view, found,
                failures);
    }
    for (const std::wstring_view hive : userHives) {
        const auto slash = hive.find(L'\\');
        const auto root =
            slash == std::wstring_view::npos ? RegistryRoot::CurrentUser : RegistryRoot::Users;
        const auto prefix = slash == std::wstring_view::npos
                                ? std::wstring()
                                : std::wstring(hive.substr(slash + 1)) + L"\\";
        for (const auto key : {kRestrictionsKey, kLocalUserRestrictionsKey}) {
            readKey(platform, root, prefix + std::wstring(key), RegistryView::Default, found,
                    failures);
        }
    }
    return found;
}

std::vector<Finding> findingsOf(std::span<const IeRestriction> found, bool repairable) {
    std::vector<Finding> findings;
    for (const auto& restriction : found) {
        const auto takes = std::wstring(rowNamed(restriction.valueName)->takes);
        auto finding =
            withSubject(FindingSubject::Restriction,
                        {FindingKind::IeRestriction, std::wstring(texts::kRestrictionsGroup),
                         fileKeyName(restriction.root, restriction.key, restriction.view) + L"\\" +
                             restriction.valueName,
                         takes, repairable});
        finding.title.value = takes;
        findings.push_back(std::move(finding));
    }
    return findings;
}

std::vector<RegistryFileSection> backupSectionsFor(std::span<const IeRestriction> found) {
    std::vector<RegistryFileSection> sections;
    for (const auto& restriction : found) {
        addToSection(sections, fileKeyName(restriction.root, restriction.key, restriction.view),
                     {restriction.valueName, restriction.value});
    }
    return sections;
}

bool removeRestriction(PlatformOps& platform, const IeRestriction& restriction,
                       FailureLog& failures) {
    const auto keyPath = platformKeyPath(restriction);
    const auto error = platform.RegDeleteValueIn(keyPath, restriction.valueName, restriction.view);
    if (error && !isNotFound(error)) {
        failures.add(keyPath + restriction.valueName, error);
        return false;
    }
    return true;
}

bool withinRestrictionReach(const RegistryFileSection& section, bool hasTwoViews) {
    const auto sectionKey = accountSectionKey(section, hasTwoViews);
    if (!sectionKey) {
        return false;
    }
    const std::wstring_view key = sectionKey->key;
    const bool restrictionsKey = equalsIgnoringCase(key, kRestrictionsKey) ||
                                 (sectionKey->root != RegistryRoot::LocalMachine &&
                                  equalsIgnoringCase(key, kLocalUserRestrictionsKey));
    return restrictionsKey &&
           std::ranges::all_of(section.entries, [](const RegistryFileEntry& entry) {
               return rowNamed(entry.name) != nullptr;
           });
}

}  // namespace tovask
