#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "repair/texts/SiteUrls.h"
#include "tests/fake/FakeRegistry.h"

// The registry repair plan written out again, row by row, as the tests expect
// it; kept apart from the product's own table so that a slip in either shows.
namespace tovask::test {

// The blank page differs from view to view, so its row is written view by view.
enum class RowKind {
    DeleteKey,
    DeleteValue,
    WriteText,
    WriteNumber,
    WriteStartPage,
    WriteLocalPage
};

struct PlanRow {
    RowKind kind;
    std::wstring_view path;
    std::wstring_view text{};
    std::uint32_t number = 0;
};

// One row per step, paths character for character.
inline constexpr auto kExpectedPlan = [] {
    using enum RowKind;
    // clang-format off
    return std::array<PlanRow, 39>{{
        {DeleteKey,      L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\"},
        {WriteText,      L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Shell", L"Explorer.exe"},
        {WriteNumber,    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy Objects\\LocalUser\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoSaveSettings", {}, 0},
        {DeleteKey,      L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy Objects\\LocalUser\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\"},
        {WriteNumber,    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoSaveSettings", {}, 0},
        {WriteText,      L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\Search Page", VendorSearchUrl},
        {DeleteKey,      L"HKCU\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\"},
        {WriteStartPage, L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page"},
        {DeleteValue,    L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\window Title"},
        {DeleteKey,      L"HKCU\\Software\\Microsoft\\Internet Explorer\\SearchUrl\\"},
        {DeleteKey,      L"HKCU\\Software\\Microsoft\\Internet Explorer\\URLSearchHooks\\"},
        {WriteText,      L"HKCU\\Software\\Microsoft\\Internet Explorer\\SearchUrl\\", L""},
        {WriteText,      L"HKCU\\Software\\Microsoft\\Internet Explorer\\URLSearchHooks\\{CFBFAE00-17A6-11D0-99CB-00C04FD64497}", L""},
        {WriteNumber,    L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\@ivt", {}, 1},
        {WriteNumber,    L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\http", {}, 3},
        {WriteNumber,    L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\https", {}, 3},
        {WriteNumber,    L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\ftp", {}, 3},
        {WriteNumber,    L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\file", {}, 3},
        {WriteNumber,    L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\shell", {}, 0},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Internet Explorer\\AboutURLs\\blank", L"res://mshtml.dll/blank.htm"},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Default_Page_URL", VendorDefaultPageUrl},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Default_Search_URL", VendorSearchUrl},
        {WriteLocalPage, L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Local Page", L"C:\\WINDOWS\\System32\\blank.htm"},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page", ForumSiteUrl},
        {DeleteValue,    L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\window Title"},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Internet Explorer\\Search\\CustomizeSearch", VendorCustomizeSearchUrl},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Internet Explorer\\Search\\SearchAssistant ", VendorSearchAssistantUrl},
        {WriteNumber,    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\@ivt", {}, 1},
        {WriteNumber,    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\http", {}, 3},
        {WriteNumber,    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\https", {}, 3},
        {WriteNumber,    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\ftp", {}, 3},
        {WriteNumber,    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\file", {}, 3},
        {WriteNumber,    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\ProtocolDefaults\\shell", {}, 0},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\DefaultPrefix\\", L"http://"},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes\\ftp", L"ftp://"},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes\\gopher", L"gopher://"},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes\\home", L"http://"},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes\\mosaic", L"http://"},
        {WriteText,      L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes\\www", L"http://"},
    }};
    // clang-format on
}();

// The one value the user chooses.
inline constexpr std::wstring_view kUserStartPage =
    L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page";

constexpr bool isWrite(const PlanRow& row) {
    return row.kind != RowKind::DeleteKey && row.kind != RowKind::DeleteValue;
}

// The platform call that applies a row.
constexpr const char* operationOf(const PlanRow& row) {
    if (!isWrite(row)) {
        return row.kind == RowKind::DeleteKey ? "RegRemoveKeyAsRead" : "RegRemoveValueAsRead";
    }
    return row.kind == RowKind::WriteLocalPage ? "RegWriteRaw" : "RegWrite";
}

constexpr bool isMachineWide(const PlanRow& row) {
    return row.path.starts_with(L"HKLM\\");
}

// The value a write row leaves: named as in its path, blanks and case kept.
inline fake::StoredValue expectedValue(const PlanRow& row, std::wstring_view startPage) {
    fake::StoredValue stored{std::wstring(row.path.substr(row.path.rfind(L'\\') + 1)),
                             std::wstring{}};
    if (row.kind == RowKind::WriteNumber) {
        stored.data = row.number;
    } else {
        stored.data = std::wstring(row.kind == RowKind::WriteStartPage ? startPage : row.text);
    }
    return stored;
}

// What unwanted software leaves in a registry: locking policies, hijacked
// pages, extra search providers and hooks, and values the plan must not touch.
struct SeededValue {
    std::wstring_view path;
    std::wstring_view text;
};

inline constexpr SeededValue kHijackedRegistry[] = {
    // clang-format off
    {L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\HomePage", L"1"},
    {L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\Deep\\Nested", L"1"},
    {L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Shell", L"malo.exe"},
    {L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy Objects\\LocalUser\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\HomePage", L"1"},
    {L"HKCU\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\Advanced", L"1"},
    {L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page", L"http://secuestro.example"},
    {L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\window Title", L"Secuestrado"},
    {L"HKCU\\Software\\Microsoft\\Internet Explorer\\SearchUrl\\provider", L"http://malo.example"},
    {L"HKCU\\Software\\Microsoft\\Internet Explorer\\SearchUrl\\g\\prefix", L"http://malo.example"},
    {L"HKCU\\Software\\Microsoft\\Internet Explorer\\URLSearchHooks\\{0BAD0BAD-0000-0000-0000-000000000000}", L""},
    {L"HKCU\\Software\\Microsoft\\Internet Explorer\\URLSearchHooks\\Extra\\hook", L"x"},
    {L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page", L"http://secuestro.example"},
    {L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\window Title", L"Secuestrado"},
    {L"HKLM\\Software\\Microsoft\\Internet Explorer\\Search\\SearchAssistant", L"sin blanco"},
    {L"HKCU\\Software\\Otro Programa\\Ajustes\\guardado", L"intacto"},
    // clang-format on
};

inline void seedHijackedRegistry(fake::FakeRegistry& registry) {
    for (const auto& seed : kHijackedRegistry) {
        registry.write(seed.path, seed.text, RegistryType::String);
    }
}

// The seeded values that a row acts on: the one it overwrites, or all those in
// the key or under the value it deletes.
inline bool rowReaches(const PlanRow& row, const SeededValue& seed) {
    const bool deletesKey = row.kind == RowKind::DeleteKey;
    return deletesKey ? seed.path.starts_with(row.path) : seed.path == row.path;
}

}  // namespace tovask::test
