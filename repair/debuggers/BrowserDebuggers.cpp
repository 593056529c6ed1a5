#include "repair/debuggers/BrowserDebuggers.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/debuggers/DebuggerTexts.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/texts/BrowserNames.h"
#include "text/DecimalText.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kOptionsKey =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";
constexpr std::wstring_view kDebuggerValue = L"Debugger";
// With UseFilter on a program's key, the loader takes the options of the
// subkey whose FilterFullPath is the started image's full path, compared
// without regard to case, in place of the key's own.
constexpr std::wstring_view kUseFilterValue = L"UseFilter";
constexpr std::wstring_view kFilterPathValue = L"FilterFullPath";

struct BrowserProgram {
    std::wstring_view fileName;
    std::wstring_view browser;  // what the report groups its debuggers under
    std::wstring_view what;     // what a debugger on it does to the person
};

// Opera's own folder starts it as launcher.exe.
constexpr std::array kBrowserPrograms = {
    BrowserProgram{L"chrome.exe", texts::kChrome, texts::kInsteadOfChrome},
    BrowserProgram{L"msedge.exe", texts::kEdge, texts::kInsteadOfEdge},
    BrowserProgram{L"firefox.exe", texts::kFirefox, texts::kInsteadOfFirefox},
    BrowserProgram{L"iexplore.exe", texts::kInternetExplorer, texts::kInsteadOfInternetExplorer},
    BrowserProgram{L"brave.exe", texts::kBrave, texts::kInsteadOfBrave},
    BrowserProgram{L"opera.exe", texts::kOpera, texts::kInsteadOfOpera},
    BrowserProgram{L"launcher.exe", texts::kOpera, texts::kInsteadOfOpera},
    BrowserProgram{L"chromium.exe", texts::kChromium, texts::kInsteadOfChromium},
};

std::wstring programOf(const RegistryValue& value) {
    return textOf(value).value_or(L"(tipo " + decimalText(value.type) + L")");
}

// The loader reads UseFilter as a number, taking one from text too; any data
// but zeros counts as on, since a filter wrongly taken for on costs only a look.
bool isFilterOn(const RegistryValue& useFilter) {
    return std::ranges::any_of(useFilter.bytes, [](std::uint8_t byte) { return byte != 0; });
}

// A filter can only apply to an image of the key's own file name, whatever
// folder its full path names.
bool filterNamesProgram(const RegistryKeyContent& filter, std::wstring_view program) {
    const auto* path = findValue(filter, kFilterPathValue);
    const auto text = path ? textOf(path->value) : std::nullopt;
    if (!text) {
        return false;
    }
    const auto nameStart = text->find_last_of(L"\\/");
    return equalsIgnoringCase(
        std::wstring_view(*text).substr(nameStart == std::wstring::npos ? 0 : nameStart + 1),
        program);
}

RemovableValue debuggerFinding(std::wstring_view key, const BrowserProgram& program,
                               RegistryView view, const RegistryValue& value, bool managedMachine) {
    const auto fileKey = fileKeyName(RegistryRoot::LocalMachine, key, view);
    auto finding = withSubject(
        FindingSubject::Debugger,
        {FindingKind::BrowserDebugger, std::wstring(program.browser),
         fileKey + L"\\" + std::wstring(kDebuggerValue),
         std::wstring(texts::kDebuggerHoldsPrefix) + programOf(value), !managedMachine});
    finding.title = {.what = program.what, .value = programOf(value)};
    return {L"HKLM\\" + std::wstring(key) + L"\\",
            view,
            std::wstring(kDebuggerValue),
            {fileKey, false, {{std::wstring(kDebuggerValue), value}}},
            std::move(finding)};
}

// The Debugger of every filter subkey that would apply to the program, when
// its key has UseFilter on.
void findFilterDebuggers(PlatformOps& platform, const std::wstring& key,
                         const BrowserProgram& program, RegistryView view, bool managedMachine,
                         std::vector<RemovableValue>& found, FailureLog& failures) {
    const auto keyPath = L"HKLM\\" + key + L"\\";
    const auto useFilter = platform.RegReadValue(keyPath + std::wstring(kUseFilterValue), view);
    if (!useFilter.ok() || !isFilterOn(useFilter.value())) {
        if (!useFilter.ok() && !isNotFound(useFilter.error())) {
            failures.add(keyPath + std::wstring(kUseFilterValue), useFilter.error());
        }
        return;
    }
    const auto tree = platform.RegReadTree(keyPath, view);
    if (!tree.ok()) {
        failures.add(keyPath, tree.error());
        return;
    }
    for (const auto& filter : tree.value().subkeys) {
        const auto* debugger = findValue(filter, kDebuggerValue);
        if (debugger && filterNamesProgram(filter, program.fileName)) {
            found.push_back(debuggerFinding(key + L"\\" + filter.name, program, view,
                                            debugger->value, managedMachine));
        }
    }
}

bool isBrowserProgramName(std::wstring_view name) {
    return std::ranges::any_of(kBrowserPrograms, [&](const BrowserProgram& program) {
        return equalsIgnoringCase(program.fileName, name);
    });
}

}  // namespace

std::vector<RemovableValue> findBrowserDebuggers(PlatformOps& platform, bool managedMachine,
                                                 FailureLog& failures) {
    std::vector<RemovableValue> found;
    for (const auto view :
         viewsFor(RegistryRoot::LocalMachine, kOptionsKey, platform.HasTwoRegistryViews())) {
        for (const auto& program : kBrowserPrograms) {
            const auto key = std::wstring(kOptionsKey) + L"\\" + std::wstring(program.fileName);
            const auto keyPath = L"HKLM\\" + key + L"\\";
            const auto value = platform.RegReadValue(keyPath + std::wstring(kDebuggerValue), view);
            if (value.ok()) {
                found.push_back(debuggerFinding(key, program, view, value.value(), managedMachine));
            } else if (!isNotFound(value.error())) {
                failures.add(keyPath + std::wstring(kDebuggerValue), value.error());
                continue;  // the key cannot be read: its filters neither
            }
            findFilterDebuggers(platform, key, program, view, managedMachine, found, failures);
        }
    }
    return found;
}

bool withinDebuggerReach(const RegistryFileSection& section, bool hasTwoViews) {
    const auto sectionKey = valueSectionKey(section, hasTwoViews);
    if (!sectionKey || sectionKey->root != RegistryRoot::LocalMachine) {
        return false;
    }
    const std::wstring_view key = sectionKey->key;
    if (key.size() <= kOptionsKey.size() || key[kOptionsKey.size()] != L'\\' ||
        !equalsIgnoringCase(key.substr(0, kOptionsKey.size()), kOptionsKey)) {
        return false;
    }
    // The program's key, or one filter subkey of it.
    const auto below = key.substr(kOptionsKey.size() + 1);
    const auto filterStart = below.find(L'\\');
    return isBrowserProgramName(below.substr(0, filterStart)) &&
           (filterStart == std::wstring_view::npos ||
            below.find(L'\\', filterStart + 1) == std::wstring_view::npos) &&
           std::ranges::all_of(section.entries, [](const RegistryFileEntry& entry) {
               return equalsIgnoringCase(entry.name, kDebuggerValue);
           });
}

}  // namespace tovask
