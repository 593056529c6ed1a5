#include "repair/policies/FirefoxPolicyFile.h"

#include <gtest/gtest.h>

#include "repair/policies/DeviceEnrollments.h"
#include "text/RegistryEncoding.h"

namespace tovask {
namespace {

constexpr std::string_view kPolicyFile = R"({
  "policies": {
    "DisableTelemetry": true,
    "Homepage": {"URL": "http://a", "Locked": true},
    "ExtensionSettings": {
      "abc@x": {"installation_mode": "force_installed", "install_url": "http://a.xpi"},
      "def@x": {"installation_mode": "allowed"}
    },
    "Extensions": {"Install": ["http://b.xpi"], "Uninstall": ["old@x"]},
    "Bookmarks": [{"Title": "Página", "URL": "http://c"}]
  }
})";

TEST(FirefoxPolicyFile, FindsEachLockAndRemovesOnlyThoseKeepingOtherPolicies) {
    const auto locks = findPolicyFileLocks(kPolicyFile);
    ASSERT_TRUE(locks);
    std::vector<std::wstring> places;
    for (const auto& lock : *locks) {
        places.push_back(placeOf(lock));
    }
    EXPECT_EQ(places, (std::vector<std::wstring>{L"Homepage", L"ExtensionSettings\\abc@x",
                                                 L"Extensions\\Install\\http://b.xpi"}));
    EXPECT_EQ(policyFileWithoutLocks(kPolicyFile, *locks), R"({
  "policies": {
    "DisableTelemetry": true,
    "ExtensionSettings": {
      "def@x": {
        "installation_mode": "allowed"
      }
    },
    "Extensions": {
      "Uninstall": [
        "old@x"
      ]
    },
    "Bookmarks": [
      {
        "Title": "Página",
        "URL": "http://c"
      }
    ]
  }
}
)");
}

struct FileLockAlone {
    std::string name;
    std::string_view policy;
    std::wstring place;
    LockKind kind;
};

class FirefoxPolicyFileLock : public testing::TestWithParam<FileLockAlone> {};

TEST_P(FirefoxPolicyFileLock, IsFoundAndRemovedAlone) {
    const auto file = std::string(R"({"policies": {)") + std::string(GetParam().policy) + "}}";
    const auto locks = findPolicyFileLocks(file);
    ASSERT_TRUE(locks);
    ASSERT_EQ(locks->size(), 1u);
    EXPECT_EQ(placeOf(locks->front()), GetParam().place);
    EXPECT_EQ(locks->front().kind, GetParam().kind);
    EXPECT_EQ(policyFileWithoutLocks(file, *locks), "{\n  \"policies\": {}\n}\n");
}

INSTANTIATE_TEST_SUITE_P(
    Locks, FirefoxPolicyFileLock,
    testing::Values(FileLockAlone{"SearchEngines", R"("SearchEngines": {"Default": "Evil"})",
                                  L"SearchEngines", LockKind::StartAndSearch},
                    FileLockAlone{"NewTabPage", R"("NewTabPage": false)", L"NewTabPage",
                                  LockKind::StartAndSearch},
                    FileLockAlone{"LockedExtension", R"("Extensions": {"Locked": ["a@x"]})",
                                  L"Extensions\\Locked\\a@x", LockKind::ForcedExtension},
                    FileLockAlone{"Proxy", R"("Proxy": {"Mode": "manual", "HTTPProxy": "p:80"})",
                                  L"Proxy", LockKind::ForcedTraffic}),
    [](const auto& info) { return info.param.name; });

