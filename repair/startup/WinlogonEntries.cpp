#include "repair/startup/WinlogonEntries.h"

#include <algorithm>
#include <array>
#include <optional>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/paths/LocalPaths.h"
#include "repair/report/FindingTexts.h"
#include "repair/startup/StartupTexts.h"
#include "text/Blanks.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kWinlogonKey =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// A Winlogon value that lists programs to start at logon, and Windows's own
// program there. The machine's Shell is none of them: Internet Explorer's
// repair writes it back in every run, and its check reports it.
struct LogonValue {
    std::wstring_view name;
    // A user's own, which Windows reads in place of the machine's; else the machine's.
    bool inUsersHives;
    SpecialFolder folder;  // where Windows's program lies
    std::wstring_view program;
};

constexpr std::array kLogonValues = {
    LogonValue{L"Userinit", false, SpecialFolder::System, L"userinit.exe"},
    LogonValue{L"Shell", true, SpecialFolder::Windows, L"explorer.exe"},
};

// A value's own program on this machine.
struct OwnProgram {
    const LogonValue& value;
    std::wstring path;  // in its folder, as the system names the folder

    // What Windows writes into the machine's value: the full path and a comma.
    std::wstring windowsValue() const { return path + L","; }
};

// The items of a comma-separated list that name another program than
// Windows's own: its full path, or its name alone, which Winlogon finds in
// its own folder first; blanks and quotes around each item dropped.
std::vector<std::wstring> programsBeside(std::wstring_view list, const OwnProgram& own) {
    const auto ownPath = comparablePath(own.path);
    const auto ownName = comparablePath(own.value.program);
    std::vector<std::wstring> others;
    for (std::size_t start = 0; start <= list.size();) {
        const auto end = std::min(list.find(L',', start), list.size());
        const auto item = trimmed(list.substr(start, end - start), L" \t\"");
        if (!item.empty() && comparablePath(item) != ownPath && comparablePath(item) != ownName) {
            others.emplace_back(item);
        }
        start = end + 1;
    }
    return others;
}

std::wstring joined(const std::vector<std::wstring>& programs) {
    std::wstring text;
    for (const auto& program : programs) {
        text += (text.empty() ? L"" : L", ") + program;
    }
    return text;
}

class WinlogonScan {
  public:
    WinlogonScan(PlatformOps& platform, bool managedMachine, FailureLog& failures)
        : platform_(platform), managedMachine_(managedMachine), failures_(failures) {}

    void scan(std::wstring_view hive, RegistryView view, const OwnProgram& own) {
        const auto keyPath = std::wstring(hive) + L"\\" + std::wstring(kWinlogonKey) + L"\\";
        const auto name = std::wstring(own.value.name);
        const auto read = platform_.RegReadValue(keyPath + name, view);
        if (!read.ok()) {
            if (!isNotFound(read.error())) {
                failures_.add(keyPath + name, read.error());
            }
            return;
        }
        const auto text = textOf(read.value());
        const auto others = text ? programsBeside(*text, own) : std::vector<std::wstring>{};
        if (others.empty()) {
            return;
        }
        const auto parsed = parseRegistryPath(keyPath).value();
        const auto fileKey = fileKeyName(parsed.root, parsed.key, view);
        auto finding = withSubject(
            FindingSubject::StartupCommand,
            {FindingKind::Startup, std::wstring(texts::kStartupGroup), fileKey + L"\\" + name,
             *text + L"; " + std::wstring(texts::kWinlogonStartsPrefix) + joined(others),
             !managedMachine_});
        finding.title = {.what = texts::kStartupCommandTitle,
                         .name = name,
                         .how = texts::kWinlogonHow,
                         .value = joined(others)};
        finding.evidence.runs = *text;
        // Windows needs the machine's Userinit to log on; a user's Shell is only the user's.
        const bool machine = parsed.root == RegistryRoot::LocalMachine;
        found.push_back({keyPath,
                         view,
                         name,
                         {fileKey, false, {{name, read.value()}}},
                         std::move(finding),
                         machine ? std::optional(stringValue(own.windowsValue())) : std::nullopt});
    }

    std::vector<RemovableValue> found;

  private:
    PlatformOps& platform_;
    bool managedMachine_;
    FailureLog& failures_;
};

}  // namespace

std::vector<RemovableValue> findWinlogonEntries(PlatformOps& platform,
                                                std::span<const std::wstring> userHives,
                                                bool managedMachine, FailureLog& failures) {
    WinlogonScan scan(platform, managedMachine, failures);
    for (const auto& value : kLogonValues) {
        const auto folder = platform.GetSpecialFolder(value.folder);
        if (!folder.ok()) {
            failures.add(
                value.folder == SpecialFolder::System ? L"%SystemRoot%\\System32" : L"%SystemRoot%",
                folder.error());
            continue;
        }
        const OwnProgram own{value, folder.value() + L"\\" + std::wstring(value.program)};
        if (value.inUsersHives) {
            for (const auto& hive : userHives) {
                scan.scan(hive, RegistryView::Default, own);
            }
            continue;
        }
        for (const auto view :
             viewsFor(RegistryRoot::LocalMachine, kWinlogonKey, platform.HasTwoRegistryViews())) {
            scan.scan(L"HKLM", view, own);
        }
    }
    return std::move(scan.found);
}

bool restoresWinlogonValues(RegistryRoot root, std::wstring_view key,
                            std::span<const RegistryFileEntry> entries) {
    return equalsIgnoringCase(key, kWinlogonKey) &&
           std::ranges::all_of(entries, [&](const RegistryFileEntry& entry) {
               return std::ranges::any_of(kLogonValues, [&](const LogonValue& value) {
                   return equalsIgnoringCase(entry.name, value.name) &&
                          (root == RegistryRoot::LocalMachine) != value.inUsersHives;
               });
           });
}

}  // namespace tovask
