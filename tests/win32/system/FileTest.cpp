#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "tests/win32/TestFolder.h"

namespace tovask {
namespace {

using testsupport::lockWithoutSharing;
using testsupport::readBytes;
using testsupport::writeBytes;

constexpr DWORD kHiddenReadOnlySystem =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
const std::error_code kSharingViolation(ERROR_SHARING_VIOLATION, std::system_category());

// Wine reports every plain file as FILE_ATTRIBUTE_ARCHIVE, even right after it
// was set to FILE_ATTRIBUTE_NORMAL; what matters is that nothing protects or
// hides the file any more.
bool hasPlainAttributes(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (kHiddenReadOnlySystem | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// Every byte value, NUL and CR LF included, in an order that a copy which
// drops, repeats or reorders a slice cannot reproduce.
std::string patternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

const std::string kOldBytes = "old content\r\nthat is longer than the new one\r\n";
const std::string kNewBytes = std::string("new\0\xff\r\n", 7);

class FileTest : public ::testing::Test {
  protected:
    std::wstring path(std::wstring_view name) const { return folder_.path(name); }

    testsupport::TestFolder folder_;
    Win32Platform platform_;
};

// In place and only on the file the path names as it was examined: other
// bytes, or a second name for the file, leave it untouched; a read-only one
// stays read-only.
TEST_F(FileTest, RewriteUnchangedFileWritesOnlyTheFileAsExamined) {
    writeBytes(path(L"a.lnk"), kOldBytes);
    EXPECT_EQ(platform_.RewriteUnchangedFile(path(L"a.lnk"), "other", kNewBytes),
              std::errc::operation_canceled);
    ASSERT_TRUE(CreateHardLinkW(path(L"b.lnk").c_str(), path(L"a.lnk").c_str(), nullptr));
    EXPECT_EQ(platform_.RewriteUnchangedFile(path(L"a.lnk"), kOldBytes, kNewBytes),
              std::errc::too_many_symbolic_link_levels);
    EXPECT_EQ(readBytes(path(L"a.lnk")), kOldBytes);

    ASSERT_TRUE(DeleteFileW(path(L"b.lnk").c_str()));
    ASSERT_TRUE(SetFileAttributesW(path(L"a.lnk").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(platform_.RewriteUnchangedFile(path(L"a.lnk"), kOldBytes, kNewBytes));
    EXPECT_EQ(readBytes(path(L"a.lnk")), kNewBytes);
    EXPECT_NE(GetFileAttributesW(path(L"a.lnk").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    SetFileAttributesW(path(L"a.lnk").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileTest, FileExistsForFilesAndRefusesFolders) {
    writeBytes(path(L"hosts"), "x");
    std::filesystem::create_directory(path(L"folder"));
    const struct {
        const wchar_t* name;
        bool exists;
    } cases[] = {{L"hosts", true}, {L"missing", false}, {L"missing folder\\hosts", false}};
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.name)));
        const auto exists = platform_.FileExists(path(row.name));
        ASSERT_TRUE(exists.ok()) << exists.error().message();
        EXPECT_EQ(exists.value(), row.exists);
    }
    EXPECT_EQ(platform_.FileExists(path(L"folder")).error(), std::errc::is_a_directory);
}

TEST_F(FileTest, FileHasContentComparesEveryByte) {
    const struct {
        std::string stored;
        std::string expected;
        bool same;
    } cases[] = {{kNewBytes, kNewBytes, true},
                 {"", "", true},
                 {"abcd", "abce", false},
                 {"abcd", "abc", false},
                 {"abc", "abcd", false},
                 {"", "x", false},
                 {patternBytes(3 << 20), patternBytes(3 << 20), true}};
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::PrintToString(row.expected.substr(0, 16)));
        writeBytes(path(L"hosts"), row.stored);
        const auto same = platform_.FileHasContent(path(L"hosts"), row.expected);
        ASSERT_TRUE(same.ok()) << same.error().message();
        EXPECT_EQ(same.value(), row.same);
    }
}

TEST_F(FileTest, FileHasContentOfMissingFileIsNotFound) {
    EXPECT_TRUE(isNotFound(platform_.FileHasContent(path(L"missing"), "x").error()));
}

TEST_F(FileTest, ClearAttributesLeavesNormalFile) {
    writeBytes(path(L"hosts"), kOldBytes);
    ASSERT_TRUE(SetFileAttributesW(path(L"hosts").c_str(), kHiddenReadOnlySystem));

    EXPECT_FALSE(platform_.ClearAttributes(path(L"hosts")));

    EXPECT_TRUE(hasPlainAttributes(path(L"hosts")));
    EXPECT_EQ(readBytes(path(L"hosts")), kOldBytes);
}

TEST_F(FileTest, ClearAttributesOfMissingFileIsNotFound) {
    EXPECT_TRUE(isNotFound(platform_.ClearAttributes(path(L"missing"))));
}

TEST_F(FileTest, CopyFromMissingSourceIsNotFoundAndChangesNothing) {
    writeBytes(path(L"backup"), kOldBytes);

    EXPECT_TRUE(isNotFound(platform_.CopyFileOver(path(L"missing"), path(L"backup"))));

    EXPECT_EQ(readBytes(path(L"backup")), kOldBytes);
    EXPECT_EQ(folder_.names(), std::vector<std::wstring>{L"backup"});
}

TEST_F(FileTest, CopyFromDirectoryIsRefused) {
    std::filesystem::create_directory(path(L"hosts"));
    writeBytes(path(L"backup"), kOldBytes);

    EXPECT_TRUE(platform_.CopyFileOver(path(L"hosts"), path(L"backup")));

    EXPECT_EQ(readBytes(path(L"backup")), kOldBytes);
    EXPECT_EQ(folder_.names(), (std::vector<std::wstring>{L"backup", L"hosts"}));
}

TEST_F(FileTest, CopyFromSourceLockedWithoutSharingFailsWithSharingViolation) {
    writeBytes(path(L"hosts"), kNewBytes);
    writeBytes(path(L"backup"), kOldBytes);
    const auto lock = lockWithoutSharing(path(L"hosts"));

    EXPECT_EQ(platform_.CopyFileOver(path(L"hosts"), path(L"backup")), kSharingViolation);

    EXPECT_EQ(readBytes(path(L"backup")), kOldBytes);
    EXPECT_EQ(folder_.names(), (std::vector<std::wstring>{L"backup", L"hosts"}));
}

TEST_F(FileTest, CopyFromSourceThatAnotherProgramWritesSucceeds) {
    writeBytes(path(L"hosts"), kNewBytes);
    const HANDLE writer =
        CreateFileW(path(L"hosts").c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const win32::KernelHandle heldByWriter(writer);

    EXPECT_FALSE(platform_.CopyFileOver(path(L"hosts"), path(L"backup")));

    EXPECT_EQ(readBytes(path(L"backup")), kNewBytes);
}

TEST_F(FileTest, ReadFileContentGivesEveryByteUpToTheLimit) {
    const struct {
        std::string stored;
        std::size_t limit;
    } cases[] = {
        {kNewBytes, kNewBytes.size()}, {"", 0}, {patternBytes(3 << 20), std::size_t{4} << 20}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.stored.size());
        writeBytes(path(L"hosts"), row.stored);
        const auto read = platform_.ReadFileContent(path(L"hosts"), row.limit);
        ASSERT_TRUE(read.ok()) << read.error().message();
        EXPECT_TRUE(read.value() == row.stored);
    }
}

TEST_F(FileTest, ReadFileContentRefusesFileLargerThanTheLimit) {
    writeBytes(path(L"hosts"), kOldBytes);
    EXPECT_EQ(platform_.ReadFileContent(path(L"hosts"), kOldBytes.size() - 1).error(),
              std::errc::file_too_large);
}

TEST_F(FileTest, ReadFileContentTellsMissingFileFromFolderAndFromFileBeingWritten) {
    std::filesystem::create_directory(path(L"folder"));
    writeBytes(path(L"written"), kOldBytes);
    const win32::KernelHandle writer(CreateFileW(path(L"written").c_str(), GENERIC_WRITE,
                                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                                 nullptr));
    ASSERT_TRUE(writer);

    EXPECT_TRUE(isNotFound(platform_.ReadFileContent(path(L"missing"), 100).error()));
    const auto folder = platform_.ReadFileContent(path(L"folder"), 100).error();
    EXPECT_TRUE(folder && !isNotFound(folder)) << folder.message();
    EXPECT_EQ(platform_.ReadFileContent(path(L"written"), 100).error(), kSharingViolation);
}

// CopyFileOver and ReplaceFileContent promise the same replacement in one
// step; every case runs through both.
enum class Replacement { CopyFileOver, ReplaceFileContent };

class ReplacementTest : public FileTest, public testing::WithParamInterface<Replacement> {
  protected:
    std::error_code replace(const std::wstring& destination, std::string_view bytes) {
        if (GetParam() == Replacement::ReplaceFileContent) {
            return platform_.ReplaceFileContent(destination, bytes, FileProtection::AsReplaced);
        }
        writeBytes(path(L"source"), bytes);
        return platform_.CopyFileOver(path(L"source"), destination);
    }

    // What the folder must hold afterwards: no temporary file, ever.
    std::vector<std::wstring> namesAfter(std::vector<std::wstring> names) const {
        if (GetParam() == Replacement::CopyFileOver) {
            names.push_back(L"source");
        }
        std::ranges::sort(names);
        return names;
    }
};

TEST_P(ReplacementTest, ReplacesReadOnlyHiddenSystemDestination) {
    writeBytes(path(L"hosts"), kOldBytes);
    ASSERT_TRUE(SetFileAttributesW(path(L"hosts").c_str(), kHiddenReadOnlySystem));

    EXPECT_FALSE(replace(path(L"hosts"), kNewBytes));

    EXPECT_EQ(readBytes(path(L"hosts")), kNewBytes);
    EXPECT_TRUE(hasPlainAttributes(path(L"hosts")));
    EXPECT_EQ(folder_.names(), namesAfter({L"hosts"}));
}

// An administrator's hardening: nothing inherited, and users may only read.
TEST_P(ReplacementTest, KeepsTheAccessListOfTheFileItReplaces) {
    if (!testsupport::systemKeepsAccessLists()) {
        GTEST_SKIP() << "this system does not keep files' access lists";
    }
    constexpr const wchar_t* kHardened = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)";
    writeBytes(path(L"hosts"), kOldBytes);
    win32::LocalMemory hardened;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(kHardened, SDDL_REVISION_1,
                                                                     hardened.receive(), nullptr));
    ASSERT_TRUE(
        SetFileSecurityW(path(L"hosts").c_str(), DACL_SECURITY_INFORMATION, hardened.get()));

