// Replays a run that finds, backs up, repairs and undoes one finding of each
// kind, once for every platform call it makes with exactly that call failing.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "repair/grouppolicy/PolicyFileFormat.h"
#include "tests/native/PublishedRoot.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

const std::wstring kPolicyValue = L"HKLM\\Software\\Policies\\Google\\Chrome\\HomepageLocation";
const std::wstring kScriptValue =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\AutoConfigURL";
const std::wstring kPolicyFile = L"D:\\Firefox\\distribution\\policies.json";
const std::wstring kSideloaded = L"D:\\Firefox\\distribution\\extensions\\malo@x.example.xpi";
const std::wstring kShortcut = L"C:\\Users\\Public\\Desktop\\Chrome.lnk";
const std::wstring kChromeExe = L"C:\\Program Files\\Google\\Chrome\\chrome.exe";
const std::wstring kPublishedRoot =
    L"HKLM\\SOFTWARE\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\"
    L"C864484869D41D2B0D32319C5A62F9315AAF2CBD\\";
const std::wstring kDebugger =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution "
    L"Options\\msedge.exe\\Debugger";
const std::wstring kMachinePolicyFile =
    L"C:\\WINDOWS\\Sysnative\\GroupPolicy\\Machine\\Registry.pol";
const std::wstring kForcelist = L"Software\\Policies\\Google\\Chrome\\ExtensionInstallForcelist";
const std::wstring kRestriction =
    L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\NoBrowserOptions";
const std::wstring kSearchScope =
    L"HKLM\\Software\\Microsoft\\Internet Explorer\\SearchScopes\\{A}\\URL";
const std::wstring kExtensionKey =
    L"HKLM\\Software\\Google\\Chrome\\Extensions\\ppppooookkkkjjjjiiiihhhhggggffff\\";
const std::wstring kPreferences =
    L"C:\\Users\\ana\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Preferences";
const std::wstring kRunValue = L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Inicio";
const std::wstring kUserinit =
    L"HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Userinit";
const std::wstring kComponent =
    L"HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{6A7F0C1E}\\StubPath";
// The machine policy file puts the native System32 behind Sysnative.
const std::wstring kTask = L"C:\\WINDOWS\\Sysnative\\Tasks\\Actualizador";
const std::wstring kStartupScript =
    L"C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\"
    L"carga.vbs";

const std::wstring kNameRule =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Parameters\\DnsPolicyConfig\\{1}\\";

void writeString(fake::FakePlatform& platform, const std::wstring& path, std::wstring_view text) {
    platform.RegWrite(path, text, RegistryType::String);
}

// Where a seeded finding lives, how it is seeded, and what its report line
// says once repaired: its start and the start of its place (none for a kind
// that only reports); or how its line starts once removed
// while a local policy file that could not be read may put it back.
struct KindSeed {
    FindingKind kind;
    std::function<void(fake::FakePlatform&)> seed;
    std::pair<std::wstring_view, std::wstring_view> repaired;
    std::wstring_view putBackLine;
    std::function<std::optional<std::string>(const fake::FakePlatform&)> state;
};

std::optional<std::string> valueAt(const fake::FakePlatform& platform, const std::wstring& path) {
    const auto value = platform.registry.value(path);
    return value ? std::optional(testing::PrintToString(*value)) : std::nullopt;
}

std::optional<std::string> bytesAt(const fake::FakePlatform& platform, const std::wstring& path) {
    const auto file = platform.files.file(path);
    return file ? std::optional(file->bytes) : std::nullopt;
}

