#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "repair/hosts/HostsFiles.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "tests/win32/HostsFolders.h"
#include "tests/win32/QuietPlatform.h"
#include "tests/win32/TestFolder.h"

namespace tovask {
namespace {

using testsupport::readBytes;
using testsupport::writeBytes;

constexpr DWORD kReadOnlyHiddenSystem =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
const std::string kUserHosts = "127.0.0.1 localhost\r\n10.0.0.7 intranet.example # propio\r\n";
const std::string kWindowsUserHosts = "127.0.0.1 localhost\n10.0.0.8 otro.example\n";
const std::string kEarlierBackup = "# copia de una ejecución anterior\r\n";

bool isProtectedOrHidden(const std::wstring& path) {
    return (GetFileAttributesW(path.c_str()) & kReadOnlyHiddenSystem) != 0;
}

// A fixed sequence of bytes that holds every value, NUL and CR LF included,
// made and checked slice by slice: a file of 100 MB is never held whole in
// memory, and a copy that drops, repeats or reorders a slice cannot match.
class ByteSequence {
  public:
    void fill(std::string& slice) {
        for (auto& byte : slice) {
            state_ = state_ * 1664525u + 1013904223u;
            byte = static_cast<char>(state_ >> 24);
        }
    }

  private:
    std::uint32_t state_ = 2024;
};

constexpr std::size_t kSlice = 1 << 20;

void writeSequence(const std::wstring& path, std::size_t size) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    ByteSequence sequence;
    std::string slice;
    for (std::size_t done = 0; done < size; done += slice.size()) {
        slice.resize(std::min(kSlice, size - done));
        sequence.fill(slice);
        file.write(slice.data(), static_cast<std::streamsize>(slice.size()));
    }
    ASSERT_TRUE(file.good());
}

testing::AssertionResult holdsSequence(const std::wstring& path, std::size_t size) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    ByteSequence sequence;
    std::string expected;
    std::string actual(kSlice, '\0');
    for (std::size_t done = 0; done < size; done += expected.size()) {
        expected.resize(std::min(kSlice, size - done));
        sequence.fill(expected);
        actual.resize(expected.size());
        file.read(actual.data(), static_cast<std::streamsize>(actual.size()));
        if (file.gcount() != static_cast<std::streamsize>(actual.size()) || actual != expected) {
            return testing::AssertionFailure() << "differs within the slice at byte " << done;
        }
    }
    if (file.peek() != std::ifstream::traits_type::eof()) {
        return testing::AssertionFailure() << "longer than " << size << " bytes";
    }
    return testing::AssertionSuccess();
}

// The HOSTS phase and the undo, run through the whole repair against real
// files in a test's own Windows and system folders.
class HostsOnRealFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        folders_.pointAt(platform_);
        repair_.loadPaths();
    }

    void runRepair() {
        view_.notices.clear();
        repair_.VerificarNavegador(L"IEFrame", {});
    }
    void undo() {
        view_.notices.clear();
        repair_.undoChanges();
    }

    // The paths named by the report's error lines.
    std::set<std::wstring> reportedPaths() const {
        std::set<std::wstring> paths;
        for (const auto& line : view_.lines) {
            if (line.starts_with(L"Error: ")) {
                paths.insert(line.substr(7, line.rfind(L" (") - 7));
            }
        }
        return paths;
    }

    // The four files of the two pairs, in the order of HostsFolders::files().
    std::vector<std::wstring> bothPairs() const {
        std::vector<std::wstring> files = {folders_.systemHosts, folders_.systemBackup,
                                           folders_.windowsHosts, folders_.windowsBackup};
        std::ranges::sort(files);
        return files;
    }

    bool lastNoticeTitled(std::wstring_view title, NoticeKind kind) const {
        return !view_.notices.empty() && view_.notices.back().title == title &&
               view_.notices.back().kind == kind;
    }

    testsupport::HostsFolders folders_;
    testsupport::QuietPlatform platform_;
    RecordingView view_;
    BrowserRepair repair_{platform_, view_,
                          [](const FindingsOffer&) { return std::vector<FindingId>{}; }};
};

