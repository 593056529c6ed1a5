#include <algorithm>

#include "repair/certificates/InterceptingRoots.h"
#include "repair/certificates/RootCertificates.h"
#include "repair/certificates/StoredCertificate.h"
#include "repair/users/UserHives.h"
#include "tests/native/PublishedRoot.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

std::string der(std::uint8_t tag, const std::string& contents) {
    std::string element(1, static_cast<char>(tag));
    if (contents.size() < 0x80) {
        element.push_back(static_cast<char>(contents.size()));
    } else {
        element += {'\x82', static_cast<char>(contents.size() >> 8),
                    static_cast<char>(contents.size() & 0xff)};
    }
    return element + contents;
}

// A name of one attribute: "\x03" common name, "\x0a" organisation.
std::string name(char attribute, std::uint8_t stringTag, const std::string& text) {
    return der(0x30, der(0x31, der(0x30, der(0x06, std::string("\x55\x04", 2) + attribute) +
                                             der(stringTag, text))));
}

std::string certificate(const std::string& subject) {
    const auto version = der(0xa0, der(0x02, "\x02"));
    const auto algorithm = der(0x30, der(0x06, "\x2a\x86\x48"));
    const auto signedPart =
        der(0x30, version + der(0x02, "\x01") + algorithm + name('\x03', 0x13, "Issuer") +
                      der(0x30, std::string(30, '0')) + subject);
    return der(0x30, signedPart + algorithm + der(0x03, std::string(200, '\x01')));
}

std::string property(std::uint32_t id, const std::string& data) {
    std::string header;
    for (const auto word : {id, 1u, static_cast<std::uint32_t>(data.size())}) {
        for (int shift = 0; shift < 32; shift += 8) {
            header.push_back(static_cast<char>(word >> shift & 0xff));
        }
    }
    return header + data;
}

// A key-provider property whose container is "Interceptor".
std::string keyProvider() {
    std::string data = std::string("\x1c\0\0\0", 4) + std::string(24, '\0');
    for (const char c : std::string("Interceptor")) {
        data += {c, '\0'};
    }
    return data + std::string(2, '\0');
}

