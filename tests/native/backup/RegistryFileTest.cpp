#include "repair/backup/RegistryFile.h"

#include <gtest/gtest.h>

#include <numeric>

#include "text/Utf16.h"

namespace tovask {
namespace {

using namespace regtype;

constexpr std::wstring_view kHead = L"Windows Registry Editor Version 5.00\r\n\r\n";
constexpr std::wstring_view kEnd = L"; Fin de la copia de seguridad\r\n";

std::string fileOf(std::wstring_view text) {
    return "\xFF\xFE" + toUtf16LeBytes(text);
}
std::string unended(std::wstring_view middle) {
    return fileOf(std::wstring(kHead).append(middle));
}
std::string framed(std::wstring_view middle) {
    return unended(std::wstring(middle).append(kEnd));
}
std::string inSection(std::wstring_view lines) {
    return framed(std::wstring(L"[HKEY_CURRENT_USER\\X]\r\n").append(lines));
}

RegistryValue typed(std::uint32_t type, std::vector<std::uint8_t> bytes) {
    return {type, std::move(bytes)};
}
RegistryValue text(std::wstring_view value) {
    const auto bytes = toUtf16LeBytes(std::wstring(value) + L'\0');
    return {kString, {bytes.begin(), bytes.end()}};
}
std::vector<RegistryFileSection> inKey(std::vector<RegistryFileEntry> entries) {
    return {{L"HKEY_CURRENT_USER\\X", false, std::move(entries)}};
}
std::vector<std::uint8_t> countingBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

TEST(RegistryFileWrite, WritesTheRegistryEditorFormat) {
    const std::vector<RegistryFileSection> sections = {
        {L"HKEY_CURRENT_USER\\Software\\Tovask",
         false,
         {{L"", text(L"Inicio")},
          {L"Zona", typed(kDword, {0x2a, 0, 0, 0})},
          {L"Ruta", typed(kExpandString, {0x25, 0, 0x54, 0, 0x25, 0, 0, 0})},
          {L"Datos", typed(kBinary, {0x01, 0xff})},
          {L"Viejo", std::nullopt}}},
        {L"HKEY_CURRENT_USER\\Software\\Tovask\\Cache", true, {}}};
    const auto written = writeRegistryFile(sections);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.value(), fileOf(L"Windows Registry Editor Version 5.00\r\n"
                                      L"\r\n"
                                      L"[HKEY_CURRENT_USER\\Software\\Tovask]\r\n"
                                      L"@=\"Inicio\"\r\n"
                                      L"\"Zona\"=dword:0000002a\r\n"
                                      L"\"Ruta\"=hex(2):25,00,54,00,25,00,00,00\r\n"
                                      L"\"Datos\"=hex:01,ff\r\n"
                                      L"\"Viejo\"=-\r\n"
                                      L"\r\n"
                                      L"[-HKEY_CURRENT_USER\\Software\\Tovask\\Cache]\r\n"
                                      L"\r\n"
                                      L"; Fin de la copia de seguridad\r\n"));
}

struct RoundTripCase {
    std::string name;
    std::vector<RegistryFileSection> sections;