TEST_F(HostsOnRealFiles, ProtectedAndHiddenHostsAndBackupsAreReplacedAndLeftNormal) {
    const std::wstring pairs[][2] = {{folders_.systemHosts, folders_.systemBackup},
                                     {folders_.windowsHosts, folders_.windowsBackup}};
    const auto protectAll = [&] {
        for (const auto& pair : pairs) {
            for (const auto& file : pair) {
                ASSERT_TRUE(SetFileAttributesW(file.c_str(), kReadOnlyHiddenSystem));
                // Or there would be nothing for the run to clear.
                ASSERT_EQ(GetFileAttributesW(file.c_str()) & kReadOnlyHiddenSystem,
                          kReadOnlyHiddenSystem);
            }
        }
    };
    for (const auto& pair : pairs) {
        writeBytes(pair[0], kUserHosts);
        writeBytes(pair[1], kEarlierBackup);
    }
    protectAll();

    runRepair();

    EXPECT_EQ(reportedPaths(), std::set<std::wstring>{});
    for (const auto& pair : pairs) {
        SCOPED_TRACE(testing::PrintToString(pair[0]));
        EXPECT_EQ(readBytes(pair[0]), defaultHostsContent());
        EXPECT_EQ(readBytes(pair[1]), kUserHosts);
        EXPECT_FALSE(isProtectedOrHidden(pair[0]));
        EXPECT_FALSE(isProtectedOrHidden(pair[1]));
    }

    protectAll();
    undo();

    EXPECT_TRUE(lastNoticeTitled(L"Finalizado", NoticeKind::Information));
    for (const auto& pair : pairs) {
        SCOPED_TRACE(testing::PrintToString(pair[0]));
        EXPECT_EQ(readBytes(pair[0]), kUserHosts);
        EXPECT_FALSE(isProtectedOrHidden(pair[0]));
    }
    EXPECT_EQ(folders_.files(), bothPairs());
}

TEST_F(HostsOnRealFiles, TwoRunsThenUndoBringBackTheContentFromBeforeTheFirst) {
    writeBytes(folders_.systemHosts, kUserHosts);
    writeBytes(folders_.windowsHosts, kWindowsUserHosts);

    runRepair();
    runRepair();

    EXPECT_EQ(reportedPaths(), std::set<std::wstring>{});
    EXPECT_EQ(readBytes(folders_.systemBackup), kUserHosts);
    EXPECT_EQ(readBytes(folders_.windowsBackup), kWindowsUserHosts);

    undo();

    EXPECT_EQ(readBytes(folders_.systemHosts), kUserHosts);
    EXPECT_EQ(readBytes(folders_.windowsHosts), kWindowsUserHosts);
    EXPECT_EQ(folders_.files(), bothPairs());
}

// A content the run must carry into the backup and the undo back, unchanged.
struct Content {
    std::string name;
    std::string bytes;     // written as they are, unless size is set
    std::size_t size = 0;  // that many bytes of the fixed sequence

    void writeTo(const std::wstring& path) const {
        if (size == 0) {
            writeBytes(path, bytes);
        } else {
            writeSequence(path, size);
        }
    }
    testing::AssertionResult isIn(const std::wstring& path) const {
        if (size != 0) {
            return holdsSequence(path, size);
        }
        return readBytes(path) == bytes ? testing::AssertionSuccess()
                                        : testing::AssertionFailure() << "other bytes";
    }
    friend void PrintTo(const Content& content, std::ostream* out) { *out << content.name; }
};

class ContentKeptByteForByte : public HostsOnRealFiles,
                               public ::testing::WithParamInterface<Content> {};

TEST_P(ContentKeptByteForByte, InTheBackupAndAgainAfterTheUndo) {
    const auto& content = GetParam();
    content.writeTo(folders_.systemHosts);
    writeBytes(folders_.windowsHosts, kWindowsUserHosts);

    const auto started = std::chrono::steady_clock::now();
    runRepair();
    const auto repaired = std::chrono::steady_clock::now();

    EXPECT_EQ(reportedPaths(), std::set<std::wstring>{});
    EXPECT_TRUE(content.isIn(folders_.systemBackup));
    EXPECT_EQ(readBytes(folders_.systemHosts), defaultHostsContent());

    undo();
    const auto undone = std::chrono::steady_clock::now();

    EXPECT_TRUE(lastNoticeTitled(L"Finalizado", NoticeKind::Information));
    EXPECT_TRUE(content.isIn(folders_.systemHosts));
    EXPECT_EQ(folders_.files(), bothPairs());
    // A figure for the record, not a limit.
    using std::chrono::milliseconds;
    std::printf("%s: repair run %lld ms, undo %lld ms\n", content.name.c_str(),
                static_cast<long long>(
                    std::chrono::duration_cast<milliseconds>(repaired - started).count()),
                static_cast<long long>(
                    std::chrono::duration_cast<milliseconds>(undone - repaired).count()));
}

