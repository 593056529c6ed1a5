#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "repair/grouppolicy/PolicyFileFormat.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "tests/win32/HostsFolders.h"
#include "tests/win32/QuietPlatform.h"
#include "tests/win32/TestFolder.h"
#include "tests/win32/TestRegistry.h"
#include "text/RegistryEncoding.h"
#include "text/Utf16.h"

namespace tovask {
namespace {

using testsupport::readValue;
using testsupport::writeStringDirectly;

const std::wstring kChrome = L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
const std::wstring kChromePolicies = L"Software\\Policies\\Google\\Chrome";
const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kEdgeOptions =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\msedge.exe";

bool anyLineHas(const std::vector<std::wstring>& lines, std::wstring_view part) {
    return std::ranges::any_of(
        lines, [&](const std::wstring& line) { return line.find(part) != std::wstring::npos; });
}

// Two policies of another program, which the repair keeps byte for byte.
std::string otherProgramsPolicies() {
    return policyEntryBytes(L"Software\\Policies\\Proveedor\\Programa", L"Idioma",
                            stringValue(L"es")) +
           policyEntryBytes(L"Software\\Policies\\Proveedor\\Programa", L"Registro",
                            stringValue(L"no"));
}

const std::string kPolicyHeader("PReg\x01\0\0\0", 8);

// A forced extension and a search provider beside the other program's policies.
std::string policyFile() {
    return kPolicyHeader +
           policyEntryBytes(kChromePolicies + L"\\ExtensionInstallForcelist", L"1",
                            stringValue(L"aaaabbbbccccddddeeeeffffgggghhhh;https://x.example/u")) +
           policyEntryBytes(kChromePolicies, L"DefaultSearchProviderSearchURL",
                            stringValue(L"https://buscar.example/?q={searchTerms}")) +
           otherProgramsPolicies();
}

const std::wstring kTask =
    LR"(<?xml version="1.0" encoding="UTF-16"?>
<Task xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task"><Actions><Exec>
<Command>)" +
    kChrome +
    LR"(</Command><Arguments>--load-extension=C:\ProgramData\ext</Arguments>
</Exec></Actions></Task>)";

// Local policy files, a debugger on the browser, a start-up value and a task
// that each put a hijack back. Wine keeps no security on the copies folder, so
// the files stay as they are there (each an Error: line), and its scheduler
// reads no task: the task file is read by XmlLite all the same.
TEST(RepairsThatStick, CheckRepairCheckUndoOnTheRealSystem) {
    testsupport::HostsFolders folders;
    testsupport::QuietPlatform platform;
    folders.pointAt(platform);
    RecordingView view;
    BrowserRepair repair(platform, view, everyOffered);
    const RunRequest request{L"",
                             false,
                             {FindingKind::LocalPolicyFile, FindingKind::BrowserPolicy,
                              FindingKind::BrowserDebugger, FindingKind::Startup}};
    repair.loadPaths();
    const std::wstring files[] = {folders.system + L"\\GroupPolicy\\Machine\\Registry.pol",
                                  folders.system + L"\\GroupPolicy\\User\\Registry.pol",
                                  folders.system + L"\\Tasks\\Carga"};
    for (const auto* folder :
         {L"\\GroupPolicy", L"\\GroupPolicy\\Machine", L"\\GroupPolicy\\User", L"\\Tasks"}) {
        CreateDirectoryW((folders.system + folder).c_str(), nullptr);
    }
    testsupport::writeBytes(files[0], policyFile());
    testsupport::writeBytes(files[1], policyFile());
    testsupport::writeBytes(files[2], "\xFF\xFE" + toUtf16LeBytes(kTask));
    writeStringDirectly(HKEY_LOCAL_MACHINE, kEdgeOptions, L"Debugger", L"C:\\Users\\Public\\d.exe",
                        0);
    writeStringDirectly(HKEY_CURRENT_USER, kRun, L"Noticias",
                        L"\"" + kChrome + L"\" https://noticias.example", 0);

    EXPECT_EQ(repair.checkWhatNeedsRepair(request), RunOutcome::RepairNeeded);
    for (const auto* part : {L"Machine\\Registry.pol\\", L"User\\Registry.pol\\", L"msedge.exe",
                             L"\\Run\\Noticias", L"\\Carga", L"DefaultSearchProviderSearchURL"}) {
        EXPECT_TRUE(anyLineHas(view.lines, part)) << testing::PrintToString(part);
    }
    EXPECT_FALSE(anyLineHas(view.lines, L"Idioma"));
    repair.VerificarNavegador(L"IEFrame", request);
    EXPECT_FALSE(readValue(HKEY_LOCAL_MACHINE, kEdgeOptions, L"Debugger"));
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER, kRun, L"Noticias"));
    // Wine keeps no security on the copies folder, so the undo leaves the
    // files as the repair left them; their undo is proven natively.
    EXPECT_EQ(testsupport::readBytes(files[0]), kPolicyHeader + otherProgramsPolicies());
    EXPECT_EQ(testsupport::readBytes(files[1]), kPolicyHeader + otherProgramsPolicies());
    view.lines.clear();
    repair.checkWhatNeedsRepair(request);
    EXPECT_FALSE(anyLineHas(view.lines, L"\\Run\\Noticias"));
    repair.undoChanges();
    EXPECT_EQ(readValue(HKEY_CURRENT_USER, kRun, L"Noticias"),
              testsupport::stringValue(L"\"" + kChrome + L"\" https://noticias.example"));
    EXPECT_TRUE(readValue(HKEY_LOCAL_MACHINE, kEdgeOptions, L"Debugger"));

    testsupport::removeKeyEverywhere(HKEY_LOCAL_MACHINE, kEdgeOptions);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun.c_str(), L"Noticias");
}

}  // namespace
}  // namespace tovask
