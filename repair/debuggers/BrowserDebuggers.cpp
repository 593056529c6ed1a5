#include "repair/debuggers/BrowserDebuggers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <ranges>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/commands/BrowserPrograms.h"
#include "repair/commands/ShortcutTarget.h"
#include "repair/debuggers/DebuggerTexts.h"
#include "repair/policykeys/PolicyKeyContent.h"
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

// What a debugger on each browser's program does to the person.
struct InsteadOf {
    std::wstring_view browser;
    std::wstring_view title;
};

constexpr InsteadOf kInsteadOf[] = {
    {texts::kChrome, texts::kInsteadOfChrome},
    {texts::kEdge, texts::kInsteadOfEdge},
    {texts::kFirefox, texts::kInsteadOfFirefox},
    {texts::kInternetExplorer, texts::kInsteadOfInternetExplorer},
    {texts::kBrave, texts::kInsteadOfBrave},
    {texts::kOpera, texts::kInsteadOfOpera},
    {texts::kChromium, texts::kInsteadOfChromium},
    {texts::kVivaldi, texts::kInsteadOfVivaldi},
    {texts::kYandex, texts::kInsteadOfYandex},
};

constexpr std::wstring_view insteadOf(std::wstring_view browser) {
    for (const auto& known : kInsteadOf) {
        if (known.browser == browser) {
            return known.title;
        }
    }
    return {};
}

static_assert(std::ranges::none_of(kBrowserPrograms,
                                   [](const BrowserProgram& program) {
                                       return insteadOf(program.browser).empty();
                                   }),
              "every browser's debugger has its title");

// Windows reads a program's options by its file name alone, whatever its
// folder: a debugger on a generic name (Opera's launcher.exe, Yandex's
// browser.exe) starts in place of the browser and of every other program so
// named, and is the browser's hijack all the same. The file name's first row
// is the browser it names.
bool isFirstOfItsName(const BrowserProgram& program) {
    return &program == &*std::ranges::find_if(kBrowserPrograms, [&](const BrowserProgram& other) {
        return equalsIgnoringCase(other.fileName, program.fileName);
    });
}

std::wstring programOf(const RegistryValue& value) {
    return textOf(value).value_or(L"(tipo " + decimalText(value.type) + L")");
}

// The loader reads UseFilter as a number, taking one from text too; any data
// but zeros counts as on, since a filter wrongly taken for on costs only a look.
bool isFilterOn(const RegistryValue& useFilter) {
    return std::ranges::any_of(useFilter.bytes, [](std::uint8_t byte) { return byte != 0; });
}

// The browser program a filter subkey names by its full path, when it is of
// the key's own file name: the loader applies it to that image alone.
const BrowserProgram* filteredBrowser(const RegistryKeyContent& filter,
                                      std::wstring_view programName) {
    const auto* path = findValue(filter, kFilterPathValue);
    const auto text = path ? textOf(path->value) : std::nullopt;
    const auto* program = text ? browserProgramOf(*text) : nullptr;
    return program && equalsIgnoringCase(program->fileName, programName) ? program : nullptr;
}

RemovableValue debuggerFinding(std::wstring_view key, const BrowserProgram& program,
                               RegistryView view, const RegistryValue& value, bool managedMachine) {
    const auto fileKey = fileKeyName(RegistryRoot::LocalMachine, key, view);
    auto finding = withSubject(
        FindingSubject::Debugger,
        {FindingKind::BrowserDebugger, std::wstring(program.browser),
         fileKey + L"\\" + std::wstring(kDebuggerValue),
         std::wstring(texts::kDebuggerHoldsPrefix) + programOf(value), !managedMachine});
    finding.title = {.what = insteadOf(program.browser), .value = programOf(value)};
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
        const auto* browser = debugger ? filteredBrowser(filter, program.fileName) : nullptr;
        if (browser) {
            found.push_back(debuggerFinding(key + L"\\" + filter.name, *browser, view,
                                            debugger->value, managedMachine));
        }
    }
}

bool namesBrowserProgram(std::wstring_view name) {
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
        for (const auto& program : kBrowserPrograms | std::views::filter(isFirstOfItsName)) {
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
    return namesBrowserProgram(below.substr(0, filterStart)) &&
           (filterStart == std::wstring_view::npos ||
            below.find(L'\\', filterStart + 1) == std::wstring_view::npos) &&
           std::ranges::all_of(section.entries, [](const RegistryFileEntry& entry) {
               return equalsIgnoringCase(entry.name, kDebuggerValue);
           });
}

}  // namespace tovask