    friend void PrintTo(const RoundTripCase& trip, std::ostream* out) { *out << trip.name; }
};

class RegistryFileRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RegistryFileRoundTrip, ReadsBackWhatWasWritten) {
    const auto written = writeRegistryFile(GetParam().sections);
    ASSERT_TRUE(written.ok());
    const auto read = readRegistryFile(written.value());
    ASSERT_TRUE(std::holds_alternative<std::vector<RegistryFileSection>>(read));
    EXPECT_EQ(std::get<std::vector<RegistryFileSection>>(read), GetParam().sections);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Awkward, RegistryFileRoundTrip, testing::Values(
    RoundTripCase{"NoSections", {}},
    RoundTripCase{"EscapedNames", {{L"HKEY_CURRENT_USER\\a]b=\"c\"[d]  ", false, {
        {L"say \"hi\" \\ there\\", text(L"C:\\Temp\\\"q\"")}, {L"@", text(L"=")},
        {L"-", text(L"-")}, {L" x= ", text(L"  ")}}}}},
    RoundTripCase{"NonLatinText", {{L"HKEY_CURRENT_USER\\Программы\\日本", false, {
        {L"Ñandú \U0001F600", text(L"ключ \U0001F600 末")}}}}},
    RoundTripCase{"EmptyData", inKey({
        {L"", text(L"")}, {L"sz", typed(kString, {})}, {L"expand", typed(kExpandString, {})},
        {L"multi", typed(kMultiString, {0, 0})}, {L"no multi", typed(kMultiString, {})},
        {L"binary", typed(kBinary, {})}, {L"dword", typed(kDword, {})}})},
    RoundTripCase{"KeptAsHex", inKey({
        {L"unterminated", typed(kString, {'a', 0})}, {L"odd", typed(kString, {'a', 0, 0})},
        {L"inner nul", typed(kString, {'a', 0, 0, 0, 'b', 0, 0, 0})},
        {L"line break", typed(kString, {'a', 0, '\r', 0, '\n', 0, 0, 0})},
        {L"none", typed(kNone, {1})}, {L"qword", typed(kQword, countingBytes(8))},
        {L"large", typed(0x12345678, {0xab})}, {L"largest", typed(0xffffffff, {})},
        {L"short dword", typed(kDword, {1, 2, 3})}})},
    RoundTripCase{"LongData", inKey({
        {L"long", typed(kBinary, countingBytes(300))},
        {std::wstring(100, L'n'), typed(kMultiString, countingBytes(90))}})},
    RoundTripCase{"DeletionsAndRepeatedKeys", {
        {L"HKEY_CURRENT_USER\\X", false, {{L"", std::nullopt}, {L"gone", std::nullopt}}},
        {L"HKEY_CURRENT_USER\\X\\Y", true, {}},
        {L"HKEY_CURRENT_USER\\X", false, {{L"again", text(L"x")}}}}}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST(RegistryFileWrite, WrapsLongHexAfterACommaWithinEightyCharacters) {
    const RegistryFileSection section{
        L"HKEY_CURRENT_USER\\X", false, {{L"Datos", typed(kBinary, countingBytes(300))}}};
    const auto written = writeRegistryFile({&section, 1});
    ASSERT_TRUE(written.ok());
    const auto text = fromUtf16LeBytes(written.value().substr(2)).value();
    std::size_t brokenLines = 0;
    bool continues = false;
    for (std::size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos;
         start = end + 2) {
        const std::wstring_view line(text.data() + start, end - start);
        EXPECT_LE(line.size(), 80u);
        EXPECT_EQ(continues, line.starts_with(L"  ")) << std::string(line.begin(), line.end());
        continues = line.ends_with(L"\\");
        if (continues) {
            ++brokenLines;
            EXPECT_TRUE(line.ends_with(L",\\"));
            EXPECT_GT(line.size() + 3, 80u) << "a byte more would still have fit";
        }
    }
    EXPECT_EQ(brokenLines, 12u);
}

TEST(RegistryFileWrite, RefusesNamesThatCannotBeWritten) {
    const std::wstring nul{L'a', L'\0', L'b'};
    const std::wstring key = L"HKEY_CURRENT_USER\\X";
    std::vector<RegistryFileSection> refused = {{key, true, {{L"a", std::nullopt}}}};
    for (const auto& name : {std::wstring(L"a\rb"), std::wstring(L"a\nb"), nul}) {
        refused.push_back({key + L"\\" + name, false, {}});
        refused.push_back({key, false, {{name, std::nullopt}}});
    }
    for (const auto& badKey :
         {std::wstring(), L"\\" + key, key + L"\\", key + L"\\\\Y", L"-" + key}) {
        refused.push_back({badKey, false, {}});
    }
    for (const auto& section : refused) {
        EXPECT_EQ(writeRegistryFile({&section, 1}).error(), std::errc::invalid_argument)
            << std::string(section.key.begin(), section.key.end());
    }
}

struct RefusalCase {
    std::string name;
    std::string bytes;
    RegistryFileProblem problem;

    friend void PrintTo(const RefusalCase& refusal, std::ostream* out) { *out << refusal.name; }
};

class RegistryFileRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(RegistryFileRefusal, ReportsTheFirstProblem) {
    const auto read = readRegistryFile(GetParam().bytes);
    ASSERT_TRUE(std::holds_alternative<RegistryFileProblem>(read));
    const auto problem = std::get<RegistryFileProblem>(read);
    EXPECT_EQ(problem.fault, GetParam().problem.fault);
    EXPECT_EQ(problem.line, GetParam().problem.line);
}

using enum RegistryFileFault;

RefusalCase badLine(std::string name, std::wstring_view line) {
    return {std::move(name), inSection(std::wstring(line) + L"\r\n"), {Malformed, 4}};
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Faults, RegistryFileRefusal, testing::Values(
    RefusalCase{"Empty", "", {NotUtf16, 0}},
    RefusalCase{"NoByteOrderMark", "Windows Registry Editor Version 5.00\r\n", {NotUtf16, 0}},
    RefusalCase{"OddByteCount", framed(L"") + "x", {NotUtf16, 0}},
    RefusalCase{"OlderHeader", fileOf(L"REGEDIT4\r\n\r\n; Fin de la copia de seguridad\r\n"),
                {NoHeader, 1}},
    RefusalCase{"NoEndMarker", unended(L"[HKEY_CURRENT_USER\\X]\r\n\r\n"), {Truncated, 4}},
    RefusalCase{"UnterminatedLastLine", unended(L"; Fin de la copia de seguridad"), {Truncated, 3}},
    RefusalCase{"InsideContinuedHex",
                unended(L"[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex:01,\\\r\n"), {Truncated, 4}},
    RefusalCase{"LineAfterEndMarker", framed(L"") + toUtf16LeBytes(L"\r\n"), {Truncated, 4}},
    RefusalCase{"MalformedBeforeCut",
                unended(L"[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex:0g\r\n"), {Malformed, 4}},
    RefusalCase{"EntryBeforeSection", framed(L"\"a\"=-\r\n"), {Malformed, 3}},
    RefusalCase{"EntryInRemovedKey",
                framed(L"[-HKEY_CURRENT_USER\\X]\r\n\"a\"=-\r\n"), {Malformed, 4}},
    RefusalCase{"ContinuationNotHex", inSection(L"\"a\"=hex:01,\\\r\n  zz\r\n"), {Malformed, 5}},
    badLine("BadEscape", L"\"a\\n\"=-"),          badLine("UnterminatedQuote", L"\"a=-"),
    badLine("BlankBeforeEquals", L"\"a\" =-"),     badLine("TextAfterString", L"\"a\"=\"b\" "),
    badLine("UnknownDataForm", L"\"a\"=qword:01"), badLine("HexTypeNotHex", L"\"a\"=hex(z):01"),
    badLine("BadHexDigit", L"\"a\"=hex:0g"),       badLine("OneDigitByte", L"\"a\"=hex:1,02"),
    badLine("ThreeDigitByte", L"\"a\"=hex:012"),   badLine("TrailingComma", L"\"a\"=hex:01,"),
    badLine("ShortDword", L"\"a\"=dword:0000001"), badLine("LongDword", L"\"a\"=dword:000000001"),
    badLine("BareCarriageReturn", L"\"a\"=\"b\rc\""), badLine("BareLineFeed", L"\"a\"=\"b\nc\""),
    badLine("EmptyKey", L"[]"),                    badLine("EmptyRemovedKey", L"[-]"),
    badLine("EmptyKeyComponent", L"[HKEY_CURRENT_USER\\\\X]"),
    badLine("UnclosedKey", L"[HKEY_CURRENT_USER"), badLine("IndentedKey", L" [HKEY_CURRENT_USER]")),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST(RegistryFileRead, RefusesEveryCutShortFile) {
    const auto file =
        writeRegistryFile(inKey({{L"a", text(L"b")},
                                 {std::wstring(60, L'n'), typed(kBinary, countingBytes(10))}}))
            .value();
    ASSERT_TRUE(std::holds_alternative<std::vector<RegistryFileSection>>(readRegistryFile(file)));
    for (std::size_t cut = 0; cut < file.size(); cut += 2) {
        const auto read = readRegistryFile(file.substr(0, cut));
        EXPECT_TRUE(std::holds_alternative<RegistryFileProblem>(read)) << "cut at byte " << cut;
    }
}

}  // namespace
}  // namespace tovask
