#include "repair/debuggers/BrowserDebuggers.h"

#include <algorithm>
#include <array>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/debuggers/DebuggerTexts.h"
#include "text/DecimalText.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kOptionsKey =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";
constexpr std::wstring_view kDebuggerValue = L"Debugger";

// Opera's own folder starts it as launcher.exe.
constexpr std::array<std::wstring_view, 8> kBrowserPrograms = {
    L"chrome.exe", L"msedge.exe", L"firefox.exe",  L"iexplore.exe",
    L"brave.exe",  L"opera.exe",  L"launcher.exe", L"chromium.exe",
};

std::wstring describe(const RegistryValue& value) {
    return std::wstring(texts::kDebuggerHoldsPrefix) +
           textOf(value).value_or(L"(tipo " + decimalText(value.type) + L")");
}

bool isBrowserProgramName(std::wstring_view name) {
    return std::ranges::any_of(kBrowserPrograms, [&](std::wstring_view program) {
        return equalsIgnoringCase(program, name);
    });
}

}  // namespace

std::vector<RemovableValue> findBrowserDebuggers(PlatformOps& platform, bool managedMachine,
                                                 FailureLog& failures) {
    std::vector<RemovableValue> found;
    for (const auto view :
         viewsFor(RegistryRoot::LocalMachine, kOptionsKey, platform.HasTwoRegistryViews())) {
        for (const auto program : kBrowserPrograms) {
            const auto key = std::wstring(kOptionsKey) + L"\\" + std::wstring(program);
            const auto keyPath = L"HKLM\\" + key + L"\\";
            const auto value = platform.RegReadValue(keyPath + std::wstring(kDebuggerValue), view);
            if (!value.ok()) {
                if (!isNotFound(value.error())) {
                    failures.add(keyPath + std::wstring(kDebuggerValue), value.error());
                }
                continue;
            }
            const auto fileKey = fileKeyName(RegistryRoot::LocalMachine, key, view);
            found.push_back({keyPath,
                             view,
                             std::wstring(kDebuggerValue),
                             {fileKey, false, {{std::wstring(kDebuggerValue), value.value()}}},
                             {FindingKind::BrowserDebugger, std::wstring(texts::kDebuggerGroup),
                              fileKey + L"\\" + std::wstring(kDebuggerValue),
                              describe(value.value()), !managedMachine}});
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
    const auto programStart = key.rfind(L'\\');
    return programStart == kOptionsKey.size() &&
           equalsIgnoringCase(key.substr(0, programStart), kOptionsKey) &&
           isBrowserProgramName(key.substr(programStart + 1)) &&
           std::ranges::all_of(section.entries, [](const RegistryFileEntry& entry) {
               return equalsIgnoringCase(entry.name, kDebuggerValue);
           });
}

}  // namespace tovask
