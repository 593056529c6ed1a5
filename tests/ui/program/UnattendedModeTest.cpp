// The built program run as a script runs it: arguments in, exit code and
// report out, against the Wine prefix's own registry and HOSTS file.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <regex>
#include <string>
#include <vector>

#include "Version.h"
#include "tests/ui/HijackedPrefix.h"
#include "tests/ui/ProgramPath.h"
#include "tests/ui/ProgramRun.h"
#include "tests/win32/TestFolder.h"
#include "tests/win32/TestWindows.h"

namespace tovask::testsupport {
namespace {

using Hijack = HijackedPrefix::Hijack;

std::string utf8(const std::wstring& text) {
    std::string converted(
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, converted.data(),
                        static_cast<int>(converted.size()), nullptr, nullptr);
    converted.pop_back();
    return converted;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::ranges::find(lines, line) != lines.end();
}

struct Finished {
    int code;
    std::vector<std::string> lines;
};

class UnattendedModeTest : public ::testing::Test {
  protected:
    ProgramRun start(std::wstring_view arguments) {
        return {arguments, folder_.path(L"salida" + std::to_wstring(++runs_) + L".txt")};
    }
    Finished run(std::wstring_view arguments) {
        ProgramRun program = start(arguments);
        const int code = program.finish();
        return {code, program.outputLines()};
    }
    void expectUnchangedSince(const PrefixState& before) const {
        const PrefixState after = prefix_.observe();
        EXPECT_EQ(after.values, before.values);
        EXPECT_EQ(after.files, before.files);
    }

    TestFolder folder_;
    HijackedPrefix prefix_;

  private:
    int runs_ = 0;
};

TEST_F(UnattendedModeTest, CheckRepairAndUndoRoundTrip) {
    const Finished found = run(L"/check");
    EXPECT_EQ(found.code, 1);
    for (const auto& seed : HijackedPrefix::seeds()) {
        EXPECT_TRUE(contains(found.lines, "Por reparar: " + seed.reportedAs)) << seed.reportedAs;
    }
    // The HOSTS file's entry that sends a name elsewhere, after its file.
    EXPECT_TRUE(contains(found.lines, "Por reparar: " + utf8(HijackedPrefix::systemHosts()) +
                                          ": 10.66.66.66 www.banco.example"));

    EXPECT_EQ(run(L"/repair").code, 0);
    prefix_.expectHijack(Hijack::Gone);
    const Finished clean = run(L"/check");
    EXPECT_EQ(clean.code, 0);
    // The loopback line left in HOSTS is only information.
    EXPECT_EQ(clean.lines.back(), "Nada que reparar.");
    EXPECT_FALSE(std::ranges::any_of(clean.lines, [](const std::string& line) {
        return line.starts_with("Por reparar");
    })) << testing::PrintToString(clean.lines);

    EXPECT_EQ(run(L"/undo").code, 0);
    prefix_.expectHijack(Hijack::InPlace);
    EXPECT_EQ(run(L"/check").code, 1);
}

// Another program writes below a key the repair created; the undo takes back
// only what the repair wrote. The backup names this user by SID, so that it
// means the same user whoever runs the undo.
TEST_F(UnattendedModeTest, UndoKeepsWhatWasWrittenBelowAKeyTheRepairCreated) {
    const std::wstring created =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy Objects";
    removeKeyEverywhere(HKEY_CURRENT_USER, created);
    EXPECT_EQ(run(L"/repair").code, 0);
    std::wstring backupPath = HijackedPrefix::systemHosts();
    backupPath.replace(backupPath.rfind(L'\\') + 1, std::wstring::npos, L"BackupRegistro.reg");
    const std::string backup = readBytes(backupPath);
    const auto utf16 = [](std::wstring_view text) {
        return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    };
    EXPECT_NE(backup.find(utf16(L"[HKEY_USERS\\S-1-5-21-")), std::string::npos);
    EXPECT_EQ(backup.find(utf16(L"[HKEY_CURRENT_USER")), std::string::npos);

    writeStringDirectly(HKEY_CURRENT_USER, created + L"\\OtraHerramienta", L"Conservar", L"1", 0);
    EXPECT_EQ(run(L"/undo").code, 0);
    EXPECT_EQ(readValue(HKEY_CURRENT_USER, created + L"\\OtraHerramienta", L"Conservar"),
              stringValue(L"1"));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, created + L"\\LocalUser"));
    removeKeyEverywhere(HKEY_CURRENT_USER, created);
}

// A block of the log: its header with the version and the arguments of the
// run, the run's report as the console got it, the exit code and an empty
// line. Returns where the next block starts.
std::size_t expectLogBlock(const std::vector<std::string>& log, std::size_t at,
                           const std::vector<std::string>& report, std::string_view arguments,
                           int code) {
    const std::regex header(
        R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} Equipo: \S.* Usuario: \S.* Tovask )" +
        std::string(TOVASK_VERSION_NARROW_TEXT) + R"( Orden: .*Tovask\.exe"? )" +
        std::regex_replace(std::string(arguments), std::regex(R"([.?*+^$()\[\]{}|\\])"), R"(\$&)"));
    auto expected = report;
    expected.push_back("C\u00f3digo de salida: " + std::to_string(code));
    const std::size_t end = at + 1 + expected.size();
    if (end >= log.size()) {
        ADD_FAILURE() << "the log ends inside a block";
        return log.size();
    }
    EXPECT_TRUE(std::regex_match(log[at], header)) << log[at];
    EXPECT_EQ(std::vector(log.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                          log.begin() + static_cast<std::ptrdiff_t>(end)),
              expected);
    EXPECT_EQ(log[end], "");
    return end + 1;
}