RegistryValue blobValue(const std::string& bytes) {
    return {regtype::kBinary, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

const std::string kCertificate = certificate(name('\x03', 0x0c, "Ad CA \xc3\xa9"));

struct BlobCase {
    std::string name;
    std::string blob;
    bool readable;
    bool namesKey;
};

class StoreBlob : public testing::TestWithParam<BlobCase> {};

TEST_P(StoreBlob, GivesTheCertificateAndItsKeyOnlyWhenWhole) {
    const auto bytes = blobValue(GetParam().blob).bytes;
    const auto stored = readStoredCertificate(bytes);
    ASSERT_EQ(stored.has_value(), GetParam().readable);
    if (stored) {
        EXPECT_EQ(stored->encoded, kCertificate);
        EXPECT_EQ(stored->namesKey, GetParam().namesKey);
        EXPECT_EQ(stored->keyContainer, GetParam().namesKey ? L"Interceptor" : L"");
    }
}

const std::string kWhole = property(32, kCertificate);

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Blobs, StoreBlob,
    testing::Values(
        BlobCase{"CertificateAlone", kWhole, true, false},
        BlobCase{"AfterAFriendlyName", property(11, std::string("n\0a\0", 4)) + kWhole, true, false},
        BlobCase{"WithItsKeyProvider", property(2, keyProvider()) + kWhole, true, true},
        BlobCase{"NoCertificate", property(11, "name"), false, false},
        BlobCase{"Empty", "", false, false},
        BlobCase{"HeaderCutShort", kWhole + std::string("\x0b\0\0", 3), false, false},
        BlobCase{"LengthPastTheEnd", kWhole.substr(0, kWhole.size() - 1), false, false},
        BlobCase{"LengthNearFourGigabytes", kWhole + std::string("\x0b\0\0\0\x01\0\0\0\xf0\xff\xff\xff", 12), false, false},
        BlobCase{"TheSameCertificateTwice", kWhole + kWhole, true, false},
        BlobCase{"AnotherCertificateAfterIt", kWhole + property(32, kPublishedCertificate), false, false}),
    [](const testing::TestParamInfo<BlobCase>& info) { return info.param.name; });
// clang-format on

TEST(CertificateSubject, PrefersTheCommonNameThenTheOrganisation) {
    EXPECT_EQ(subjectNameOf(kCertificate), L"Ad CA \u00e9");
    EXPECT_EQ(subjectNameOf(certificate(name('\x0a', 0x1e, std::string("\0A\0d", 4)))), L"Ad");
    EXPECT_EQ(subjectNameOf(certificate(der(0x30, ""))), L"");
    EXPECT_EQ(subjectNameOf(kCertificate.substr(0, 60)), L"");
    EXPECT_EQ(subjectNameOf("\x30\x84\xff\xff\xff\xff"), L"");
}

TEST(PublishedRoots, AreFoundByThumbprintInEitherCase) {
    EXPECT_EQ(publishedInterceptingRoot(L"c864484869d41d2b0d32319c5a62f9315aaf2cbd")->shippedWith,
              L"Superfish");
    EXPECT_FALSE(publishedInterceptingRoot(L"C864484869D41D2B0D32319C5A62F9315AAF2CBE"));
}

constexpr std::wstring_view kSid = L"S-1-5-21-11-22-33-1001";
const std::wstring kPublished(kPublishedThumbprint);
const std::wstring kOther = L"0123456789ABCDEF0123456789ABCDEF01234567";
const std::wstring kOwn = thumbprintOf(kCertificate);
const std::wstring kMachineStore =
    L"HKLM\\SOFTWARE\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\";
const std::wstring kUserStore = L"HKU\\" + std::wstring(kSid) +
                                L"\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\";
const std::wstring kPolicies =
    L"\\SOFTWARE\\Policies\\Microsoft\\SystemCertificates\\Root\\Certificates\\";
const std::wstring kEnterpriseStore =
    L"HKLM\\SOFTWARE\\Microsoft\\EnterpriseCertificates\\Root\\Certificates\\";
const std::wstring kThirdPartyStore =
    L"HKLM\\SOFTWARE\\Microsoft\\SystemCertificates\\AuthRoot\\Certificates\\";
const std::string kPublishedBlob = property(32, kPublishedCertificate);

enum class Verdict { Repaired, Information, NotListed };

struct RootCase {
    std::string name;
    std::wstring key;  // the certificate's key, as the platform names it
    std::string blob;
    std::wstring keyedInStoreOf;  // the personal store holding its key: "-" for none
    Verdict verdict;

    friend void PrintTo(const RootCase& c, std::ostream* out) { *out << c.name; }
};

class EachRoot : public testing::TestWithParam<RootCase> {
  protected:
    void SetUp() override {
        auto& platform = bench.platform;
        platform.registry.twoViews = true;
        platform.registry.addKeysEveryWindowsHas();
        platform.registry.addKeysEveryWindowsHas(L"HKU\\" + std::wstring(kSid));
        platform.registry.writeRaw(std::wstring(kProfileListKey) + std::wstring(kSid) + L"\\",
                                   L"ProfileImagePath", stringValue(L"C:\\Users\\ana"),
                                   RegistryView::Bits64);
        bench.everyUser = true;
        platform.registry.writeRaw(GetParam().key, L"Blob", blobValue(GetParam().blob),
                                   RegistryView::Bits64);
        if (GetParam().keyedInStoreOf != L"-") {
            platform.keyedCertificates.insert({GetParam().keyedInStoreOf, keyName()});
        }
        before = platform.registry.snapshot();
        bench.press();  // Internet Explorer only: the view says no
    }
    RunOutcome check() {
        bench.view.repairFindings = true;
        return bench.check();
    }
    bool present() {
        return bench.platform.RegKeyExists(GetParam().key, RegistryView::Bits64).value();
    }
    std::wstring keyName() const { return GetParam().key.substr(GetParam().key.size() - 41, 40); }
    bool listed() const { return anyLineHas(bench.view.lines, keyName() + L" = "); }

    RepairBench bench;
    std::map<std::wstring, fake::StoredValue> before;
};

TEST_P(EachRoot, IsRemovedWithConsentTheCheckAgreesAndTheUndoPutsItBack) {
    const auto verdict = GetParam().verdict;
    EXPECT_EQ(check(), verdict == Verdict::Repaired ? RunOutcome::RepairNeeded : RunOutcome::Done);
    EXPECT_EQ(listed(), verdict != Verdict::NotListed);
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_EQ(present(), verdict != Verdict::Repaired);
    EXPECT_EQ(check(), RunOutcome::Done);
    bench.undo();
    EXPECT_TRUE(bench.platform.registry.snapshot() == before);
}

TEST_P(EachRoot, IsOnlyReportedOnAManagedMachine) {
    bench.platform.machineJoin.cloudJoined = true;
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_TRUE(present());
    EXPECT_EQ(check(), RunOutcome::Done);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Stores, EachRoot,
    testing::Values(
        RootCase{"PublishedInTheMachinesStore", kMachineStore + kPublished + L"\\", kPublishedBlob, L"-", Verdict::Repaired},
        RootCase{"PublishedInAUsersStore", kUserStore + kPublished + L"\\", kPublishedBlob, L"-", Verdict::Repaired},
        RootCase{"PublishedInTheMachinesPolicyStore", L"HKLM" + kPolicies + kPublished + L"\\", kPublishedBlob, L"-", Verdict::Repaired},
        RootCase{"PublishedInAUsersPolicyStore", L"HKU\\" + std::wstring(kSid) + kPolicies + kPublished + L"\\", kPublishedBlob, L"-", Verdict::Repaired},
        RootCase{"PublishedInTheEnterpriseStore", kEnterpriseStore + kPublished + L"\\", kPublishedBlob, L"-", Verdict::Repaired},
        RootCase{"PublishedInTheThirdPartyStore", kThirdPartyStore + kPublished + L"\\", kPublishedBlob, L"-", Verdict::Repaired},
        RootCase{"PublishedUnderAnotherThumbprint", kMachineStore + kOther + L"\\", kPublishedBlob, L"-", Verdict::Repaired},
        RootCase{"AnotherUnderThePublishedThumbprint", kMachineStore + kPublished + L"\\", kWhole, L"-", Verdict::Information},
        RootCase{"KeyInTheMachinesPersonalStore", kMachineStore + kOwn + L"\\", kWhole, L"", Verdict::Information},
        RootCase{"KeyInTheUsersPersonalStore", kUserStore + kOwn + L"\\", kWhole, std::wstring(kSid), Verdict::Information},
        RootCase{"KeyNamedBesideTheRoot", kMachineStore + kOwn + L"\\", property(2, keyProvider()) + kWhole, L"-", Verdict::Information},
        RootCase{"NoKeyHere", kMachineStore + kOwn + L"\\", kWhole, L"-", Verdict::NotListed}),
    [](const testing::TestParamInfo<RootCase>& info) { return info.param.name; });
// clang-format on

TEST(RootStoreReach, TakesOneCertificatesKeyOfTheMachineOrAnAccount) {
    const auto section = [](std::wstring key) {
        return RegistryFileSection{std::move(key), false, {{L"Blob", std::nullopt}}};
    };
    const std::wstring store = L"\\SOFTWARE\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\";
    EXPECT_TRUE(withinRootStoreReach(section(L"HKEY_LOCAL_MACHINE" + store + kOther), true));
    EXPECT_TRUE(
        withinRootStoreReach(section(L"HKEY_USERS\\" + std::wstring(kSid) + store + kOther), true));
    EXPECT_FALSE(withinRootStoreReach(section(L"HKEY_LOCAL_MACHINE" + store + L"other"), true));
    EXPECT_FALSE(withinRootStoreReach(
        section(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\SystemCertificates\\MY\\Certificates\\" +
                kOther),
        true));
    const auto enterprise = kEnterpriseStore.substr(4) + kOther;
    EXPECT_TRUE(withinRootStoreReach(section(L"HKEY_LOCAL_MACHINE" + enterprise), true));
    EXPECT_FALSE(
        withinRootStoreReach(section(L"HKEY_USERS\\" + std::wstring(kSid) + enterprise), true));
}

// The certificate, not its key's name, says which root it is.
TEST(RootKeyName, OtherThanTheCertificatesThumbprintIsReportedWithIt) {
    RepairBench bench;
    bench.platform.registry.addKeysEveryWindowsHas();
    bench.platform.registry.writeRaw(kMachineStore + kPublished + L"\\", L"Blob", blobValue(kWhole),
                                     RegistryView::Bits64);
    bench.view.repairFindings = true;
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"cuya huella es " + kOwn + L" (solo se informa)"));
}

TEST(UnreadableRoot, IsAnErrorAndTheRestGoesOn) {
    RepairBench bench;
    bench.platform.registry.addKeysEveryWindowsHas();
    bench.platform.registry.writeRaw(kMachineStore + kOther + L"\\", L"Blob", blobValue("\x20"),
                                     RegistryView::Bits64);
    bench.platform.registry.writeRaw(kMachineStore + kPublished + L"\\", L"Blob", blobValue(kWhole),
                                     RegistryView::Bits64);
    bench.view.repairFindings = true;
    EXPECT_EQ(bench.check(), RunOutcome::DoneWithFailures);
    EXPECT_EQ(bench.errorLines().size(), 1u);
    EXPECT_TRUE(std::ranges::any_of(bench.view.lines, [](const std::wstring& line) {
        return line.find(L"Ad CA") != std::wstring::npos;
    }));
}

}  // namespace
}  // namespace tovask::test
