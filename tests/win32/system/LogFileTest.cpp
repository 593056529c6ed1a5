#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "app/console/LogFile.h"
#include "tests/win32/TestFolder.h"

namespace tovask {
namespace {

using testsupport::lockWithoutSharing;
using testsupport::readBytes;
using testsupport::TestFolder;
using testsupport::writeBytes;

// The header's fields; the names are whatever the Wine prefix calls its
// computer and user, and are only required to be there.
const std::regex kBlockHeader(
    R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} Equipo: [^\r\n]+ Usuario: [^\r\n]+\r\n)");

// A drive letter the system does not have, whatever this prefix maps.
std::wstring missingDrivePath() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Z'; letter >= L'D'; --letter) {
        if ((drives & (1u << (letter - L'A'))) == 0) {
            return std::wstring(1, letter) + L":\\no\\log.txt";
        }
    }
    ADD_FAILURE() << "every drive letter is in use";
    return {};
}

TEST(LogFile, AppendsWholeBlocksAfterWhatIsThereInUtf8) {
    TestFolder folder;
    const auto path = folder.path(L"registro ñandú.log");
    writeBytes(path, "antes\r\n");
    const std::vector<std::wstring> first = {L"Finalizado:",
                                             L"Página: http://пример.test/路径/\U0001F600"};
    const std::vector<std::wstring> second = {L"Cambios desechos.....Hecho"};

    ASSERT_FALSE(app::checkLogFile(path));
    ASSERT_FALSE(app::appendLogBlock(path, L"", first));
    ASSERT_FALSE(app::appendLogBlock(path, L"", second));

    const auto bytes = readBytes(path);
    std::smatch header;
    const std::regex whole(
        "antes\r\n"
        "(.+\r\n)Finalizado:\r\nP\xc3\xa1gina: "
        "http://\xd0\xbf\xd1\x80\xd0\xb8\xd0\xbc\xd0\xb5\xd1\x80"
        ".test/\xe8\xb7\xaf\xe5\xbe\x84/\xf0\x9f\x98\x80\r\n\r\n"
        "(.+\r\n)Cambios desechos\\.\\.\\.\\.\\.Hecho\r\n\r\n");
    ASSERT_TRUE(std::regex_match(bytes, header, whole)) << bytes;
    for (const std::size_t block : {1u, 2u}) {
        EXPECT_TRUE(std::regex_match(header[block].str(), kBlockHeader)) << header[block].str();
    }
}

struct RefusedLog {
    std::string name;
    std::wstring (*path)(const TestFolder&);

    friend void PrintTo(const RefusedLog& refused, std::ostream* out) { *out << refused.name; }
};

class RefusedLogFile : public testing::TestWithParam<RefusedLog> {};

TEST_P(RefusedLogFile, IsAnErrorAndCreatesNothing) {
    TestFolder folder;
    std::filesystem::create_directory(folder.path(L"carpeta"));
    writeBytes(folder.path(L"ocupado.log"), "x");
    const auto path = GetParam().path(folder);
    const std::vector<std::wstring> lines = {L"línea"};
    {
        const auto lock = lockWithoutSharing(folder.path(L"ocupado.log"));
        EXPECT_TRUE(app::checkLogFile(path));
        EXPECT_TRUE(app::appendLogBlock(path, L"", lines));
    }
    EXPECT_EQ(folder.names(), (std::vector<std::wstring>{L"carpeta", L"ocupado.log"}));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path(L"carpeta")));
    EXPECT_EQ(readBytes(folder.path(L"ocupado.log")), "x");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RefusedLogFile,
    testing::Values(
        RefusedLog{"Folder", [](const TestFolder& folder) { return folder.path(L"carpeta"); }},
        RefusedLog{"MissingFolder",
                   [](const TestFolder& folder) { return folder.path(L"falta\\log.txt"); }},
        RefusedLog{"MissingDrive", [](const TestFolder&) { return missingDrivePath(); }},
        RefusedLog{"FileOpenWithoutSharing",
                   [](const TestFolder& folder) { return folder.path(L"ocupado.log"); }}),
    [](const auto& info) { return info.param.name; });

// A second name of a file elsewhere, put in a folder that users can write to:
// the elevated run must not write through it.
TEST(LogFile, SecondHardLinkIsRefusedAndItsTargetUntouched) {
    TestFolder folder;
    writeBytes(folder.path(L"destino.txt"), "x");
    const auto link = folder.path(L"duro.log");
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), folder.path(L"destino.txt").c_str(), nullptr));
    const std::vector<std::wstring> lines = {L"línea"};
    EXPECT_TRUE(app::checkLogFile(link));
    EXPECT_TRUE(app::appendLogBlock(link, L"", lines));
    EXPECT_EQ(readBytes(folder.path(L"destino.txt")), "x");
}

}  // namespace
}  // namespace tovask