    EXPECT_FALSE(replace(path(L"hosts"), kNewBytes));

    EXPECT_EQ(testsupport::accessListOf(path(L"hosts")), kHardened);
}

TEST_P(ReplacementTest, CreatesMissingDestination) {
    EXPECT_FALSE(replace(path(L"hosts"), kNewBytes));

    EXPECT_EQ(readBytes(path(L"hosts")), kNewBytes);
    EXPECT_EQ(folder_.names(), namesAfter({L"hosts"}));
}

TEST_P(ReplacementTest, EmptyContentEmptiesDestination) {
    writeBytes(path(L"hosts"), kOldBytes);

    EXPECT_FALSE(replace(path(L"hosts"), ""));

    EXPECT_EQ(readBytes(path(L"hosts")), "");
    EXPECT_EQ(folder_.names(), namesAfter({L"hosts"}));
}

TEST_P(ReplacementTest, TwentyMegabytesArriveByteForByte) {
    const std::string large = patternBytes(20 << 20);
    writeBytes(path(L"hosts"), kOldBytes);

    EXPECT_FALSE(replace(path(L"hosts"), large));

    EXPECT_TRUE(readBytes(path(L"hosts")) == large);
    EXPECT_EQ(folder_.names(), namesAfter({L"hosts"}));
}

TEST_P(ReplacementTest, DestinationLockedWithoutSharingKeepsItsBytes) {
    writeBytes(path(L"hosts"), kOldBytes);
    {
        const auto lock = lockWithoutSharing(path(L"hosts"));
        const auto error = replace(path(L"hosts"), kNewBytes);
        EXPECT_TRUE(error && !isNotFound(error)) << error.message();
    }
    EXPECT_EQ(readBytes(path(L"hosts")), kOldBytes);
    EXPECT_EQ(folder_.names(), namesAfter({L"hosts"}));
}

TEST_P(ReplacementTest, DirectoryDestinationIsRefused) {
    std::filesystem::create_directory(path(L"hosts"));
    writeBytes(path(L"hosts\\inside"), kOldBytes);

    const auto error = replace(path(L"hosts"), kNewBytes);

    EXPECT_TRUE(error && !isNotFound(error)) << error.message();
    EXPECT_TRUE(std::filesystem::is_directory(path(L"hosts")));
    EXPECT_EQ(readBytes(path(L"hosts\\inside")), kOldBytes);
    EXPECT_EQ(folder_.names(), namesAfter({L"hosts"}));
}

TEST_P(ReplacementTest, DestinationInMissingFolderIsNotFound) {
    EXPECT_TRUE(isNotFound(replace(path(L"missing\\hosts"), kNewBytes)));

    EXPECT_EQ(folder_.names(), namesAfter({}));
}

INSTANTIATE_TEST_SUITE_P(BothOperations, ReplacementTest,
                         testing::Values(Replacement::CopyFileOver,
                                         Replacement::ReplaceFileContent),
                         [](const auto& info) {
                             return info.param == Replacement::CopyFileOver ? "CopyFileOver"
                                                                            : "ReplaceFileContent";
                         });

TEST_F(FileTest, PrivateReplacementLetsOnlyAdministratorsAndSystemOpenIt) {
    if (!testsupport::systemKeepsAccessLists()) {
        GTEST_SKIP() << "this system does not keep files' access lists";
    }
    writeBytes(path(L"backup.reg"), kOldBytes);

    EXPECT_FALSE(platform_.ReplaceFileContent(path(L"backup.reg"), kNewBytes,
                                              FileProtection::AdministratorsOnly));

    EXPECT_EQ(readBytes(path(L"backup.reg")), kNewBytes);
    EXPECT_EQ(testsupport::accessListOf(path(L"backup.reg")),
              testsupport::kAdministratorsOnlyAccess);
}

}  // namespace
}  // namespace tovask
