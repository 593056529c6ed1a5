#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "tests/win32/HostsFolders.h"
#include "tests/win32/QuietPlatform.h"
#include "tests/win32/TestFolder.h"
#include "tests/win32/TestRegistry.h"

namespace tovask {
namespace {

using testsupport::readValue;
using testsupport::writeStringDirectly;

const std::wstring kId = L"aaaabbbbccccddddeeeeffffgggghhhh";
const std::wstring kChromeExtension = L"Software\\Google\\Chrome\\Extensions\\" + kId;
const std::wstring kEdgeExtension = L"Software\\Microsoft\\Edge\\Extensions\\" + kId;
const std::wstring kRestrictions =
    L"Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
const std::wstring kSettings = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Each folder on the way, as the browser makes them.
void createFolders(const std::wstring& path) {
    for (auto at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryW(path.c_str(), nullptr);
}

// A home machine taken over without a single browser policy: extensions from
// the registry, a hidden "Opciones de Internet", a remote proxy script and a
// profile's foreign search engine.
TEST(OtherWaysIn, CheckRepairCheckUndoOnTheRealRegistry) {
    testsupport::HostsFolders folders;
    testsupport::QuietPlatform platform;
    folders.pointAt(platform);
    RecordingView view;
    BrowserRepair repair(platform, view, everyOffered);
    const RunRequest request{L"",
                             false,
                             {FindingKind::IeRestriction, FindingKind::RegistryExtension,
                              FindingKind::ProfilePreference, FindingKind::Network}};
    repair.loadPaths();
    writeStringDirectly(HKEY_LOCAL_MACHINE, kChromeExtension, L"update_url",
                        L"https://ofertas.example/crx", KEY_WOW64_32KEY);
    writeStringDirectly(HKEY_CURRENT_USER, kEdgeExtension, L"update_url",
                        L"https://ofertas.example/crx", 0);
    writeStringDirectly(HKEY_CURRENT_USER, kRestrictions, L"NoBrowserOptions", L"1", 0);
    writeStringDirectly(HKEY_CURRENT_USER, kSettings, L"AutoConfigURL",
                        L"http://ofertas.example/p.pac", 0);
    const auto localAppData = platform.ExpandEnvironment(L"%LOCALAPPDATA%");
    ASSERT_TRUE(localAppData.ok());
    const auto profile = localAppData.value() + L"\\Google\\Chrome\\User Data\\Default";
    createFolders(profile);
    const auto preferences = profile + L"\\Preferences";
    const std::string hijacked = R"({"default_search_provider_data":{"template_url_data":)"
                                 R"({"url":"https://buscar.example/?q={searchTerms}"}}})";
    testsupport::writeBytes(preferences, hijacked);

    EXPECT_EQ(repair.checkWhatNeedsRepair(request), RunOutcome::RepairNeeded);
    repair.VerificarNavegador(L"IEFrame", request);
    EXPECT_FALSE(testsupport::keyExists(HKEY_LOCAL_MACHINE, kChromeExtension, KEY_WOW64_32KEY));
    EXPECT_FALSE(testsupport::keyExists(HKEY_CURRENT_USER, kEdgeExtension));
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER, kRestrictions, L"NoBrowserOptions"));
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER, kSettings, L"AutoConfigURL"));
    view.lines.clear();
    EXPECT_EQ(repair.checkWhatNeedsRepair(request), RunOutcome::Done);
    EXPECT_EQ(testsupport::readBytes(preferences), R"({"default_search_provider_data":{}})");
    repair.undoChanges();
    // Wine keeps no access lists, so its undo refuses the copies' folder.
    if (testsupport::systemKeepsAccessLists()) {
        EXPECT_EQ(testsupport::readBytes(preferences), hijacked);
    }
    EXPECT_TRUE(testsupport::keyExists(HKEY_LOCAL_MACHINE, kChromeExtension, KEY_WOW64_32KEY));
    EXPECT_TRUE(testsupport::keyExists(HKEY_CURRENT_USER, kEdgeExtension));
    EXPECT_EQ(readValue(HKEY_CURRENT_USER, kRestrictions, L"NoBrowserOptions"),
              testsupport::stringValue(L"1"));
    EXPECT_EQ(readValue(HKEY_CURRENT_USER, kSettings, L"AutoConfigURL"),
              testsupport::stringValue(L"http://ofertas.example/p.pac"));

    DeleteFileW(preferences.c_str());
    testsupport::removeKeyEverywhere(HKEY_LOCAL_MACHINE, L"Software\\Google\\Chrome\\Extensions");
    testsupport::removeKeyEverywhere(HKEY_CURRENT_USER, L"Software\\Microsoft\\Edge\\Extensions");
    testsupport::removeKeyEverywhere(HKEY_CURRENT_USER, kRestrictions);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettings.c_str(), L"AutoConfigURL");
}

}  // namespace
}  // namespace tovask
