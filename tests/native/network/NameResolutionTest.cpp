#include <gtest/gtest.h>

#include "repair/network/NetworkFindings.h"
#include "repair/network/WinsockCatalog.h"
#include "text/RegistryEncoding.h"

namespace tovask {
namespace {

RegistryValue names(std::wstring_view list) {
    RegistryValue value{regtype::kMultiString, {}};
    for (const wchar_t c : list) {
        value.bytes.push_back(static_cast<std::uint8_t>(c == L'|' ? 0 : c));
        value.bytes.push_back(0);
    }
    value.bytes.insert(value.bytes.end(), {0, 0, 0, 0});
    return value;
}

NetworkFacts factsOf(bool managed) {
    NetworkFacts facts;
    facts.managedMachine = managed;
    facts.userWritableFolders = {L"C:\\Users\\ana", L"C:\\ProgramData"};
    facts.dnsSuffixes = {L"oficina.example"};
    return facts;
}

struct RuleCase {
    const char* name;
    std::vector<NamedRegistryValue> values;
    bool managed;
    FindingWeight weight;  // None too for a rule that cannot be read
    std::wstring_view description;
    bool readable = true;

    friend void PrintTo(const RuleCase& c, std::ostream* out) { *out << c.name; }
};

const std::wstring kGeneric = L"GenericDNSServers";

const RuleCase kRules[] = {
    // clang-format off
    {"BanksDomainToRogueServers", {{L"Name", names(L".banco.example|www.tienda.example")}, {kGeneric, stringValue(L"85.255.112.1;203.0.113.5")}},
     false, FindingWeight::Repairable, L"Regla de resolución de nombres que envía .banco.example, www.tienda.example a los servidores DNS "
     L"85.255.112.1 (rango usado por secuestradores de DNS), 203.0.113.5"},
    {"EveryName", {{L"Name", names(L".")}, {kGeneric, stringValue(L"203.0.113.5")}}, false, FindingWeight::Repairable,
     L"Regla de resolución de nombres que envía todos los nombres al servidor DNS 203.0.113.5"},
    {"ATopLevelDomain", {{L"Name", stringValue(L".com")}, {kGeneric, stringValue(L"203.0.113.5")}}, false, FindingWeight::Repairable,
     L"Regla de resolución de nombres que envía .com al servidor DNS 203.0.113.5"},
    {"DirectAccessServers", {{L"Name", names(L"www.banco.example")}, {L"DirectAccessDNSServers", stringValue(L"203.0.113.5")}},
     false, FindingWeight::Repairable, L"Regla de resolución de nombres que envía www.banco.example al servidor DNS 203.0.113.5"},
    {"OnAManagedMachine", {{L"Name", names(L".")}, {kGeneric, stringValue(L"203.0.113.5")}}, true, FindingWeight::Information,
     L"Regla de resolución de nombres que envía todos los nombres al servidor DNS 203.0.113.5"},
    {"OrganisationsPrivateDomain", {{L"Name", names(L".contoso.corp|.contoso.local")}, {kGeneric, stringValue(L"10.0.0.2")}},
     false, FindingWeight::None, L""},
    {"MachinesOwnSuffix", {{L"Name", names(L".oficina.example")}, {kGeneric, stringValue(L"10.0.0.2")}}, false, FindingWeight::None, L""},
    {"SingleLabelName", {{L"Name", names(L"servidor")}, {kGeneric, stringValue(L"10.0.0.2")}}, false, FindingWeight::None, L""},
    {"ReverseLookup", {{L"Name", names(L".168.192.in-addr.arpa")}, {kGeneric, stringValue(L"10.0.0.2")}}, false, FindingWeight::None, L""},
    {"DirectAccessExemption", {{L"Name", names(L".banco.example")}, {L"ConfigOptions", dwordValue(4)}}, false, FindingWeight::None, L""},
    {"Missing", {}, false, FindingWeight::None, L""},
    {"NamesOfAnotherType", {{L"Name", dwordValue(1)}, {kGeneric, stringValue(L"203.0.113.5")}}, false, FindingWeight::None, L"", false},
    {"ServersOfAnotherType", {{L"Name", names(L".")}, {kGeneric, {regtype::kBinary, {1, 2}}}}, false, FindingWeight::None, L"", false},
    // clang-format on
};

class NameResolutionRuleCase : public testing::TestWithParam<RuleCase> {};

TEST_P(NameResolutionRuleCase, IsReadAndWeighed) {
    const auto rule = readNameResolutionRule({L"{rule}", GetParam().values, {}});
    ASSERT_EQ(rule.has_value(), GetParam().readable);
    if (rule) {
        const auto assessment = assessNameResolutionRule(*rule, factsOf(GetParam().managed));
        EXPECT_EQ(assessment.weight, GetParam().weight);
        EXPECT_EQ(assessment.description, GetParam().description);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, NameResolutionRuleCase, testing::ValuesIn(kRules),
                         [](const auto& info) { return info.param.name; });

std::vector<std::uint8_t> packed(std::string_view path, std::wstring_view protocol,
                                 std::size_t size = 376 + 512) {
    std::vector<std::uint8_t> item(size, 0xCC);
    std::ranges::fill(item.begin(), item.begin() + std::min<std::size_t>(size, 260), 0);
    std::ranges::copy(path.substr(0, std::min(path.size(), size)), item.begin());
    for (std::size_t i = 0; i <= protocol.size() && 376 + 2 * i + 1 < size; ++i) {
        const wchar_t c = i < protocol.size() ? protocol[i] : L'\0';
        item[376 + 2 * i] = static_cast<std::uint8_t>(c);
        item[376 + 2 * i + 1] = 0;
    }
    return item;
}

TEST(PackedProvider, IsTheLibraryAndTheProtocolsNameWhereTheBytesHoldThem) {
    const std::string garbage(300, 'x');
    const std::optional<PackedProvider> none;
    for (const auto& [bytes, provider] :
         std::initializer_list<std::pair<std::vector<std::uint8_t>, std::optional<PackedProvider>>>{
             {packed("%SystemRoot%\\system32\\mswsock.dll", L"MSAFD Tcpip [TCP/IP]"),
              PackedProvider{L"%SystemRoot%\\system32\\mswsock.dll", L"MSAFD Tcpip [TCP/IP]"}},
             {packed("C:\\Ofertas\\lsp.dll", L"", 100),
              PackedProvider{L"C:\\Ofertas\\lsp.dll", L""}},
             {packed(garbage, L"Ofertas"), none},
             {packed("", L"Ofertas"), none},
             {{}, none}}) {
        EXPECT_EQ(readPackedProvider(bytes), provider);
    }
}

struct ProviderCase {
    const char* name;
    std::wstring_view library;
    FindingWeight weight;
    std::wstring_view title;

    friend void PrintTo(const ProviderCase& c, std::ostream* out) { *out << c.name; }
};

const ProviderCase kProviders[] = {
    // clang-format off
    {"WindowsOwn", L"C:\\WINDOWS\\system32\\MSWSOCK.dll", FindingWeight::None, L""},
    {"WindowsNameElsewhere", L"C:\\Windows\\mswsock.dll", FindingWeight::Information, L"Biblioteca de red ajena a Windows"},
    {"BareName", L"mswsock.dll", FindingWeight::Information, L"Biblioteca de red ajena a Windows"},
    {"InstalledProgram", L"C:\\Program Files\\Bonjour\\mdnsNSP.dll", FindingWeight::Information, L"Biblioteca de red ajena a Windows"},
    {"InTheProfile", L"C:\\Users\\ana\\AppData\\Roaming\\Ofertas\\lsp.dll", FindingWeight::Information,
     L"Biblioteca de red guardada en una carpeta del usuario"},
    // clang-format on
};

class WinsockProvider : public testing::TestWithParam<ProviderCase> {};

TEST_P(WinsockProvider, IsReportedUnlessItIsWindowsOwn) {
    const auto assessment =
        assessWinsockProvider(GetParam().library, L"", L"C:\\Windows\\System32", factsOf(false));
    EXPECT_EQ(assessment.weight, GetParam().weight);
    EXPECT_EQ(assessment.title.what, GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Providers, WinsockProvider, testing::ValuesIn(kProviders),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tovask
