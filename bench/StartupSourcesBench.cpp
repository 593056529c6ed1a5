// Times "/check /all" on the Wine prefix seeded with what puts a hijack back:
// three local policy files of 500 entries each, 300 scheduled task files, 100
// start-up values and 40 debugger keys, and Internet Explorer's and the name
// resolution's places: 200 search scopes, 100 helper objects, 500 zone
// entries and 200 name resolution rules; against the same check with those
// places hidden, as a machine without them (or a program not reading them)
// sees it. Interleaved, so that both see the same machine.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/HidingPlatform.h"
#include "bench/Statistics.h"
#include "bench/TimingPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "repair/findings/FindingKinds.h"
#include "repair/grouppolicy/PolicyFileFormat.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "repair/users/UserPaths.h"
#include "text/RegistryEncoding.h"
#include "text/Utf16.h"

namespace {

constexpr int kRounds = 10;
constexpr int kPolicyEntries = 500;
constexpr int kTasks = 300;
constexpr int kStartupValues = 100;
constexpr int kDebuggers = 40;
constexpr int kSearchScopes = 200;
constexpr int kHelperObjects = 100;
constexpr int kZoneEntries = 500;
constexpr int kNameRules = 200;
constexpr std::wstring_view kRunKey = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
constexpr std::wstring_view kDebuggerKeys =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\";
constexpr std::wstring_view kUserSid = L"S-1-5-21-7-7-7-1001";
const std::wstring kChrome = L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
constexpr std::wstring_view kSearchScopeKeys =
    L"HKCU\\Software\\Microsoft\\Internet Explorer\\SearchScopes\\";
constexpr std::wstring_view kHelperObjectKeys =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\";
constexpr std::wstring_view kClassKeys = L"HKLM\\SOFTWARE\\Classes\\CLSID\\";
constexpr std::wstring_view kZoneDomains =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
    L"Settings\\ZoneMap\\Domains\\";
constexpr std::wstring_view kNameRuleKeys =
    L"HKLM\\SOFTWARE\\Policies\\Microsoft\\Windows NT\\DNSClient\\DnsPolicyConfig\\";

// "{7A5B0000-0000-4000-8000-0000000000NN}", one a number.
std::wstring benchGuid(int n) {
    wchar_t text[40];
    std::swprintf(text, 40, L"{7A5B0000-0000-4000-8000-%012X}", n);
    return text;
}

std::string policyFile(int file) {
    std::string bytes("PReg\x01\0\0\0", 8);
    for (int n = 0; n < kPolicyEntries; ++n) {
        // One Chrome lock a file; the others are policies of other programs.
        const bool lock = n == 0;
        const std::wstring value = lock ? L"https://buscar.example/" + std::to_wstring(file)
                                        : L"ajuste " + std::to_wstring(n);
        bytes += tovask::policyEntryBytes(
            lock ? L"Software\\Policies\\Google\\Chrome"
                 : L"Software\\Policies\\Proveedor\\Programa" + std::to_wstring(n % 25),
            lock ? L"HomepageLocation" : L"Ajuste" + std::to_wstring(n),
            tovask::stringValue(value));
    }
    return bytes;
}

std::string taskFile(int n) {
    const bool hijack = n % 30 == 0;
    const std::wstring xml =
        L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Task version=\"1.2\" "
        L"xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\"><Settings><Enabled>"
        L"true</Enabled></Settings><Actions Context=\"Author\"><Exec><Command>" +
        (hijack ? kChrome : L"C:\\Program Files\\Proveedor\\tarea" + std::to_wstring(n) + L".exe") +
        L"</Command><Arguments>" +
        (hijack ? L"--load-extension=C:\\ProgramData\\ext" + std::to_wstring(n) : L"/auto") +
        L"</Arguments></Exec></Actions></Task>";
    return "\xFF\xFE" + tovask::toUtf16LeBytes(xml);
}

struct Seeded {
    std::vector<std::wstring> files;
    std::wstring taskFolder;
};

bool writeNew(tovask::PlatformOps& platform, const std::wstring& path, const std::string& bytes,
              Seeded& seeded) {
    if (std::filesystem::exists(path)) {
        std::printf("startup sources: %ls is there already; it is left alone\n", path.c_str());
        return false;
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    seeded.files.push_back(path);
    return !platform.ReplaceFileContent(path, bytes, tovask::FileProtection::AsReplaced);
}

// One scope in ten an advertiser's; the helper objects' programs lie in
// Program Files, none of them there; the zone entries trust sites.
bool seedInternetExplorer(tovask::PlatformOps& platform) {
    const auto write = [&](std::wstring path, const tovask::RegistryValue& value) {
        const auto split = path.rfind(L'\\');
        return !platform.RegWriteRaw(path.substr(0, split + 1), path.substr(split + 1), value,
                                     tovask::RegistryView::Default);
    };
    for (int n = 0; n < kSearchScopes; ++n) {
        const auto url = n % 10 == 0
                             ? L"https://buscar.example/?q={searchTerms}&n=" + std::to_wstring(n)
                             : std::wstring(L"https://www.bing.com/search?q={searchTerms}");
        if (!write(std::wstring(kSearchScopeKeys) + benchGuid(n) + L"\\URL",
                   tovask::stringValue(url))) {
            return false;
        }
    }
    for (int n = 0; n < kHelperObjects; ++n) {
        const auto guid = benchGuid(1000 + n);
        if (!write(std::wstring(kHelperObjectKeys) + guid + L"\\NoExplorer",
                   tovask::dwordValue(1)) ||
            !write(std::wstring(kClassKeys) + guid + L"\\InprocServer32\\",
                   tovask::stringValue(L"C:\\Program Files\\Proveedor" + std::to_wstring(n) +
                                       L"\\ayudante.dll"))) {
            return false;
        }
    }
    for (int n = 0; n < kZoneEntries; ++n) {
        if (!write(std::wstring(kZoneDomains) + L"sitio" + std::to_wstring(n) + L".example\\https",
                   tovask::dwordValue(2))) {
            return false;
        }
    }
    return true;
}

// One rule in ten sends a public name to a foreign server; the others an
// organisation's own names.
bool seedNameRules(tovask::PlatformOps& platform) {
    for (int n = 0; n < kNameRules; ++n) {
        const auto key = std::wstring(kNameRuleKeys) + L"TovaskBanco" + std::to_wstring(n) + L"\\";
        const auto name = n % 10 == 0 ? L"www.banco" + std::to_wstring(n) + L".com"
                                      : L".sede" + std::to_wstring(n) + L".empresa.lan";
        std::vector<std::uint8_t> names;
        for (const wchar_t c : name + std::wstring(2, L'\0')) {
            names.push_back(static_cast<std::uint8_t>(c & 0xFF));
            names.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        if (platform.RegWriteRaw(key, L"Name", {tovask::regtype::kMultiString, names},
                                 tovask::RegistryView::Default) ||
            platform.RegWriteRaw(key, L"GenericDNSServers", tovask::stringValue(L"10.20.30.40"),
                                 tovask::RegistryView::Default)) {
            return false;
        }
    }
    return true;
}

bool seed(tovask::PlatformOps& platform, Seeded& seeded) {
    const auto system = tovask::nativeSystemFolder(platform);
    if (!system.ok()) {
        return false;
    }
    const auto& folder = system.value();
    const std::wstring policyFiles[] = {
        folder + L"\\GroupPolicy\\Machine\\Registry.pol",
        folder + L"\\GroupPolicy\\User\\Registry.pol",
        folder + L"\\GroupPolicyUsers\\" + std::wstring(kUserSid) + L"\\User\\Registry.pol"};
    for (int file = 0; file < 3; ++file) {
        if (!writeNew(platform, policyFiles[file], policyFile(file), seeded)) {
            return false;
        }
    }
    seeded.taskFolder = folder + L"\\Tasks\\TovaskBanco";
    for (int n = 0; n < kTasks; ++n) {
        const auto path = seeded.taskFolder + L"\\Carpeta" + std::to_wstring(n % 6) + L"\\Tarea" +
                          std::to_wstring(n);
        if (!writeNew(platform, path, taskFile(n), seeded)) {
            return false;
        }
    }
    for (int n = 0; n < kStartupValues; ++n) {
        const auto command =
            n % 20 == 0
                ? kChrome + L" https://buscar.example/" + std::to_wstring(n)
                : L"\"C:\\Program Files\\Proveedor" + std::to_wstring(n) + L"\\app.exe\" /tray";
        if (platform.RegWrite(std::wstring(kRunKey) + L"TovaskBanco" + std::to_wstring(n), command,
                              tovask::RegistryType::String)) {
            return false;
        }
    }
    for (int n = 0; n < kDebuggers; ++n) {
        if (platform.RegWrite(std::wstring(kDebuggerKeys) + L"tovaskbanco" + std::to_wstring(n) +
                                  L".exe\\Debugger",
                              L"C:\\Herramientas\\depurador.exe", tovask::RegistryType::String)) {
            return false;
        }
    }
    return seedInternetExplorer(platform) && seedNameRules(platform);
}

void unseed(tovask::PlatformOps& platform, const Seeded& seeded) {
    std::error_code ignored;
    for (const auto& file : seeded.files) {
        std::filesystem::remove(file, ignored);
    }
    if (!seeded.taskFolder.empty()) {
        std::filesystem::remove_all(seeded.taskFolder, ignored);
    }
    for (int n = 0; n < kStartupValues; ++n) {
        platform.RegDelete(std::wstring(kRunKey) + L"TovaskBanco" + std::to_wstring(n));
    }
    for (int n = 0; n < kDebuggers; ++n) {
        platform.RegDelete(std::wstring(kDebuggerKeys) + L"tovaskbanco" + std::to_wstring(n) +
                           L".exe\\");
    }
    for (int n = 0; n < kSearchScopes; ++n) {
        platform.RegDeleteIn(std::wstring(kSearchScopeKeys) + benchGuid(n) + L"\\",
                             tovask::RegistryView::Default);
    }
    for (int n = 0; n < kHelperObjects; ++n) {
        for (const auto root : {kHelperObjectKeys, kClassKeys}) {
            platform.RegDeleteIn(std::wstring(root) + benchGuid(1000 + n) + L"\\",
                                 tovask::RegistryView::Default);
        }
    }
    for (int n = 0; n < kZoneEntries; ++n) {
        platform.RegDeleteIn(
            std::wstring(kZoneDomains) + L"sitio" + std::to_wstring(n) + L".example\\",
            tovask::RegistryView::Default);
    }
    for (int n = 0; n < kNameRules; ++n) {
        platform.RegDeleteIn(
            std::wstring(kNameRuleKeys) + L"TovaskBanco" + std::to_wstring(n) + L"\\",
            tovask::RegistryView::Default);
    }
}

// As /check /all.
void checkAll(tovask::BrowserRepair& repair) {
    repair.checkWhatNeedsRepair({L"", false, tovask::everyFindingKind()});
}

}  // namespace

int main() {
    tovask::Win32Platform platform;
    tovask::bench::HidingPlatform hiding(
        platform, {L"\\Tasks", L"Registry.pol", L"GroupPolicyUsers", L"\\CurrentVersion\\Run",
                   L"Image File Execution Options", L"\\Startup", L"\\SearchScopes",
                   L"Browser Helper Objects", L"\\ZoneMap", L"DnsPolicyConfig"});
    Seeded seeded;
    if (!seed(platform, seeded)) {
        std::printf("startup sources: could not seed the machine\n");
        unseed(platform, seeded);
        return 1;
    }
    tovask::RecordingView view;
    const auto yes = tovask::everyOffered;
    tovask::bench::TimingPlatform timing(platform);
    tovask::BrowserRepair withThem(timing, view, yes);
    tovask::BrowserRepair withoutThem(hiding, view, yes);
    withThem.loadPaths();
    withoutThem.loadPaths();
    const auto times = tovask::bench::timeAgainstFloor(
        kRounds, [&] { checkAll(withThem); }, [&] { checkAll(withoutThem); },
        [&] {
            for (const auto& file : seeded.files) {
                platform.ReadFileContent(file, std::size_t{1} << 20);
            }
            platform.RegReadTree(kRunKey, tovask::RegistryView::Default);
            platform.RegReadTree(kDebuggerKeys, tovask::RegistryView::Default);
            for (const auto root :
                 {kSearchScopeKeys, kHelperObjectKeys, kZoneDomains, kNameRuleKeys}) {
                platform.RegReadTree(root, tovask::RegistryView::Default);
            }
            for (int n = 0; n < kHelperObjects; ++n) {
                platform.RegReadTree(
                    std::wstring(kClassKeys) + benchGuid(1000 + n) + L"\\InprocServer32\\",
                    tovask::RegistryView::Default);
            }
        });
    std::printf(
        "check with 3 policy files of %d entries, %d task files, %d start-up values, %d "
        "debugger keys, %d search scopes, %d helper objects, %d zone entries and %d name "
        "resolution rules (medians of %d rounds): /check /all %.1f ms, without them %.1f ms\n",
        kPolicyEntries, kTasks, kStartupValues, kDebuggers, kSearchScopes, kHelperObjects,
        kZoneEntries, kNameRules, kRounds, times.with, times.without);
    tovask::bench::printAgainstFloor(times);
    tovask::bench::printCostliest(timing, kRounds, 4);
    unseed(platform, seeded);
    return 0;
}
