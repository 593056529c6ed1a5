#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "repair/backup/files/Sha256.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "tests/win32/HostsFolders.h"
#include "tests/win32/QuietPlatform.h"
#include "tests/win32/TestFolder.h"
#include "tests/win32/TestRegistry.h"

namespace tovask {
namespace {

using testsupport::writeStringDirectly;

const std::wstring kChrome = L"Software\\Policies\\Google\\Chrome";
const std::wstring kEdge = L"Software\\Policies\\Microsoft\\Edge";
const std::wstring kFirefoxInstalls = L"SOFTWARE\\Mozilla\\Mozilla Firefox";
constexpr std::string_view kPolicyFile =
    "{\"policies\": {\"DisableAppUpdate\": true, \"Homepage\": {\"URL\": \"http://x.example\"}}}";

// Both browsers' policy keys as the system holds them, byte for byte.
std::vector<Result<RegistryKeyContent>> policyKeys(PlatformOps& platform) {
    return {platform.RegReadTree(L"HKLM\\" + kChrome + L"\\", RegistryView::Bits32),
            platform.RegReadTree(L"HKLM\\" + kChrome + L"\\", RegistryView::Bits64),
            platform.RegReadTree(L"HKCU\\" + kEdge + L"\\", RegistryView::Default)};
}

std::wstring wideHashOf(std::string_view bytes) {
    const auto hash = sha256Hex(bytes);
    return {hash.begin(), hash.end()};
}

bool sameKeys(const std::vector<Result<RegistryKeyContent>>& a,
              const std::vector<Result<RegistryKeyContent>>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].ok() != b[i].ok() || (a[i].ok() && !(a[i].value() == b[i].value()))) {
            return false;
        }
    }
    return true;
}

TEST(BrowserPoliciesRun, CheckRepairCheckUndoPutsTwoBrowsersAndFirefoxsFileBackExactly) {
    testsupport::HostsFolders folders;
    testsupport::QuietPlatform platform;
    folders.pointAt(platform);
    RecordingView view;
    // As /browsers answers.
    BrowserRepair repair(platform, view, everyOffered);
    const RunRequest request{L"", false, {FindingKind::BrowserPolicy}};
    repair.loadPaths();
    for (const REGSAM bits : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        writeStringDirectly(HKEY_LOCAL_MACHINE, kChrome, L"HomepageLocation", L"http://x.example",
                            bits);
        writeStringDirectly(HKEY_LOCAL_MACHINE, kChrome + L"\\ExtensionInstallForcelist", L"1",
                            L"aaaa;https://malo.example/update", bits);
        writeStringDirectly(HKEY_LOCAL_MACHINE, kChrome, L"IncognitoModeAvailability", L"1", bits);
    }
    writeStringDirectly(HKEY_CURRENT_USER, kEdge + L"\\Recommended", L"ProxyServer",
                        L"10.6.6.6:8080", 0);
    const auto firefox = folders.windows + L"\\Firefox";
    ASSERT_TRUE(CreateDirectoryW(firefox.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((firefox + L"\\distribution").c_str(), nullptr));
    const auto policyFile = firefox + L"\\distribution\\policies.json";
    testsupport::writeBytes(policyFile, kPolicyFile);
    writeStringDirectly(HKEY_LOCAL_MACHINE, kFirefoxInstalls + L"\\115.0\\Main",
                        L"Install Directory", firefox + L"\\", KEY_WOW64_32KEY);
    const auto before = policyKeys(platform);

    EXPECT_EQ(repair.checkWhatNeedsRepair(request), RunOutcome::RepairNeeded);
    repair.VerificarNavegador(L"IEFrame", request);
    const auto repaired = policyKeys(platform);
    EXPECT_FALSE(sameKeys(repaired, before));
    EXPECT_TRUE(testsupport::readValue(HKEY_LOCAL_MACHINE, kChrome, L"IncognitoModeAvailability",
                                       KEY_WOW64_64KEY));
    EXPECT_FALSE(
        testsupport::readValue(HKEY_LOCAL_MACHINE, kChrome, L"HomepageLocation", KEY_WOW64_32KEY));
    const auto repairedFile = testsupport::readBytes(policyFile);
    EXPECT_EQ(repairedFile.find("Homepage"), std::string::npos);
    EXPECT_NE(repairedFile.find("DisableAppUpdate"), std::string::npos);
    EXPECT_EQ(repair.checkWhatNeedsRepair(request), RunOutcome::Done);
    repair.undoChanges();
    EXPECT_TRUE(sameKeys(policyKeys(platform), before));
    // Where the system keeps no access list, the backup folder cannot be
    // shown to be private when the undo finds it again: it is refused, and
    // the file stays as repaired with its copy kept.
    const auto backups = folders.system + L"\\drivers\\etc\\TovaskCopias";
    if (testsupport::systemKeepsAccessLists()) {
        EXPECT_EQ(testsupport::readBytes(policyFile), kPolicyFile);
    } else {
        EXPECT_EQ(view.lines.back().rfind(L"Error: " + backups + L" (", 0), 0u);
        EXPECT_EQ(testsupport::readBytes(policyFile), repairedFile);
        EXPECT_EQ(testsupport::readBytes(backups + L"\\" + wideHashOf(kPolicyFile) + L".copia"),
                  kPolicyFile);
    }

    testsupport::removeKeyEverywhere(HKEY_LOCAL_MACHINE, kChrome);
    testsupport::removeKeyEverywhere(HKEY_CURRENT_USER, kEdge);
    testsupport::removeKeyEverywhere(HKEY_LOCAL_MACHINE, kFirefoxInstalls);
}

}  // namespace
}  // namespace tovask
