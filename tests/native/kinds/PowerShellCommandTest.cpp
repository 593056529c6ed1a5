#include <gtest/gtest.h>

#include "repair/startup/EncodedCommand.h"
#include "repair/startup/PowerShellCommand.h"

namespace tovask::test {
namespace {

struct ArgumentsCase {
    std::string name;
    std::wstring arguments;
    PowerShellCommandLine read;

    friend void PrintTo(const ArgumentsCase& c, std::ostream* out) { *out << c.name; }
};

class PowerShellArguments : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(PowerShellArguments, AreReadAsPowerShellReadsThem) {
    EXPECT_EQ(readPowerShellArguments(splitArguments(GetParam().arguments)), GetParam().read);
}

const std::optional<std::wstring> kNone;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Options, PowerShellArguments,
    testing::Values(
        ArgumentsCase{"ShortestEncoded", L"-e X", {L"X", kNone, false, false}},
        ArgumentsCase{"ExIsThePolicy", L"-ex Bypass -e X", {L"X", kNone, false, true}},
        ArgumentsCase{"PolicyByItsOwnBeginning", L"-ep unr -c a  b", {kNone, L"a b", false, true}},
        ArgumentsCase{"PolicyBeginningTwoShare", L"-ep un -c a", {kNone, L"a", false, false}},
        ArgumentsCase{"EncodedArgumentsTakeTheirOwn", L"-encodeda X -ea Y -c a", {kNone, L"a", false, false}},
        ArgumentsCase{"HiddenByNumber", L"-w 01 -e X", {L"X", kNone, true, false}},
        ArgumentsCase{"HiddenByItsBeginning", L"-WindowStyle h -e X", {L"X", kNone, true, false}},
        ArgumentsCase{"MinimizedIsNotHidden", L"-w min -e X", {L"X", kNone, false, false}},
        ArgumentsCase{"VersionTakesAValue", L"-v 5 -e X", {L"X", kNone, false, false}},
        ArgumentsCase{"ConsoleFileTakesAValue", L"-PSConsoleFile -c.psc1 -e X", {L"X", kNone, false, false}},
        ArgumentsCase{"FileEndsTheOptions", L"-File a.ps1 -e X", {kNone, kNone, false, false}},
        ArgumentsCase{"CommandTakesTheRest", L"-c a -e X", {kNone, L"a -e X", false, false}},
        ArgumentsCase{"FirstPlainArgumentBeginsTheScript", L"Get-Date -e X", {kNone, L"Get-Date -e X", false, false}},
        ArgumentsCase{"UnknownOptionPassedOver", L"-Foo -e X", {L"X", kNone, false, false}},
        ArgumentsCase{"FirstEncodedStands", L"-e X -e Y", {L"X", kNone, false, false}}),
    [](const testing::TestParamInfo<ArgumentsCase>& info) { return info.param.name; });
// clang-format on

struct ScriptCase {
    std::string name;
    std::wstring script;
    bool hijack;

    friend void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.name; }
};

class PowerShellScripts : public testing::TestWithParam<ScriptCase> {};

TEST_P(PowerShellScripts, DownloadAndRunCode) {
    EXPECT_EQ(powerShellScriptHijack(GetParam().script).has_value(), GetParam().hijack);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Scripts, PowerShellScripts,
    testing::Values(
        ScriptCase{"Iex", L"iex $s", true},
        ScriptCase{"BacktickedIex", L"I`E`X $s", true},
        ScriptCase{"InvokeExpression", L"Invoke-Expression (Invoke-RestMethod $u)", true},
        ScriptCase{"DownloadString", L"(New-Object Net.WebClient).DownloadString($u) > $f", true},
        ScriptCase{"BitsThenStart", L"Start-BitsTransfer $u $f; Start-Process $f", true},
        ScriptCase{"WebRequestThenCall", L"iwr $u -OutFile $f;&$f", true},
        ScriptCase{"StartsYandexOnAnAddress", L"Start-Process \"$env:LOCALAPPDATA\\Yandex\\YandexBrowser\\Application\\browser.exe\" https://x.example", true},
        ScriptCase{"FetchesFromTheBrowsersMaker", L"iwr https://disk.yandex.example/d/copia -OutFile $f", false},
        ScriptCase{"VariableNamedIex", L"$iex = 1; $fiex = 2", false},
        ScriptCase{"BitsAlone", L"Start-BitsTransfer $u $f", false},
        ScriptCase{"AddressWithAmpersand", L"iwr 'https://a.example/?a=1&b=2' -OutFile $f", false},
        ScriptCase{"ChainedByDoubleAmpersand", L"iwr $u -OutFile $f && echo listo", false},
        ScriptCase{"Housekeeping", L"Remove-Item $env:TEMP\\*.log", false}),
    [](const testing::TestParamInfo<ScriptCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask::test