TEST(FirefoxPolicyFile, ReportsAResolverNoBrowserOffersAndNeverRemovesIt) {
    for (const auto& [policy, reported] : std::initializer_list<std::pair<std::string, bool>>{
             {R"({"ProviderURL": "https://doh.ofertas.example/q"})", true},
             {R"({"ProviderURL": "https://firefox.dns.nextdns.io/"})", false},
             {R"({"Enabled": false, "ProviderURL": "https://doh.ofertas.example/q"})", false}}) {
        const auto file = R"({"policies": {"DNSOverHTTPS": )" + policy + "}}";
        const auto locks = findPolicyFileLocks(file);
        ASSERT_TRUE(locks);
        ASSERT_EQ(locks->size(), reported ? 1u : 0u) << policy;
        if (reported) {
            EXPECT_TRUE(locks->front().reportOnly);
            EXPECT_EQ(policyFileWithoutLocks(file, *locks), file);
        }
    }
}

const std::vector<PolicyLock> kHomepage = {{L"", L"Homepage", L"", L"", LockKind::StartAndSearch}};

TEST(FirefoxPolicyFile, LeavesAFileThatIsNotJsonAlone) {
    EXPECT_FALSE(findPolicyFileLocks(R"({"policies": {"Homepage": )"));
    EXPECT_FALSE(policyFileWithoutLocks(R"({"policies": {"Homepage": )", kHomepage));
}

TEST(FirefoxPolicyFile, TextAfterANulIsNotJson) {
    EXPECT_FALSE(findPolicyFileLocks(std::string_view("{}\0{}", 5)));
}

TEST(FirefoxPolicyFile, KeepsAFileWithoutLocksByteForByte) {
    constexpr std::string_view kUnlocked = "{\"policies\":{\"DisableTelemetry\":true}}\r\n";
    const auto locks = findPolicyFileLocks(kUnlocked);
    ASSERT_TRUE(locks);
    EXPECT_TRUE(locks->empty());
    EXPECT_EQ(policyFileWithoutLocks(kUnlocked, kHomepage), kUnlocked);
}

// Values Firefox applies as they are: each is written back exactly as the
// file wrote it, or the file is refused saying why.
struct ExactValue {
    std::string name;
    std::string value;
    std::optional<policyjson::JsonRefusal> refusal = std::nullopt;

    friend void PrintTo(const ExactValue& value, std::ostream* out) { *out << value.name; }
};

class ExactRewrite : public testing::TestWithParam<ExactValue> {};

TEST_P(ExactRewrite, KeepsTheValueOrSaysWhyItCannot) {
    const auto file =
        R"({"policies": {"Homepage": {"URL": "http://a"}, "Other": )" + GetParam().value + "}}";
    auto refusal = policyjson::JsonRefusal::NotJson;
    const auto rewritten = policyFileWithoutLocks(file, kHomepage, &refusal);
    if (GetParam().refusal) {
        EXPECT_FALSE(rewritten);
        EXPECT_EQ(refusal, *GetParam().refusal);
        return;
    }
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(*rewritten,
              "{\n  \"policies\": {\n    \"Other\": " + GetParam().value + "\n  }\n}\n");
}

using enum policyjson::JsonRefusal;

INSTANTIATE_TEST_SUITE_P(
    Values, ExactRewrite,
    testing::Values(
        ExactValue{"AboveTheLargestDouble", "2e308"}, ExactValue{"FarAboveIt", "-1e400"},
        ExactValue{"HugeExponentLongDigits", "123456789012345678901234567890e-99999999999"},
        ExactValue{"BeyondDoublePrecision", "0.10000000000000000555111512312578270211"},
        ExactValue{"BeyondSixtyFourBits", "184467440737095516160"},
        ExactValue{"LoneSurrogate", R"("\udc00")", LoneSurrogate},
        ExactValue{"StringWrittenAsANumberWouldBe", R"("\uDFFF1")", LoneSurrogate},
        ExactValue{"DeeperThanCarried", std::string(199, '[') + std::string(199, ']'), TooDeep}),
    [](const auto& info) { return info.param.name; });

struct PrefsScript {
    std::string name;
    std::string_view script;
    std::optional<std::wstring> configFile;

    friend void PrintTo(const PrefsScript& prefs, std::ostream* out) { *out << prefs.name; }
};

class Autoconfig : public testing::TestWithParam<PrefsScript> {};

TEST_P(Autoconfig, IsFoundInAPrefCallOnly) {
    EXPECT_EQ(autoconfigFileName(GetParam().script), GetParam().configFile);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, Autoconfig,
    testing::Values(
        PrefsScript{"Pref", "pref(\"general.config.filename\", \"mozilla.cfg\");", L"mozilla.cfg"},
        PrefsScript{"LockPrefAfterAddress",
                    "pref(\"a\", \"http://x\");\nlockPref( 'general.config.filename','e.cfg' );",
                    L"e.cfg"},
        PrefsScript{"LineComment", "// pref(\"general.config.filename\", \"m.cfg\");",
                    std::nullopt},
        PrefsScript{"BlockComment", "/* pref(\"general.config.filename\", \"m.cfg\"); */",
                    std::nullopt},
        PrefsScript{"OtherPref", "pref(\"general.config.obscure_value\", 0);", std::nullopt}),
    [](const auto& info) { return info.param.name; });

NamedRegistryValue text(std::wstring name, std::wstring_view data) {
    return {std::move(name), stringValue(data)};
}

struct EnrollmentCase {
    std::string name;
    std::vector<RegistryKeyContent> subkeys;
    std::vector<EnrollmentClaim> claims;

    friend void PrintTo(const EnrollmentCase& enrollment, std::ostream* out) {
        *out << enrollment.name;
    }
};

class Enrollments : public testing::TestWithParam<EnrollmentCase> {};

TEST_P(Enrollments, AreClaimsOfAProvider) {
    EXPECT_EQ(readDeviceEnrollments({L"Enrollments", {}, GetParam().subkeys}), GetParam().claims);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, Enrollments, testing::Values(
    EnrollmentCase{"Real", {{L"{1}", {text(L"ProviderID", L"MS DM Server"), text(L"UPN", L"ana@example.org"),
                   {L"EnrollmentState", dwordValue(1)}, {L"EnrollmentType", dwordValue(6)},
                   text(L"DMPCertThumbPrint", L"0A1B"), text(L"SID", L"S-1-5-21-1")}, {}}},
                   {{L"{1}", L"MS DM Server", 1, 6, L"0A1B", L"S-1-5-21-1"}}},
    EnrollmentCase{"StateAsText", {{L"{2}", {text(L"providerid", L"Evil"), text(L"EnrollmentState", L"1")}, {}}},
                   {{L"{2}", L"Evil", std::nullopt, std::nullopt, L"", L""}}},
    EnrollmentCase{"None", {{L"Context", {}, {}}, {L"{3}", {text(L"UPN", L"ana@example.org")},
                   {}}}, {}}),
    [](const auto& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask
