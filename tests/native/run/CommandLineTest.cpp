#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "repair/commandline/CommandLine.h"
#include "repair/commandline/CommandLineTexts.h"

namespace tovask {
namespace {

using namespace texts;
using Arguments = std::vector<std::wstring>;

std::wstring repeated(wchar_t c, std::size_t count) {
    return std::wstring(count, c);
}

std::wstring refusal(std::wstring_view reason) {
    return std::wstring(reason) + std::wstring(kSeeUsage);
}

TEST(CommandLineWithoutArguments, OpensTheWindow) {
    EXPECT_FALSE(parseCommandLine({}).has_value());
}

struct AcceptedLine {
    std::string name;
    Arguments arguments;
    UnattendedRequest expected;

    friend void PrintTo(const AcceptedLine& line, std::ostream* out) { *out << line.name; }
};

class AcceptedCommandLine : public testing::TestWithParam<AcceptedLine> {};

TEST_P(AcceptedCommandLine, GivesTheRequest) {
    const auto parsed = parseCommandLine(GetParam().arguments);
    ASSERT_TRUE(parsed);
    const auto* request = std::get_if<UnattendedRequest>(&*parsed);
    ASSERT_TRUE(request) << testing::PrintToString(std::get<CommandLineMistake>(*parsed).message);
    const auto& expected = GetParam().expected;
    EXPECT_EQ(request->command, expected.command);
    EXPECT_EQ(request->startPage, expected.startPage);
    EXPECT_EQ(request->logFile, expected.logFile);
    EXPECT_EQ(request->allUsers, expected.allUsers);
    EXPECT_EQ(request->kinds, expected.kinds);
    EXPECT_EQ(request->resetHosts, expected.resetHosts);
    EXPECT_EQ(request->runId, expected.runId);
}

constexpr auto kPolicies = FindingKind::BrowserPolicy;
constexpr auto kRestrictions = FindingKind::IeRestriction;
constexpr auto kIeSurfaces = FindingKind::IeSurface;
constexpr auto kExtensions = FindingKind::RegistryExtension;
constexpr auto kPreferences = FindingKind::ProfilePreference;
constexpr auto kNetwork = FindingKind::Network;
constexpr auto kCertificates = FindingKind::InterceptionRoot;
constexpr auto kShortcuts = FindingKind::Shortcut;
constexpr auto kDebuggers = FindingKind::BrowserDebugger;
constexpr auto kPolicyFiles = FindingKind::LocalPolicyFile;
constexpr auto kStartup = FindingKind::Startup;

const std::wstring kLongestPage = L"http://a.example/" + repeated(L'x', kLongestStartPage - 17);

INSTANTIATE_TEST_SUITE_P(
    Lines, AcceptedCommandLine,
    testing::Values(
        AcceptedLine{"Check", {L"/check"}, {.command = UnattendedCommand::Check}},
        AcceptedLine{"RepairUpperCaseDash", {L"-REPAIR"}, {.command = UnattendedCommand::Repair}},
        AcceptedLine{"UndoMixedCase", {L"/UnDo"}, {.command = UnattendedCommand::Undo}},
        AcceptedLine{
            "UndoOfARun", {L"/undo:12"}, {.command = UnattendedCommand::Undo, .runId = 12}},
        AcceptedLine{"Runs",
                     {L"/runs", L"/log:r.log"},
                     {.command = UnattendedCommand::Runs, .logFile = L"r.log"}},
        AcceptedLine{"Usage", {L"/?"}, {.command = UnattendedCommand::Usage}},
        AcceptedLine{"StartPageWithSpacesAndColons",
                     {L"/repair", L"/startpage:http://sitio.example:8080/a b?c=d e"},
                     {.command = UnattendedCommand::Repair,
                      .startPage = L"http://sitio.example:8080/a b?c=d e"}},
        AcceptedLine{"StartPageFirstNonLatin",
                     {L"-StartPage:http://пример.example/路径/\U0001F600", L"/Repair"},
                     {.command = UnattendedCommand::Repair,
                      .startPage = L"http://пример.example/路径/\U0001F600"}},
        AcceptedLine{"LongestStartPage",
                     {L"/repair", L"/startpage:" + kLongestPage},
                     {.command = UnattendedCommand::Repair, .startPage = kLongestPage}},
        AcceptedLine{"CheckLogAllUsersAnyOrder",
                     {L"/ALLUSERS", L"/check", L"-Log:C:\\Informes de año\\ñandú.log"},
                     {.command = UnattendedCommand::Check,
                      .logFile = L"C:\\Informes de año\\ñandú.log",
                      .allUsers = true}},
        AcceptedLine{"CheckBrowsers",
                     {L"-BROWSERS", L"/check"},
                     {.command = UnattendedCommand::Check,
                      .kinds = {kPolicies, kRestrictions, kIeSurfaces, kExtensions, kPreferences,
                                kDebuggers, kPolicyFiles}}},
        AcceptedLine{"RepairNetworkAndBrowsers",
                     {L"/Network", L"/repair", L"/browsers"},
                     {.command = UnattendedCommand::Repair,
                      .kinds = {kPolicies, kRestrictions, kIeSurfaces, kExtensions, kPreferences,
                                kDebuggers, kPolicyFiles, kNetwork, kCertificates}}},
        AcceptedLine{
            "CheckAll",
            {L"/check", L"-ALL"},
            {.command = UnattendedCommand::Check,
             .kinds = {kPolicies, kRestrictions, kIeSurfaces, kExtensions, kPreferences, kDebuggers,
                       kPolicyFiles, kNetwork, kCertificates, kShortcuts, kStartup}}},
        AcceptedLine{
            "RepairAllWithOneKindAgain",
            {L"/all", L"/repair", L"/network"},
            {.command = UnattendedCommand::Repair,
             .kinds = {kPolicies, kRestrictions, kIeSurfaces, kExtensions, kPreferences, kDebuggers,
                       kPolicyFiles, kNetwork, kCertificates, kShortcuts, kStartup}}},
        AcceptedLine{"RepairShortcutsAlone",
                     {L"/repair", L"-Shortcuts"},
                     {.command = UnattendedCommand::Repair, .kinds = {kShortcuts}}},
        AcceptedLine{"CheckStartupAlone",
                     {L"/check", L"/Startup"},
                     {.command = UnattendedCommand::Check, .kinds = {kStartup}}},
        AcceptedLine{"CheckWithTheRepairsStartPage",
                     {L"/startpage:http://a.example", L"/check"},
                     {.command = UnattendedCommand::Check, .startPage = L"http://a.example"}},
        AcceptedLine{
            "CheckWithAllowList",
            {L"/check", L"/allow:C:\\Listas\\permitidos.txt"},
            {.command = UnattendedCommand::Check, .allowFile = L"C:\\Listas\\permitidos.txt"}},
        AcceptedLine{"RepairHostsResetAnyCase",
                     {L"/repair", L"-Hosts:RESET"},
                     {.command = UnattendedCommand::Repair, .resetHosts = true}},
        AcceptedLine{"CheckWithTheRepairsHostsReset",
                     {L"/hosts:reset", L"/check"},
                     {.command = UnattendedCommand::Check, .resetHosts = true}},
        AcceptedLine{"UndoLog",
                     {L"/undo", L"/log:\\\\servidor\\registros\\tovask.log"},
                     {.command = UnattendedCommand::Undo,
                      .logFile = L"\\\\servidor\\registros\\tovask.log"}},
        AcceptedLine{"RepairEverything",
                     {L"/log:x.log", L"-allusers", L"/startpage:about:blank", L"/repair"},
                     {.command = UnattendedCommand::Repair,
                      .startPage = L"about:blank",
                      .logFile = L"x.log",
                      .allUsers = true}}),
    [](const auto& info) { return info.param.name; });

struct RefusedLine {
    std::string name;
    Arguments arguments;
    std::wstring reason;

