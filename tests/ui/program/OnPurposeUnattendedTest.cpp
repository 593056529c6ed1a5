// What people set on purpose, through the built program on the Wine prefix:
// the person's own HOSTS entries stay beside a redirect the repair takes out,
// and an organisation's allow list in its policy key keeps what it names.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "tests/ui/HijackedPrefix.h"
#include "tests/ui/ProgramRun.h"
#include "tests/win32/TestFolder.h"
#include "text/RegistryEncoding.h"

namespace tovask::testsupport {
namespace {

const std::wstring kChromePolicies = L"HKLM\\SOFTWARE\\Policies\\Google\\Chrome\\";
const std::wstring kAllowKey = L"HKLM\\SOFTWARE\\Policies\\Tovask\\Allow\\";
const std::wstring kExtension = L"abcdefghijklmnopabcdefghijklmnop";

// The organisation's home page, store extension and cloud proxy script, with
// the mode that turns the script on.
struct PolicySeed {
    std::wstring key;
    std::wstring name;
    std::wstring text;
};
const std::vector<PolicySeed> kOrganisationsPolicies = {
    {kChromePolicies, L"HomepageLocation", L"https://intranet.empresa.example/inicio"},
    {kChromePolicies + L"ExtensionInstallForcelist\\", L"1",
     kExtension + L";https://clients2.google.com/service/update2/crx"},
    {kChromePolicies, L"ProxyPacUrl", L"https://pac.nube.example/empresa.pac"},
    {kChromePolicies, L"ProxyMode", L"pac_script"},
};

RegistryValue entries(const std::vector<std::wstring>& lines) {
    RegistryValue value{REG_MULTI_SZ, {}};
    std::wstring text;
    for (const auto& line : lines) {
        text += line + L'\0';
    }
    text += L'\0';
    for (const wchar_t c : text) {
        value.bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        value.bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return value;
}

std::size_t countOf(const std::vector<std::string>& lines, std::string_view part) {
    return static_cast<std::size_t>(std::ranges::count_if(
        lines, [&](const std::string& line) { return line.find(part) != std::string::npos; }));
}

// Docker Desktop's block and an advertising list, beside a bank's name sent elsewhere.
const std::string kHostsBefore =
    "# Copyright (c) 1993-2009 Microsoft Corp.\r\n"
    "127.0.0.1       localhost\r\n"
    "# Added by Docker Desktop\r\n"
    "192.168.1.20 host.docker.internal\r\n"
    "127.0.0.1 kubernetes.docker.internal\r\n"
    "# End of section\r\n"
    "0.0.0.0 ads.example.com\r\n"
    "0.0.0.0 tracker.example.net # lista de anuncios\r\n";
const std::string kRedirect = "203.0.113.9 www.banco.com\r\n";

TEST(OnPurposeUnattended, OnlyTheRedirectInHostsCountsAndGoesEveryOtherByteStays) {
    TestFolder folder;
    removeFileCopies();
    const HijackedPrefix prefix;
    const auto hosts = HijackedPrefix::systemHosts();
    writeBytes(hosts, kHostsBefore + kRedirect + "\r\n");
    ProgramRuns run(folder);
    const auto& lines = run.lines();

    EXPECT_EQ(run(L"/check"), 1) << testing::PrintToString(lines);
    const auto counted = [&](std::string_view name) {
        return std::ranges::any_of(lines, [&](const std::string& line) {
            return line.starts_with("Por reparar") && line.find(name) != std::string::npos;
        });
    };
    EXPECT_TRUE(counted("www.banco.com")) << testing::PrintToString(lines);
    for (const auto* own : {"docker.internal", "ads.example.com", "tracker.example.net"}) {
        EXPECT_FALSE(counted(own)) << own;
    }
    EXPECT_EQ(run(L"/repair"), 0) << testing::PrintToString(lines);
    EXPECT_EQ(readBytes(hosts), kHostsBefore + "\r\n");
    EXPECT_EQ(run(L"/check"), 0) << testing::PrintToString(lines);
    EXPECT_EQ(run(L"/undo"), 0) << testing::PrintToString(lines);
    EXPECT_EQ(readBytes(hosts), kHostsBefore + kRedirect + "\r\n");
}

TEST(OnPurposeUnattended, AnOrganisationsAllowListKeepsWhatItNamesAndTheRunExitsZero) {
    TestFolder folder;
    removeFileCopies();
    const HijackedPrefix prefix;
    Win32Platform platform;
    for (const auto& seed : kOrganisationsPolicies) {
        ASSERT_FALSE(platform.RegWriteRaw(seed.key, seed.name, tovask::stringValue(seed.text),
                                          RegistryView::Default));
    }
    ASSERT_FALSE(platform.RegWriteRaw(
        kAllowKey, L"Empresa",
        entries({L"pagina https://intranet.empresa.example/", L"extension " + kExtension,
                 L"pac https://pac.nube.example/"}),
        RegistryView::Default));
    ProgramRuns run(folder);
    const auto& lines = run.lines();

    EXPECT_EQ(run(L"/repair /browsers /network"), 0) << testing::PrintToString(lines);
    EXPECT_EQ(run(L"/check /browsers /network"), 0) << testing::PrintToString(lines);
    EXPECT_EQ(countOf(lines, "permitido por la lista"), kOrganisationsPolicies.size())
        << testing::PrintToString(lines);
    for (const auto& seed : kOrganisationsPolicies) {
        const auto kept = platform.RegReadValue(seed.key + seed.name, RegistryView::Default);
        EXPECT_TRUE(kept.ok() && kept.value() == tovask::stringValue(seed.text))
            << testing::PrintToString(seed.name);
    }

    platform.RegDeleteIn(kAllowKey, RegistryView::Default);
    EXPECT_EQ(run(L"/check /browsers /network"), 1) << testing::PrintToString(lines);
    platform.RegDeleteIn(L"HKLM\\SOFTWARE\\Policies\\Tovask\\", RegistryView::Default);
    platform.RegDeleteIn(kChromePolicies, RegistryView::Default);
}

}  // namespace
}  // namespace tovask::testsupport
