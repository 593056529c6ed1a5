#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "repair/run/BrowserRepair.h"
#include "repair/run/RecordingView.h"
#include "tests/win32/HostsFolders.h"
#include "tests/win32/QuietPlatform.h"
#include "tests/win32/TestRegistry.h"

namespace tovask {
namespace {

using testsupport::writeStringDirectly;

const std::wstring kChrome = L"Software\\Policies\\Google\\Chrome";
const std::wstring kEdge = L"Software\\Policies\\Microsoft\\Edge";

// Both browsers' policy keys as the system holds them, byte for byte.
std::vector<Result<RegistryKeyContent>> policyKeys(PlatformOps& platform) {
    return {platform.RegReadTree(L"HKLM\\" + kChrome + L"\\", RegistryView::Bits32),
            platform.RegReadTree(L"HKLM\\" + kChrome + L"\\", RegistryView::Bits64),
            platform.RegReadTree(L"HKCU\\" + kEdge + L"\\", RegistryView::Default)};
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

TEST(BrowserPoliciesRun, CheckRepairCheckUndoPutsBothBrowsersBackExactly) {
    testsupport::HostsFolders folders;
    testsupport::QuietPlatform platform;
    folders.pointAt(platform);
    RecordingView view;
    view.repairFindings = true;  // as /browsers answers
    BrowserRepair repair(platform, view);
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
    const auto before = policyKeys(platform);

    EXPECT_EQ(repair.checkWhatNeedsRepair(), RunOutcome::RepairNeeded);
    repair.VerificarNavegador(L"IEFrame");
    const auto repaired = policyKeys(platform);
    EXPECT_FALSE(sameKeys(repaired, before));
    EXPECT_TRUE(testsupport::readValue(HKEY_LOCAL_MACHINE, kChrome, L"IncognitoModeAvailability",
                                       KEY_WOW64_64KEY));
    EXPECT_FALSE(
        testsupport::readValue(HKEY_LOCAL_MACHINE, kChrome, L"HomepageLocation", KEY_WOW64_32KEY));
    EXPECT_EQ(repair.checkWhatNeedsRepair(), RunOutcome::Done);
    repair.DeshacerCambios();
    EXPECT_TRUE(sameKeys(policyKeys(platform), before));

    testsupport::removeKeyEverywhere(HKEY_LOCAL_MACHINE, kChrome);
    testsupport::removeKeyEverywhere(HKEY_CURRENT_USER, kEdge);
}

}  // namespace
}  // namespace tovask