INSTANTIATE_TEST_SUITE_P(
    HostsFiles, ContentKeptByteForByte,
    ::testing::Values(
        Content{"NulBytesAndInvalidUtf8",
                std::string("127.0.0.1 a\0b\r\n\xff\xfe\xc3\x28\xed\xa0\x80\xf8\x88\x80\x80\x80"
                            "\r\r\n\0\0\xc0\xaf end",
                            38)},
        Content{"TwentyMegabytes", {}, 20 << 20}, Content{"HundredMegabytes", {}, 100 << 20}),
    [](const auto& info) { return info.param.name; });

// Something in the system pair's way. The Windows pair is ordinary each time:
// the run goes on to it, and every file of the system pair keeps its bytes.
struct Obstacle {
    using Folders = testsupport::HostsFolders;

    std::string name;
    std::function<void(const Folders&)> place;
    bool lockHosts;
    std::vector<const std::wstring Folders::*> reportedByRun;

    friend void PrintTo(const Obstacle& obstacle, std::ostream* out) { *out << obstacle.name; }
};

std::map<std::wstring, std::string> bytesOfEachFile(const std::vector<std::wstring>& files) {
    std::map<std::wstring, std::string> contents;
    for (const auto& file : files) {
        contents[file] = readBytes(file);
    }
    return contents;
}

// The system HOSTS file held open by another handle, when the obstacle says so.
win32::KernelHandle lockIfAsked(const Obstacle& obstacle,
                                const testsupport::HostsFolders& folders) {
    return obstacle.lockHosts ? testsupport::lockWithoutSharing(folders.systemHosts)
                              : win32::KernelHandle{};
}

class RunFacingObstacle : public HostsOnRealFiles,
                          public ::testing::WithParamInterface<Obstacle> {};

TEST_P(RunFacingObstacle, ReportsItAndChangesNothingOfThatPair) {
    GetParam().place(folders_);
    writeBytes(folders_.windowsHosts, kWindowsUserHosts);
    auto filesBefore = folders_.files();
    auto bytesBefore = bytesOfEachFile(filesBefore);
    bytesBefore.erase(folders_.windowsHosts);
    {
        const auto lock = lockIfAsked(GetParam(), folders_);
        runRepair();
    }

    std::set<std::wstring> reported;
    for (const auto path : GetParam().reportedByRun) {
        reported.insert(folders_.*path);
    }
    EXPECT_EQ(reportedPaths(), reported);
    EXPECT_TRUE(lastNoticeTitled(L"Finalizado", NoticeKind::Warning));
    filesBefore.push_back(folders_.windowsBackup);
    std::ranges::sort(filesBefore);
    EXPECT_EQ(folders_.files(), filesBefore);
    for (const auto& [file, bytes] : bytesBefore) {
        EXPECT_EQ(readBytes(file), bytes) << testing::PrintToString(file);
    }
    EXPECT_EQ(readBytes(folders_.windowsHosts), defaultHostsContent());
    EXPECT_EQ(readBytes(folders_.windowsBackup), kWindowsUserHosts);
}

class UndoFacingObstacle : public HostsOnRealFiles,
                           public ::testing::WithParamInterface<Obstacle> {};

TEST_P(UndoFacingObstacle, StopsWithAnErrorMessageAndChangesNothing) {
    GetParam().place(folders_);
    writeBytes(folders_.systemBackup, kEarlierBackup);
    writeBytes(folders_.windowsHosts, kWindowsUserHosts);
    writeBytes(folders_.windowsBackup, kEarlierBackup);
    const auto filesBefore = folders_.files();
    const auto bytesBefore = bytesOfEachFile(filesBefore);
    {
        const auto lock = lockIfAsked(GetParam(), folders_);
        undo();
    }

    ASSERT_TRUE(lastNoticeTitled(L"Error", NoticeKind::Error));
    EXPECT_NE(view_.notices.back().lines.front().find(folders_.systemHosts), std::wstring::npos);
    EXPECT_EQ(folders_.files(), filesBefore);
    EXPECT_EQ(bytesOfEachFile(filesBefore), bytesBefore);
}

void makeFolderHolding(const std::wstring& path, const std::string& bytes) {
    ASSERT_TRUE(std::filesystem::create_directory(path));
    writeBytes(path + L"\\inside", bytes);
}

const Obstacle kHostsIsAFolder{
    "HostsIsAFolder",
    [](const auto& folders) { makeFolderHolding(folders.systemHosts, kUserHosts); },
    false,
    {&Obstacle::Folders::systemHosts}};