// One row a seeded finding, at least one of each kind, each row's finding
// apart from the others'.
const KindSeed kSeeds[] = {
    {FindingKind::BrowserPolicy,
     [](fake::FakePlatform& platform) {
         writeString(platform, kPolicyValue, L"http://buscar.example");
     },
     {L"Bloqueo quitado: ", L"HKEY_LOCAL_MACHINE"},
     L"Bloqueo que vuelve a poner una directiva local: HKEY_LOCAL_MACHINE",
     [](const fake::FakePlatform& platform) { return valueAt(platform, kPolicyValue); }},
    {FindingKind::BrowserPolicy,
     [](fake::FakePlatform& platform) {
         writeString(platform,
                     L"HKLM\\SOFTWARE\\Mozilla\\Mozilla Firefox\\115.0\\Main\\Install Directory",
                     L"D:\\Firefox");
         platform.files.addFile(kPolicyFile,
                                R"({"policies": {"Homepage": {"URL": "http://buscar.example"}}})");
     },
     {L"Bloqueo quitado: ", kPolicyFile},
     {},
     [](const fake::FakePlatform& platform) { return bytesAt(platform, kPolicyFile); }},
    {FindingKind::BrowserPolicy,
     [](fake::FakePlatform& platform) { platform.files.addFile(kSideloaded, "PK\x03\x04"); },
     {L"Bloqueo quitado: ", kSideloaded},
     {},
     [](const fake::FakePlatform& platform) { return bytesAt(platform, kSideloaded); }},
    {FindingKind::Network,
     [](fake::FakePlatform& platform) { writeString(platform, kScriptValue, L"data:,x"); },
     {L"Ajuste de red reparado: ", L"HKEY_CURRENT_USER"},
     {},
     [](const fake::FakePlatform& platform) { return valueAt(platform, kScriptValue); }},
    {FindingKind::Network,
     [](fake::FakePlatform& platform) {
         writeString(platform, kNameRule + L"Name", L".");
         writeString(platform, kNameRule + L"GenericDNSServers", L"203.0.113.5");
     },
     {L"Ajuste de red reparado: ", L"HKEY_LOCAL_MACHINE\\SYSTEM"},
     {},
     [](const fake::FakePlatform& platform) { return valueAt(platform, kNameRule + L"Name"); }},
    {FindingKind::Shortcut,
     [](fake::FakePlatform& platform) {
         writeString(platform,
                     L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell "
                     L"Folders\\Common Desktop",
                     L"C:\\Users\\Public\\Desktop");
         platform.files.addFile(
             kShortcut, fake::fakeShortcutBytes({kChromeExe, L"http://buscar.example", L"C:\\",
                                                 kChromeExe, 0, 0, 1, L"", L""}));
     },
     {L"Acceso directo reparado: ", L""},
     {},
     [](const fake::FakePlatform& platform) { return bytesAt(platform, kShortcut); }},
    {FindingKind::InterceptionRoot,
     [](fake::FakePlatform& platform) {
         platform.registry.writeRaw(kPublishedRoot, L"Blob", publishedRootBlob(),
                                    RegistryView::Default);
     },
     {L"Certificado quitado: ", L""},
     {},
     [](const fake::FakePlatform& platform) {
         return valueAt(platform, kPublishedRoot + L"Blob");
     }},
    {FindingKind::BrowserDebugger,
     [](fake::FakePlatform& platform) { writeString(platform, kDebugger, L"C:\\x\\y.exe"); },
     {L"Suplantación del navegador quitada: ", L""},
     {},
     [](const fake::FakePlatform& platform) { return valueAt(platform, kDebugger); }},
    {FindingKind::LocalPolicyFile,
     [](fake::FakePlatform& platform) {
         platform.files.addFile(
             kMachinePolicyFile,
             std::string("PReg\x01\x00\x00\x00", 8) +
                 policyEntryBytes(
                     kForcelist, L"1",
                     stringValue(L"aaaabbbbccccddddeeeeffffgggghhhh;https://x.example/u")));
     },
     {L"Directiva local quitada: ", L""},
     {},
     [](const fake::FakePlatform& platform) { return bytesAt(platform, kMachinePolicyFile); }},
    {FindingKind::IeRestriction,
     [](fake::FakePlatform& platform) { platform.RegWrite(kRestriction, 1, RegistryType::Dword); },
     {L"Restricción quitada: ", L""},
     {},
     [](const fake::FakePlatform& platform) { return valueAt(platform, kRestriction); }},
    {FindingKind::IeSurface,
     [](fake::FakePlatform& platform) {
         writeString(platform, kSearchScope, L"http://buscar.example/?q={searchTerms}");
     },
     {L"Internet Explorer reparado: ", L""},
     {},
     [](const fake::FakePlatform& platform) { return valueAt(platform, kSearchScope); }},
    {FindingKind::RegistryExtension,
     [](fake::FakePlatform& platform) {
         writeString(platform, kExtensionKey + L"update_url", L"https://ads.example/crx");
     },
     {L"Extensión quitada: ", L""},
     {},
     [](const fake::FakePlatform& platform) {
         return valueAt(platform, kExtensionKey + L"update_url");
     }},
    {FindingKind::ProfilePreference,
     [](fake::FakePlatform& platform) {
         platform.files.addFile(kPreferences,
                                R"({"default_search_provider_data":{"template_url_data":)"
                                R"({"url":"https://buscar.example/?q={searchTerms}"}}})");
     },
     {L"Preferencia devuelta a la del navegador: ", kPreferences},
     {},
     [](const fake::FakePlatform& platform) { return bytesAt(platform, kPreferences); }},
    {FindingKind::Startup,
     [](fake::FakePlatform& platform) {
         writeString(platform, kRunValue, L"chrome.exe https://buscar.example");
     },
     {L"Programa de inicio quitado: ", L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"},
     {},
     [](const fake::FakePlatform& platform) { return valueAt(platform, kRunValue); }},
    {FindingKind::Startup,
     [](fake::FakePlatform& platform) {
         writeString(platform, kUserinit, L"C:\\WINDOWS\\system32\\userinit.exe,C:\\x\\svc.exe");
     },
     {L"Programa de inicio quitado: ", L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT"},
     {},
     [](const fake::FakePlatform& platform) { return valueAt(platform, kUserinit); }},
    {FindingKind::Startup,
     [](fake::FakePlatform& platform) { writeString(platform, kComponent, L"wscript a.vbs"); },
     {L"Programa de inicio quitado: ", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Active"},
     {},
     [](const fake::FakePlatform& platform) { return valueAt(platform, kComponent); }},
    {FindingKind::Startup,
     [](fake::FakePlatform& platform) {
         platform.files.addFile(
             kTask,
             fake::fakeTaskBytes({true,
                                  {{L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe",
                                    L"--load-extension=C:\\x"}}}));
     },
     {L"Programa de inicio quitado: ", L"\\Actualizador"},
     {},
     [](const fake::FakePlatform& platform) { return bytesAt(platform, kTask); }},
    {FindingKind::Startup,
     [](fake::FakePlatform& platform) {
         platform.files.addFile(kStartupScript, "CreateObject(\"WScript.Shell\").Run \"x\"");
     },
     {L"Programa de inicio quitado: ", L"C:\\Users\\ana\\AppData\\Roaming"},
     {},
     [](const fake::FakePlatform& platform) { return bytesAt(platform, kStartupScript); }},
};

// A finding of each kind, on a machine whose Internet Explorer settings an
// earlier run repaired, so that the replayed run changes only the findings.
// Made once; each replay starts from a copy of its registry and files.
const RepairBench& seededMachine() {
    static const auto* const seeded = [] {
        auto* bench = new RepairBench;
        auto& platform = bench->platform;
        platform.registry.addKeysEveryWindowsHas();
        writeString(platform,
                    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" +
                        platform.programUserSid + L"\\ProfileImagePath",
                    L"C:\\Users\\ana");
        bench->press();
        for (const auto& row : kSeeds) {
            row.seed(platform);
        }
        return bench;
    }();
    return *seeded;
}

void startFromSeededMachine(RepairBench& bench) {
    bench.platform.registry = seededMachine().platform.registry;
    bench.platform.files = seededMachine().platform.files;
    bench.view.repairFindings = true;
}

std::vector<std::optional<std::string>> statesOf(const RepairBench& bench) {
    std::vector<std::optional<std::string>> states;
    for (const auto& row : kSeeds) {
        states.push_back(row.state(bench.platform));
    }
    return states;
}

bool anyLineStartsWith(const std::vector<std::wstring>& lines, std::wstring_view start) {
    return std::ranges::any_of(lines,
                               [&](const std::wstring& line) { return line.starts_with(start); });
}

struct Replay {
    std::vector<std::optional<std::string>> before;
    RunOutcome outcome = RunOutcome::Done;
    std::vector<std::optional<std::string>> afterRun;
    std::vector<std::wstring> runLines;
    std::size_t undoStart = 0;
    std::vector<std::optional<std::string>> afterUndo;
};

Replay replay(RepairBench& bench) {
    Replay replay{statesOf(bench), {}, {}, {}, 0, {}};
    replay.outcome = bench.press();
    replay.afterRun = statesOf(bench);
    replay.runLines = bench.view.lines;
    replay.undoStart = bench.platform.calls.size();
    bench.undo();
    replay.afterUndo = statesOf(bench);
    return replay;
}

// A kind without a row here would be left out of the replays below.
TEST(FindingsFaultMatrix, SeedsAFindingOfEveryKind) {
    for (const auto* row : findingKinds()) {
        EXPECT_TRUE(std::ranges::any_of(
            kSeeds, [&](const KindSeed& seed) { return seed.kind == row->kind; }))
            << "no seed for kind " << static_cast<int>(row->kind);
    }
}

TEST(FindingsFaultMatrix, OffersEachSeededFindingUnderItsKind) {
    RepairBench bench;
    startFromSeededMachine(bench);
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    std::multiset<FindingKind> offered;
    for (const auto& finding : bench.view.questions.back()) {
        offered.insert(finding.kind);
    }
    std::multiset<FindingKind> seeded;
    for (const auto& row : kSeeds) {
        if (!row.repaired.first.empty()) {
            seeded.insert(row.kind);
        }
    }
    EXPECT_EQ(offered, seeded);
}

// Each kind's heading, each browser or place, each finding: said once, in
// the check and in the repair.
TEST(FindingsFaultMatrix, EveryHeadingAndLineIsSaidOnce) {
    RepairBench bench;
    startFromSeededMachine(bench);
    for (const bool repair : {false, true}) {
        bench.view.lines.clear();
        repair ? bench.press() : bench.check();
        // A finding's lines count under their heading: two browsers may have
        // the same home page imposed.
        std::map<std::wstring, int> said;
        std::wstring heading;
        for (const auto& line : bench.view.lines) {
            heading = line.starts_with(L" ") ? heading : line;
            said[line.starts_with(L" ") ? heading + L" / " + line : line] += line.empty() ? 0 : 1;
        }
        for (const auto& [line, times] : said) {
            EXPECT_LE(times, 1) << testing::PrintToString(line);
        }
    }
}

// What the undo lists of the seeded findings' kinds, after the date and the
// Internet Explorer line, and what it says came back of each.
const std::vector<std::wstring> kKindsListed = {
    L"Bloqueos en los archivos de directivas locales (Registry.pol): 1 archivo",
    L"Bloqueos de otros navegadores: 1 valor del registro, 2 archivos",
    L"Restricciones de Internet Explorer: 1 valor del registro",
    L"Buscadores, complementos y zonas de Internet Explorer: 1 valor del registro",
    L"Extensiones instaladas desde el registro: 1 valor del registro",
    L"Preferencias de los perfiles de los navegadores: 1 archivo",
    L"Programas que se inician con los navegadores: 1 valor del registro",
    L"Proxy, configuración automática y DNS: 3 valores del registro",
    L"Certificados raíz que permiten leer las páginas seguras: 1 valor del registro",
    L"Accesos directos de navegadores: 1 archivo",
    L"Programas que se inician solos: 3 valores del registro, 2 archivos"};

std::vector<std::wstring> kindsPutBack(std::wstring_view user) {
    const auto inFile = [](std::wstring_view path) {
        return L"HKEY_LOCAL_MACHINE" + std::wstring(path.substr(4));
    };
    const auto rule =
        L"Puesto de nuevo: Proxy, configuración automática y DNS: " + inFile(kNameRule);
    return {L"Puesto de nuevo: Bloqueos de otros navegadores: " + inFile(kPolicyValue),
            L"Puesto de nuevo: Restricciones de Internet Explorer: " + inFile(kRestriction),
            L"Puesto de nuevo: Buscadores, complementos y zonas de Internet Explorer: " +
                inFile(kSearchScope),
            L"Puesto de nuevo: Extensiones instaladas desde el registro: " + inFile(kExtensionKey) +
                L"update_url",
            L"Puesto de nuevo: Programas que se inician con los navegadores: " + inFile(kDebugger),
            L"Puesto de nuevo: Proxy, configuración automática y DNS: HKEY_USERS\\" +
                std::wstring(user) + kScriptValue.substr(4),
            rule + L"GenericDNSServers",
            rule + L"Name",
            L"Puesto de nuevo: Certificados raíz que permiten leer las páginas seguras: "
            L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\"
            L"C864484869D41D2B0D32319C5A62F9315AAF2CBD\\Blob",
            L"Puesto de nuevo: Programas que se inician solos: " + inFile(kRunValue),
            L"Puesto de nuevo: Programas que se inician solos: " + inFile(kUserinit),
            L"Puesto de nuevo: Programas que se inician solos: " + inFile(kComponent),
            L"Puesto de nuevo: Programas que se inician solos: " + kStartupScript,
            L"Puesto de nuevo: Programas que se inician solos: " + kTask,
            L"Puesto de nuevo: Accesos directos de navegadores: " + kShortcut,
            L"Puesto de nuevo: Preferencias de los perfiles de los navegadores: " + kPreferences,
            L"Puesto de nuevo: Bloqueos de otros navegadores: " + kSideloaded,
            L"Puesto de nuevo: Bloqueos de otros navegadores: " + kPolicyFile,
            L"Puesto de nuevo: Bloqueos en los archivos de directivas locales (Registry.pol): " +
                kMachinePolicyFile};
}

TEST(FindingsUndo, ListsEachKindsChangesBeforeItActsAndEachThingAfter) {
    RepairBench bench;
    startFromSeededMachine(bench);
    ASSERT_EQ(bench.press(), RunOutcome::Done);
    bench.undo();

    const auto& lines = bench.view.lines;
    const auto done = std::ranges::find(lines, kUndoDone);
    const std::vector<std::wstring> listed(lines.begin(), done);
    ASSERT_EQ(listed.size(), 4 + kKindsListed.size()) << testing::PrintToString(lines);
    EXPECT_EQ(listed[0], kUndoListed);
    EXPECT_EQ(listed[1], L"Copia de seguridad del 7 de marzo de 2026 a las 09:05");
    EXPECT_TRUE(listed[2].starts_with(L"Internet Explorer: "));
    EXPECT_EQ(std::vector(listed.begin() + 3, listed.end() - 1), kKindsListed);
    EXPECT_TRUE(listed.back().starts_with(L"Ejecuciones que se deshacen: 1 (")) << listed.back();
    std::vector<std::wstring> kindsCameBack;
    std::ranges::copy_if(linesFromDone(lines), std::back_inserter(kindsCameBack),
                         [](const std::wstring& line) {
                             return line.starts_with(kPutBackPrefix) &&
                                    !line.starts_with(L"Puesto de nuevo: Internet Explorer: ");
                         });
    EXPECT_EQ(kindsCameBack, kindsPutBack(bench.platform.programUserSid));
    EXPECT_TRUE(lastNoticeIs(bench.view, kFinished, NoticeKind::Information, kFinished));
}

// The replays go in slices, every fourth call from the slice's own, so that
// the suite's processes share them.
constexpr std::size_t kReplaySlices = 4;

class EveryCallFailingInTurn : public testing::TestWithParam<std::size_t> {};

TEST_P(EveryCallFailingInTurn, LeavesEachFindingReportedAndUndoable) {
    RepairBench clean;
    startFromSeededMachine(clean);
    const auto cleanReplay = replay(clean);
    ASSERT_EQ(cleanReplay.outcome, RunOutcome::Done)
        << testing::PrintToString(cleanReplay.runLines);
    for (std::size_t place = 0; place < std::size(kSeeds); ++place) {
        EXPECT_EQ(cleanReplay.afterRun[place] != cleanReplay.before[place],
                  !kSeeds[place].repaired.first.empty())
            << "seed " << place;
    }
    const auto cleanCalls = clean.platform.calls;
    std::set<std::string> changingCallsMade;
    for (std::size_t index = GetParam(); index < cleanCalls.size(); index += kReplaySlices) {
        const auto& call = cleanCalls[index];
        SCOPED_TRACE(testing::Message() << "call " << index << " " << call.operation << " "
                                        << testing::PrintToString(call.target));
        RepairBench bench;
        startFromSeededMachine(bench);
        bench.platform.failCallAt(index, errc(std::errc::permission_denied));
        const auto failed = replay(bench);
        const bool inRun = index < cleanReplay.undoStart;

        // Each finding's line says what became of it; one put back comes with
        // the failure that left its policy file unread.
        for (std::size_t place = 0; place < std::size(kSeeds); ++place) {
            const auto& row = kSeeds[place];
            const bool changed = failed.afterRun[place] != failed.before[place];
            const bool putBack =
                !row.putBackLine.empty() && anyLineStartsWith(failed.runLines, row.putBackLine);
            const bool saidRepaired =
                !row.repaired.first.empty() &&
                saysOf(failed.runLines, row.repaired.first, row.repaired.second);
            EXPECT_EQ(saidRepaired || putBack, changed) << "seed " << place;
            EXPECT_TRUE(!putBack || anyLineStartsWith(failed.runLines, kErrorPrefix));
        }
        // A change that failed is an error line naming what it was changing,
        // and the run does not end as done.
        if (inRun && fake::effectOf(call.operation) == fake::CallEffect::Changes) {
            changingCallsMade.insert(call.operation);
            EXPECT_TRUE(call.target.empty() ? anyLineStartsWith(failed.runLines, kErrorPrefix)
                                            : reportsFailureOf(failed.runLines, call.target))
                << testing::PrintToString(failed.runLines);
            EXPECT_NE(failed.outcome, RunOutcome::Done);
        }
        // Whatever failed in the run, the undo puts every finding back; a
        // failure of its own that keeps one away is told.
        if (inRun) {
            EXPECT_EQ(failed.afterUndo, failed.before) << testing::PrintToString(bench.view.lines);
        } else if (failed.afterUndo != failed.before) {
            EXPECT_NE(bench.view.notices.back().kind, NoticeKind::Information)
                << testing::PrintToString(bench.view.lines);
        }
    }
    std::cout << "[ findings fault matrix ] slice " << GetParam() << " of " << cleanCalls.size()
              << " replays, changing calls " << testing::PrintToString(changingCallsMade) << "\n";
}

INSTANTIATE_TEST_SUITE_P(FindingsFaultMatrix, EveryCallFailingInTurn,
                         testing::Range(std::size_t{0}, kReplaySlices));

}  // namespace
}  // namespace tovask::test
