// What unwanted software leaves to make the program stand down, reach a share
// or damage a policy file, through the built program on the Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "tests/ui/HijackedPrefix.h"
#include "tests/ui/ProgramRun.h"
#include "tests/win32/TestFolder.h"
#include "text/RegistryEncoding.h"

namespace tovask::testsupport {
namespace {

const std::wstring kEnrollment =
    L"HKLM\\SOFTWARE\\Microsoft\\Enrollments\\{0B7C6C1A-5A2E-4E1B-9D3C-7A1F0E2B4C6D}\\";
const std::wstring kChromeLock = L"HKLM\\SOFTWARE\\Policies\\Google\\Chrome\\";
const std::wstring kShellFolders =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\";
constexpr std::string_view kPolicies =
    R"({"policies": {"Homepage": {"URL": "http://buscar.example"}, "Timeout": 2e308}})";

bool anyLineHas(const std::vector<std::string>& lines, std::string_view part) {
    return std::ranges::any_of(
        lines, [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

std::wstring programFiles() {
    wchar_t folder[MAX_PATH] = {};
    return std::wstring(folder, ExpandEnvironmentStringsW(L"%ProgramFiles%", folder, MAX_PATH) - 1);
}

TEST(TrustUnattended, TwoStringsAShareAndAHugeNumberNeitherStopNorDamageTheRepair) {
    TestFolder folder;
    const HijackedPrefix prefix;
    Win32Platform platform;
    const auto firefox = programFiles() + L"\\Mozilla Firefox";
    const auto policyFile = firefox + L"\\distribution\\policies.json";
    CreateDirectoryW(firefox.c_str(), nullptr);
    CreateDirectoryW((firefox + L"\\distribution").c_str(), nullptr);
    writeBytes(policyFile, kPolicies);
    const auto desktop = platform.RegReadValue(kShellFolders + L"Desktop", RegistryView::Default);
    ASSERT_FALSE(platform.RegWrite(kEnrollment + L"ProviderID", L"Ofertas", RegistryType::String));
    ASSERT_FALSE(
        platform.RegWrite(kEnrollment + L"UPN", L"x@ofertas.example", RegistryType::String));
    ASSERT_FALSE(platform.RegWrite(kChromeLock + L"HomepageLocation", L"http://buscar.example",
                                   RegistryType::String));
    ASSERT_FALSE(platform.RegWrite(kShellFolders + L"Desktop", L"\\\\127.0.0.1\\tovask\\Desktop",
                                   RegistryType::String));
    ProgramRuns run(folder);
    const auto& lines = run.lines();

    EXPECT_EQ(run(L"/check /browsers /shortcuts"), 1) << testing::PrintToString(lines);
    EXPECT_TRUE(anyLineHas(lines, "no se pudo comprobar")) << testing::PrintToString(lines);
    EXPECT_TRUE(anyLineHas(lines, "\\\\127.0.0.1\\tovask\\Desktop = carpeta de accesos directos"));
    run(L"/repair /browsers /shortcuts");
    EXPECT_FALSE(
        platform.RegReadValue(kChromeLock + L"HomepageLocation", RegistryView::Default).ok())
        << testing::PrintToString(lines);
    // Wine keeps no access lists, so the file backups refuse their folder and
    // the file is left with an error line; where they can be kept, the file
    // loses its lock and keeps its number as written.
    const auto policies = readBytes(policyFile);
    EXPECT_TRUE(policies == kPolicies ||
                (policies.find("\"Timeout\": 2e308") != std::string::npos &&
                 policies.find("Homepage") == std::string::npos))
        << policies;

    run(L"/undo");
    std::error_code ignored;
    std::filesystem::remove_all(firefox, ignored);
    for (const auto view : {RegistryView::Bits32, RegistryView::Bits64}) {
        platform.RegDeleteIn(kEnrollment, view);
        platform.RegDeleteIn(kChromeLock, view);
    }
    removeFileCopies();
    if (desktop.ok()) {
        platform.RegWriteRaw(kShellFolders, L"Desktop", desktop.value(), RegistryView::Default);
    }
}

}  // namespace
}  // namespace tovask::testsupport