const Obstacle kBackupIsAFolder{
    "BackupIsAFolder",
    [](const auto& folders) {
        writeBytes(folders.systemHosts, kUserHosts);
        makeFolderHolding(folders.systemBackup, kEarlierBackup);
    },
    false,
    {&Obstacle::Folders::systemHosts, &Obstacle::Folders::systemBackup}};
const Obstacle kHostsLocked{
    "HostsLockedWithoutSharing",
    [](const auto& folders) { writeBytes(folders.systemHosts, kUserHosts); },
    true,
    {&Obstacle::Folders::systemHosts}};

const auto kObstacleName = [](const auto& info) { return info.param.name; };

INSTANTIATE_TEST_SUITE_P(SystemPair, RunFacingObstacle,
                         ::testing::Values(kHostsIsAFolder, kBackupIsAFolder, kHostsLocked),
                         kObstacleName);
INSTANTIATE_TEST_SUITE_P(SystemPair, UndoFacingObstacle,
                         ::testing::Values(kHostsIsAFolder, kHostsLocked), kObstacleName);

// The prefix's own HOSTS files and backups as they were before the test,
// put back afterwards whatever happened to them.
class SavedFiles {
  public:
    explicit SavedFiles(std::vector<std::wstring> paths) {
        for (auto& path : paths) {
            auto bytes = std::filesystem::is_regular_file(path)
                             ? std::optional<std::string>(readBytes(path))
                             : std::nullopt;
            saved_.emplace(std::move(path), std::move(bytes));
        }
    }
    SavedFiles(const SavedFiles&) = delete;
    SavedFiles& operator=(const SavedFiles&) = delete;
    ~SavedFiles() {
        for (const auto& [path, bytes] : saved_) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (bytes) {
                writeBytes(path, *bytes);
            } else {
                DeleteFileW(path.c_str());
            }
        }
    }

    const std::optional<std::string>& before(const std::wstring& path) const {
        return saved_.at(path);
    }

  private:
    std::map<std::wstring, std::optional<std::string>> saved_;
};

std::vector<std::wstring> leftTemporaryFiles(const std::wstring& folder) {
    std::vector<std::wstring> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().wstring().starts_with(L"~tovask-")) {
            left.push_back(entry.path().wstring());
        }
    }
    return left;
}

TEST(HostsOnPrefixFolders, RunAndUndoOnTheSystemsOwnHostsFile) {
    testsupport::QuietPlatform platform;
    const auto windows = platform.GetSpecialFolder(SpecialFolder::Windows);
    const auto system = platform.GetSpecialFolder(SpecialFolder::System);
    ASSERT_TRUE(windows.ok() && system.ok());
    const std::wstring etc = system.value() + L"\\drivers\\etc";
    const std::wstring hosts = etc + L"\\hosts";
    const std::wstring backup = etc + L"\\BackupHosts.bak";
    const std::wstring windowsHosts = windows.value() + L"\\drivers\\etc\\hosts";
    const SavedFiles saved({hosts, backup, windowsHosts, windows.value() + L"\\BackupHosts.bak"});
    ASSERT_TRUE(saved.before(hosts)) << "the prefix has no HOSTS file";
    // An earlier run, the black-box test's for one, may have left the default
    // content: the user's own is then the one in the earlier backup.
    const auto userContent =
        *saved.before(hosts) == defaultHostsContent() ? saved.before(backup) : saved.before(hosts);
    ASSERT_TRUE(userContent) << "the HOSTS file holds the default content and has no backup";
    RecordingView view;
    BrowserRepair repair(platform, view,
                         [](const FindingsOffer&) { return std::vector<FindingId>{}; });
    repair.loadPaths();

    repair.VerificarNavegador(L"IEFrame", {});

    EXPECT_EQ(view.lines.size(), 6u);
    EXPECT_EQ(readBytes(hosts), defaultHostsContent());
    EXPECT_EQ(readBytes(backup), *userContent);
    EXPECT_EQ(std::filesystem::exists(windowsHosts), saved.before(windowsHosts).has_value());

    repair.undoChanges();

    ASSERT_FALSE(view.notices.empty());
    EXPECT_EQ(view.notices.back().title, L"Finalizado");
    EXPECT_EQ(readBytes(hosts), *userContent);
    EXPECT_EQ(leftTemporaryFiles(etc), std::vector<std::wstring>{});
    EXPECT_EQ(leftTemporaryFiles(windows.value()), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace tovask
