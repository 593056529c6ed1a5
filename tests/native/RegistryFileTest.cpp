#include "repair/RegistryFile.h"

#include <gtest/gtest.h>

#include "platform/Utf16.h"

namespace tovask {
namespace {

constexpr std::wstring_view kHead = L"Windows Registry Editor Version 5.00\r\n\r\n";
constexpr std::wstring_view kEnd = L"; Fin de la copia de seguridad\r\n";

std::string fileOf(std::wstring_view text) {
    return "\xFF\xFE" + toUtf16LeBytes(text);
}
std::string framed(std::wstring_view middle) {
    return fileOf(std::wstring(kHead).append(middle).append(kEnd));
}
std::string inSection(std::wstring_view lines) {
    return framed(std::wstring(L"[HKEY_CURRENT_USER\\X]\r\n").append(lines));
}

RegistryValue typed(std::uint32_t type, std::vector<std::uint8_t> bytes) {
    return {type, std::move(bytes)};
}
RegistryValue text(std::wstring_view value) {
    const auto bytes = toUtf16LeBytes(std::wstring(value) + L'\0');
    return {regtype::kString, {bytes.begin(), bytes.end()}};
}
std::vector<std::uint8_t> countingBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    return bytes;
}

TEST(RegistryFileWrite, WritesTheRegistryEditorFormat) {
    const std::vector<RegistryFileSection> sections = {
        {L"HKEY_CURRENT_USER\\Software\\Tovask",
         false,
         {{L"", text(L"Inicio")},
          {L"Zona", typed(regtype::kDword, {0x2a, 0, 0, 0})},
          {L"Ruta", typed(regtype::kExpandString, {0x25, 0, 0x54, 0, 0x25, 0, 0, 0})},
          {L"Datos", typed(regtype::kBinary, {0x01, 0xff})},
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
};

class RegistryFileRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RegistryFileRoundTrip, ReadsBackWhatWasWritten) {
    const auto written = writeRegistryFile(GetParam().sections);
    ASSERT_TRUE(written.ok());
    const auto read = readRegistryFile(written.value());
    ASSERT_TRUE(std::holds_alternative<std::vector<RegistryFileSection>>(read));
    EXPECT_EQ(std::get<std::vector<RegistryFileSection>>(read), GetParam().sections);
}

INSTANTIATE_TEST_SUITE_P(
    Awkward, RegistryFileRoundTrip,
    testing::Values(
        RoundTripCase{"NoSections", {}},
        RoundTripCase{"EscapedNames",
                      {{L"HKEY_CURRENT_USER\\a]b=\"c\"[d]  ",
                        false,
                        {{L"say \"hi\" \\ there\\", text(L"C:\\Temp\\\"q\"")},
                         {L"@", text(L"=")},
                         {L"-", text(L"-")},
                         {L" x= ", text(L"  ")}}}}},
        RoundTripCase{"EmptyData",
                      {{L"HKEY_CURRENT_USER\\X",
                        false,
                        {{L"", text(L"")},
                         {L"sz", typed(regtype::kString, {})},
                         {L"expand", typed(regtype::kExpandString, {})},
                         {L"multi", typed(regtype::kMultiString, {0, 0})},
                         {L"multi none", typed(regtype::kMultiString, {})},
                         {L"binary", typed(regtype::kBinary, {})},
                         {L"dword", typed(regtype::kDword, {})}}}}},
        RoundTripCase{"NonLatinText",
                      {{L"HKEY_CURRENT_USER\\Программы\\日本",
                        false,
                        {{L"Ñandú \U0001F600", text(L"ключ \U0001F600 末")}}}}},
        RoundTripCase{"StringsKeptAsHex",
                      {{L"HKEY_CURRENT_USER\\X",
                        false,
                        {{L"unterminated", typed(regtype::kString, {'a', 0})},
                         {L"odd", typed(regtype::kString, {'a', 0, 0})},
                         {L"inner nul", typed(regtype::kString, {'a', 0, 0, 0, 'b', 0, 0, 0})},
                         {L"line break", typed(regtype::kString, {'a', 0, '\r', 0, '\n', 0, 0, 0})},
                         {L"two ends", typed(regtype::kString, {'a', 0, 0, 0, 0, 0})}}}}},
        RoundTripCase{"OddTypes",
                      {{L"HKEY_CURRENT_USER\\X",
                        false,
                        {{L"none", typed(regtype::kNone, {1})},
                         {L"big endian", typed(5, {0, 0, 0, 1})},
                         {L"qword", typed(regtype::kQword, countingBytes(8))},
                         {L"large", typed(0x12345678, {0xab})},
                         {L"largest", typed(0xffffffff, {})},
                         {L"short dword", typed(regtype::kDword, {1, 2, 3})},
                         {L"long dword", typed(regtype::kDword, countingBytes(5))}}}}},
        RoundTripCase{
            "LongData",
            {{L"HKEY_CURRENT_USER\\X",
              false,
              {{L"long", typed(regtype::kBinary, countingBytes(300))},
               {std::wstring(100, L'n'), typed(regtype::kMultiString, countingBytes(90))}}}}},
        RoundTripCase{
            "DeletionsAndRepeatedKeys",
            {{L"HKEY_CURRENT_USER\\X", false, {{L"", std::nullopt}, {L"gone", std::nullopt}}},
             {L"HKEY_CURRENT_USER\\X\\Y", true, {}},
             {L"HKEY_CURRENT_USER\\X", false, {{L"again", text(L"x")}}}}}),
    [](const auto& info) { return info.param.name; });

TEST(RegistryFileWrite, WrapsLongHexAfterACommaWithinEightyCharacters) {
    const RegistryFileSection section{
        L"HKEY_CURRENT_USER\\X", false, {{L"Datos", typed(regtype::kBinary, countingBytes(300))}}};
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
    std::vector<RegistryFileSection> refused = {{key, false, {{L"a\rb", std::nullopt}}},
                                                {key, false, {{L"a\nb", std::nullopt}}},
                                                {key, false, {{nul, std::nullopt}}},
                                                {key, true, {{L"a", std::nullopt}}}};
    for (const std::wstring& badKey : std::vector<std::wstring>{
             L"", key + L"\ry", key + L"\ny", key + nul, L"HKEY_CURRENT_USER\\\\X", key + L"\\",
             L"\\" + key, L"-" + key}) {
        refused.push_back({badKey, false, {}});
    }
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_EQ(writeRegistryFile({&refused[i], 1}).error(), std::errc::invalid_argument)
            << "case " << i;
    }
}

TEST(RegistryFileRead, AcceptsCommentsBlankLinesAndLooseContinuations) {
    const auto read = readRegistryFile(framed(
        L"; a comment\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex(3):0A,\\\r\n    Ff,\\\r\n01\r\n"
        L"\r\n\"b\"=dword:0000ABCD\r\n"));
    ASSERT_TRUE(std::holds_alternative<std::vector<RegistryFileSection>>(read));
    const std::vector<RegistryFileSection> expected = {
        {L"HKEY_CURRENT_USER\\X",
         false,
         {{L"a", typed(regtype::kBinary, {0x0a, 0xff, 0x01})},
          {L"b", typed(regtype::kDword, {0xcd, 0xab, 0, 0})}}}};
    EXPECT_EQ(std::get<std::vector<RegistryFileSection>>(read), expected);
}

struct RefusalCase {
    std::string name;
    std::string bytes;
    RegistryFileProblem problem;
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

INSTANTIATE_TEST_SUITE_P(
    Faults, RegistryFileRefusal,
    testing::Values(
        RefusalCase{"Empty", "", {NotUtf16, 0}},
        RefusalCase{"NoByteOrderMark", "Windows Registry Editor Version 5.00\r\n", {NotUtf16, 0}},
        RefusalCase{"OddByteCount", framed(L"") + "x", {NotUtf16, 0}},
        RefusalCase{
            "OlderHeader", fileOf(std::wstring(L"REGEDIT4\r\n\r\n").append(kEnd)), {NoHeader, 1}},
        RefusalCase{
            "HeaderWithBlank", fileOf(L"Windows Registry Editor Version 5.00 \r\n"), {NoHeader, 1}},
        RefusalCase{"NoEndMarker",
                    fileOf(std::wstring(kHead) + L"[HKEY_CURRENT_USER\\X]\r\n\r\n"),
                    {Truncated, 4}},
        RefusalCase{"UnterminatedLastLine",
                    fileOf(std::wstring(kHead) + L"; Fin de la copia de seguridad"),
                    {Truncated, 3}},
        RefusalCase{"InsideContinuedHex",
                    fileOf(std::wstring(kHead) + L"[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex:01,\\\r\n"),
                    {Truncated, 4}},
        RefusalCase{"LineAfterEndMarker",
                    fileOf(std::wstring(kHead).append(kEnd) + L"\r\n"),
                    {Truncated, 4}},
        RefusalCase{"MalformedBeforeCut",
                    fileOf(std::wstring(kHead) + L"[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex:0g\r\n"),
                    {Malformed, 4}},
        RefusalCase{"EntryBeforeSection", framed(L"\"a\"=-\r\n"), {Malformed, 3}},
        RefusalCase{
            "EntryInRemovedKey", framed(L"[-HKEY_CURRENT_USER\\X]\r\n\"a\"=-\r\n"), {Malformed, 4}},
        RefusalCase{"BadEscape", inSection(L"\"a\\n\"=-\r\n"), {Malformed, 4}},
        RefusalCase{"UnterminatedQuote", inSection(L"\"a=-\r\n"), {Malformed, 4}},
        RefusalCase{"BlankBeforeEquals", inSection(L"\"a\" =-\r\n"), {Malformed, 4}},
        RefusalCase{"TextAfterString", inSection(L"\"a\"=\"b\" \r\n"), {Malformed, 4}},
        RefusalCase{"UnknownDataForm", inSection(L"\"a\"=qword:01\r\n"), {Malformed, 4}},
        RefusalCase{"HexTypeNotHex", inSection(L"\"a\"=hex(z):01\r\n"), {Malformed, 4}},
        RefusalCase{"BadHexDigit", inSection(L"\"a\"=hex:0g\r\n"), {Malformed, 4}},
        RefusalCase{"OneDigitByte", inSection(L"\"a\"=hex:1,02\r\n"), {Malformed, 4}},
        RefusalCase{"ThreeDigitByte", inSection(L"\"a\"=hex:012\r\n"), {Malformed, 4}},
        RefusalCase{"TrailingComma", inSection(L"\"a\"=hex:01,\r\n"), {Malformed, 4}},
        RefusalCase{"ShortDword", inSection(L"\"a\"=dword:0000001\r\n"), {Malformed, 4}},
        RefusalCase{"LongDword", inSection(L"\"a\"=dword:000000001\r\n"), {Malformed, 4}},
        RefusalCase{
            "ContinuationNotHex", inSection(L"\"a\"=hex:01,\\\r\n  zz\r\n"), {Malformed, 5}},
        RefusalCase{"BareCarriageReturn", inSection(L"\"a\"=\"b\rc\"\r\n"), {Malformed, 4}},
        RefusalCase{"BareLineFeed", inSection(L"\"a\"=\"b\nc\"\r\n"), {Malformed, 4}},
        RefusalCase{"EmptyKey", framed(L"[]\r\n"), {Malformed, 3}},
        RefusalCase{"EmptyRemovedKey", framed(L"[-]\r\n"), {Malformed, 3}},
        RefusalCase{"EmptyKeyComponent", framed(L"[HKEY_CURRENT_USER\\\\X]\r\n"), {Malformed, 3}},
        RefusalCase{"UnclosedKey", framed(L"[HKEY_CURRENT_USER\\X\r\n"), {Malformed, 3}},
        RefusalCase{"IndentedKey", framed(L" [HKEY_CURRENT_USER\\X]\r\n"), {Malformed, 3}}),
    [](const auto& info) { return info.param.name; });

TEST(RegistryFileRead, RefusesEveryCutShortFile) {
    const RegistryFileSection sections[] = {
        {L"HKEY_CURRENT_USER\\X",
         false,
         {{L"a", text(L"b")},
          {std::wstring(60, L'n'), typed(regtype::kBinary, countingBytes(10))}}},
        {L"HKEY_CURRENT_USER\\Y", true, {}}};
    const auto file = writeRegistryFile(sections).value();
    ASSERT_TRUE(std::holds_alternative<std::vector<RegistryFileSection>>(readRegistryFile(file)));
    for (std::size_t cut = 0; cut < file.size(); cut += 2) {
        EXPECT_TRUE(
            std::holds_alternative<RegistryFileProblem>(readRegistryFile(file.substr(0, cut))))
            << "cut at byte " << cut;
    }
}

}  // namespace
}  // namespace tovask