TEST_F(UnattendedModeTest, LogGetsOneWholeUtf8BlockPerRun) {
    const std::wstring log = L" /log:\"" + folder_.path(L"registro.log") + L"\"";
    const Finished repair = run(L"/repair /startpage:http://página.example/" + log);
    EXPECT_EQ(repair.code, 0);
    EXPECT_TRUE(contains(repair.lines, "Página de inicio: http://página.example/"));
    const Finished undo = run(L"/undo" + log);
    EXPECT_EQ(undo.code, 0);

    const std::string logged = readBytes(folder_.path(L"registro.log"));
    EXPECT_TRUE(logged.ends_with("\r\n\r\n"));
    const auto lines = crLfLines(logged);
    const std::size_t second = expectLogBlock(
        lines, 0, repair.lines, "/repair /startpage:http://p\xc3\xa1gina.example/" + utf8(log), 0);
    EXPECT_EQ(expectLogBlock(lines, second, undo.lines, "/undo" + utf8(log), 0), lines.size());
}

TEST_F(UnattendedModeTest, RepairWithTheBrowserOpenChangesNothing) {
    const TestWindowClass browser(L"IEFrame");
    const TestWindow window = browser.createWindow();
    const PrefixState before = prefix_.observe();
    EXPECT_EQ(run(L"/repair").code, 4);
    expectUnchangedSince(before);
}

TEST_F(UnattendedModeTest, OfTwoRepairsAtOnceOneWaitsOrIsTurnedAway) {
    ProgramRun first = start(L"/repair");
    ProgramRun second = start(L"/repair");
    std::array codes{first.finish(), second.finish()};
    std::ranges::sort(codes);
    EXPECT_TRUE((codes == std::array{0, 0} || codes == std::array{0, 5}))
        << codes[0] << " and " << codes[1];
}

// A longer start page never reaches the program: Windows refuses to start a
// command line of more than 32,767 characters with its null, and Wine cuts it
// there.
TEST_F(UnattendedModeTest, TheLongestStartPageACommandLineCarriesIsStoredWhole) {
    constexpr std::size_t kLongestCommandLine = 32'766;
    const std::wstring repair = L"/repair /startpage:";
    // The quoted program path and a space come first.
    const std::size_t room = kLongestCommandLine - (programPath().size() + 3) - repair.size();
    const std::wstring site = L"http://largo.example/";
    const std::wstring page = site + std::wstring(room - site.size(), L'x');
    EXPECT_EQ(run(repair + page).code, 0);
    EXPECT_EQ(readValue(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Main",
                        L"Start Page"),
              stringValue(page));
}

TEST_F(UnattendedModeTest, UsageNamesEveryExitCode) {
    const Finished usage = run(L"/?");
    EXPECT_EQ(usage.code, 0);
    for (char code = '0'; code <= '6'; ++code) {
        EXPECT_TRUE(std::ranges::any_of(usage.lines,
                                        [&](const std::string& line) {
                                            return line.starts_with(std::string("  ") + code +
                                                                    "  ");
                                        }))
            << "exit code " << code;
    }
}

// <carpeta> stands for an existing folder, <unidad> for a drive letter that
// names no drive.
struct Refused {
    const char* name;
    std::wstring arguments;
    int code;

    friend void PrintTo(const Refused& refused, std::ostream* out) { *out << refused.name; }
};

const Refused kRefused[] = {
    {"UnknownSwitch", L"/bogus", 2},
    {"CheckAndRepair", L"/check /repair", 2},
    {"RepairTwice", L"/repair /repair", 2},
    {"StartPageWithoutValue", L"/repair /startpage:", 2},
    {"StartPageWithUndo", L"/undo /startpage:x", 2},
    {"LogWithoutValue", L"/repair /log:", 2},
    {"LogIsAFolder", L"/repair /log:<carpeta>", 6},
    {"LogOnAMissingDrive", L"/repair /log:<unidad>:\\registro.log", 6},
};

wchar_t missingDrive() {
    const DWORD drives = GetLogicalDrives();
    wchar_t letter = L'Z';
    while (letter > L'C' && (drives & (1u << (letter - L'A'))) != 0) {
        --letter;
    }
    return letter;
}

void replace(std::wstring& text, std::wstring_view placeholder, const std::wstring& by) {
    if (const auto at = text.find(placeholder); at != std::wstring::npos) {
        text.replace(at, placeholder.size(), by);
    }
}

class RefusedCommandLineTest : public UnattendedModeTest,
                               public ::testing::WithParamInterface<Refused> {};

TEST_P(RefusedCommandLineTest, SaysWhyAndChangesNothing) {
    std::wstring arguments = GetParam().arguments;
    ASSERT_TRUE(CreateDirectoryW(folder_.path(L"carpeta").c_str(), nullptr));
    replace(arguments, L"<carpeta>", folder_.path(L"carpeta"));
    replace(arguments, L"<unidad>", std::wstring(1, missingDrive()));
    const PrefixState before = prefix_.observe();
    const Finished refused = run(arguments);
    EXPECT_EQ(refused.code, GetParam().code);
    EXPECT_FALSE(refused.lines.empty());
    expectUnchangedSince(before);
}

INSTANTIATE_TEST_SUITE_P(EveryMistake, RefusedCommandLineTest, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovask::testsupport