    friend void PrintTo(const RefusedLine& line, std::ostream* out) { *out << line.name; }
};

class RefusedCommandLine : public testing::TestWithParam<RefusedLine> {};

TEST_P(RefusedCommandLine, NamesTheMistake) {
    const auto parsed = parseCommandLine(GetParam().arguments);
    ASSERT_TRUE(parsed);
    const auto* mistake = std::get_if<CommandLineMistake>(&*parsed);
    ASSERT_TRUE(mistake);
    EXPECT_EQ(mistake->message, refusal(GetParam().reason));
}

const std::wstring kUnknown(kUnknownArgumentPrefix);
const std::wstring kRepeated(kRepeatedSwitchPrefix);
const std::wstring kWithValue(kUnexpectedValuePrefix);
const std::wstring kNoRunNumber(kRunNumberUnknownPrefix);
const std::wstring kNoStartPage = L"Falta el valor de /startpage. Escriba /startpage:<URL>.";
const std::wstring kNoLog = L"Falta el valor de /log. Escriba /log:<archivo>.";

INSTANTIATE_TEST_SUITE_P(
    Lines, RefusedCommandLine,
    testing::Values(
        RefusedLine{"NoSlash", {L"check"}, kUnknown + L"check"},
        RefusedLine{"EmptyArgument", {L""}, kUnknown},
        RefusedLine{"BareSlash", {L"/"}, kUnknown + L"/"},
        RefusedLine{"UnknownSwitch", {L"/check", L"/force"}, kUnknown + L"/force"},
        RefusedLine{"UnknownLongArgumentCut",
                    {repeated(L'z', 1'000'000)},
                    kUnknown + repeated(L'z', 80) + L"…"},
        RefusedLine{"RepeatedCommand", {L"/check", L"-CHECK"}, kRepeated + L"/check"},
        RefusedLine{"RepeatedLog", {L"/undo", L"/log:a", L"/log:a"}, kRepeated + L"/log"},
        RefusedLine{"CheckAndRepair", {L"/check", L"/repair"}, std::wstring(kMoreThanOneCommand)},
        RefusedLine{"UsageAndCheck", {L"/?", L"/check"}, std::wstring(kMoreThanOneCommand)},
        RefusedLine{"OnlyLog", {L"/log:x.log"}, std::wstring(kMissingCommand)},
        RefusedLine{"OnlyAllUsers", {L"/allusers"}, std::wstring(kMissingCommand)},
        RefusedLine{
            "OnlyStartPage", {L"/startpage:http://a.example"}, std::wstring(kMissingCommand)},
        RefusedLine{"StartPageWithUndo",
                    {L"/undo", L"/startpage:http://a.example"},
                    std::wstring(kStartPageWithoutRepair)},
        RefusedLine{"AllowListWithUndo",
                    {L"/undo", L"/allow:C:\\permitidos.txt"},
                    std::wstring(kAllowWithoutCheck)},
        RefusedLine{"HostsResetWithUndo",
                    {L"/undo", L"/hosts:reset"},
                    std::wstring(kHostsResetWithoutRepair)},
        RefusedLine{"HostsOtherValue",
                    {L"/repair", L"/hosts:keep"},
                    std::wstring(kHostsValueUnknownPrefix) + L"/hosts:keep"},
        RefusedLine{"HostsWithoutValue",
                    {L"/repair", L"/hosts"},
                    L"Falta el valor de /hosts. Escriba /hosts:reset."},
        RefusedLine{"UsageWithLog", {L"/?", L"/log:x.log"}, std::wstring(kUsageStandsAlone)},
        RefusedLine{"StartPageEmpty", {L"/repair", L"/startpage:"}, kNoStartPage},
        RefusedLine{"StartPageWithoutColon", {L"/repair", L"/startpage"}, kNoStartPage},
        RefusedLine{"StartPageOneTooLong",
                    {L"/repair", L"/startpage:" + kLongestPage + L"x"},
                    std::wstring(kStartPageTooLong)},
        RefusedLine{"StartPageTooLongInUtf16",
                    {L"/repair", L"/startpage:" + kLongestPage.substr(1) + L"\U0001F600"},
                    std::wstring(kStartPageTooLong)},
        RefusedLine{"StartPageMillion",
                    {L"/repair", L"/startpage:" + repeated(L'\x4e2d', 1'000'000)},
                    std::wstring(kStartPageTooLong)},
        RefusedLine{"LogEmpty", {L"/check", L"/log:"}, kNoLog},
        RefusedLine{"LogWithoutColon", {L"/check", L"-LOG"}, kNoLog},
        RefusedLine{"CommandWithValue", {L"/check:todo"}, kWithValue + L"/check:todo"},
        RefusedLine{"UndoOfRunZero", {L"/undo:0"}, kNoRunNumber + L"/undo:0"},
        RefusedLine{"UndoOfAWord", {L"/undo:ultima"}, kNoRunNumber + L"/undo:ultima"},
        RefusedLine{"UndoOfTenDigits", {L"/undo:4294967296"}, kNoRunNumber + L"/undo:4294967296"},
        RefusedLine{"RunsWithValue", {L"/runs:1"}, kWithValue + L"/runs:1"},
        RefusedLine{
            "AllUsersWithValue", {L"/undo", L"/allusers:si"}, kWithValue + L"/allusers:si"}),
    [](const auto& info) { return info.param.name; });

TEST(CommandLineUsage, NamesEveryCommandSwitchAndExitCode) {
    const auto usage = usageText();
    EXPECT_EQ(usage.find(L'\r'), std::wstring_view::npos);
    for (const auto* name : {L"/check", L"/repair", L"/undo", L"/undo:<n>", L"/runs", L"/?",
                             L"/startpage:<URL>", L"/log:<archivo>", L"/allusers", L"/browsers",
                             L"/network", L"/shortcuts", L"/all ", L"/hosts:reset"}) {
        EXPECT_NE(usage.find(name), std::wstring_view::npos) << testing::PrintToString(name);
    }
    const auto codes = usage.substr(usage.find(L"Códigos de salida:"));
    for (const auto code :
         {ExitCode::Done, ExitCode::RepairNeeded, ExitCode::BadCommandLine,
          ExitCode::DoneWithFailures, ExitCode::BrowserOpen, ExitCode::AnotherRepairRunning,
          ExitCode::CannotRun, ExitCode::NothingToUndo, ExitCode::AlreadyUndone}) {
        const auto line = L"\n  " + std::to_wstring(static_cast<int>(code)) + L"  ";
        EXPECT_NE(codes.find(line), std::wstring_view::npos) << static_cast<int>(code);
    }
}

TEST(LogBlock, FirstLineNamesVersionAndCommandLineLastLineTheExitCode) {
    EXPECT_EQ(
        logBlockRun(L"\"C:\\Herramientas\\Tovask.exe\" /check /all"),
        L" Tovask " TOVASK_VERSION_TEXT L" Orden: \"C:\\Herramientas\\Tovask.exe\" /check /all");
    EXPECT_EQ(logBlockExitLine(ExitCode::CannotRun), L"Código de salida: 6");
}

struct OutcomeCode {
    RunOutcome outcome;
    int code;
};

class ExitCodeOfOutcome : public testing::TestWithParam<OutcomeCode> {};

TEST_P(ExitCodeOfOutcome, IsTheOneTheUsageLists) {
    EXPECT_EQ(static_cast<int>(exitCodeOf(GetParam().outcome)), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, ExitCodeOfOutcome,
                         testing::Values(OutcomeCode{RunOutcome::Done, 0},
                                         OutcomeCode{RunOutcome::RepairNeeded, 1},
                                         OutcomeCode{RunOutcome::DoneWithFailures, 3},
                                         OutcomeCode{RunOutcome::BrowserOpen, 4},
                                         OutcomeCode{RunOutcome::AnotherRepairRunning, 5},
                                         OutcomeCode{RunOutcome::NothingToUndo, 7}));

TEST(ExitCodeAfterLog, LostRecordTurnsSuccessIntoFailureAndKeepsTheRest) {
    EXPECT_EQ(exitCodeAfterLog(ExitCode::Done, false), ExitCode::DoneWithFailures);
    EXPECT_EQ(exitCodeAfterLog(ExitCode::Done, true), ExitCode::Done);
    EXPECT_EQ(exitCodeAfterLog(ExitCode::AnotherRepairRunning, false),
              ExitCode::AnotherRepairRunning);
}

}  // namespace
}  // namespace tovask
