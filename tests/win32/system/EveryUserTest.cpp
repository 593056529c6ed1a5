#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Privileges.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/session/LockFile.h"
#include "tests/win32/TestFolder.h"
#include "tests/win32/TestNames.h"
#include "tests/win32/TestRegistry.h"

namespace tovask {
namespace {

using namespace std::chrono_literals;
using win32::KernelHandle;

bool contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::ranges::find(names, name) != names.end();
}

std::wstring ownFolder() {
    wchar_t ownPath[MAX_PATH] = {};
    const std::wstring path(ownPath, GetModuleFileNameW(nullptr, ownPath, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring userName() {
    wchar_t name[256] = {};
    DWORD length = 256;
    return GetUserNameW(name, &length) ? std::wstring(name) : std::wstring();
}

// Wine gives its one user a full administrator's token (elevation type full).
TEST(IsElevatedTest, WinesUserHasFullRights) {
    Win32Platform platform;
    const auto elevated = platform.IsElevated();
    ASSERT_TRUE(elevated.ok()) << elevated.error().message();
    EXPECT_TRUE(elevated.value());
}

// A program that stays in the process list until the test ends it: it is
// started suspended and never runs a line.
class SuspendedProgram {
  public:
    SuspendedProgram() {
        std::wstring commandLine = L"\"" + ownFolder() + L"\\" + kFileName + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                           nullptr, nullptr, &startup, &started)) {
            process_.reset(started.hProcess);
            // Never resumed, so its handle is of no use.
            const KernelHandle thread(started.hThread);
        }
    }
    SuspendedProgram(const SuspendedProgram&) = delete;
    SuspendedProgram& operator=(const SuspendedProgram&) = delete;
    ~SuspendedProgram() { end(); }

    bool started() const { return static_cast<bool>(process_); }
    void end() {
        if (process_) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), INFINITE);
            process_.reset();
        }
    }

    static constexpr const wchar_t* kFileName = L"tovask_planted_program.exe";

  private:
    KernelHandle process_;
};

TEST(ProcessOwnersTest, ListsEveryProcessOfTheNameWithItsOwnerWhateverTheCase) {
    Win32Platform platform;
    SuspendedProgram first;
    SuspendedProgram second;
    ASSERT_TRUE(first.started() && second.started()) << GetLastError();

    const auto owners = platform.ProcessOwners(L"TOVASK_Planted_Program.EXE");
    first.end();
    second.end();

    ASSERT_TRUE(owners.ok()) << owners.error().message();
    ASSERT_EQ(owners.value().size(), 2u);
    for (const auto& owner : owners.value()) {
        SCOPED_TRACE(testing::PrintToString(owner));
        const auto separator = owner.find(L'\\');
        ASSERT_NE(separator, std::wstring::npos);
        EXPECT_GT(separator, 0u);
        EXPECT_EQ(owner.substr(separator + 1), userName());
    }
    EXPECT_EQ(platform.ProcessOwners(SuspendedProgram::kFileName).value(),
              std::vector<std::wstring>{});
}

TEST(ProcessOwnersTest, NameThatNothingRunsGivesNoOwner) {
    Win32Platform platform;
    const auto owners = platform.ProcessOwners(testsupport::uniqueTestName() + L".exe");
    ASSERT_TRUE(owners.ok()) << owners.error().message();
    EXPECT_TRUE(owners.value().empty());
}

TEST(LoadedUserHivesTest, IncludeTheProgramsOwnUser) {
    Win32Platform platform;
    const auto hives = platform.LoadedUserHives();
    const auto sid = platform.ProgramUserSid();
    ASSERT_TRUE(hives.ok() && sid.ok());
    EXPECT_TRUE(contains(hives.value(), sid.value())) << testing::PrintToString(hives.value());
}

// A hive file made from a small key of the current user, with one value.
class UserHiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::writeStringDirectly(HKEY_CURRENT_USER, sourceKey_, L"Marca", L"valor", 0);
        win32::RegistryKey source;
        ASSERT_EQ(
            RegOpenKeyExW(HKEY_CURRENT_USER, sourceKey_.c_str(), 0, KEY_READ, source.receive()),
            ERROR_SUCCESS);
        ASSERT_FALSE(win32::enablePrivileges({SE_BACKUP_NAME}));
        ASSERT_EQ(RegSaveKeyW(source.get(), hiveFile_.c_str(), nullptr), ERROR_SUCCESS);
    }
    void TearDown() override {
        platform_.UnloadUserHive(mount_);
        testsupport::removeKeyEverywhere(HKEY_CURRENT_USER, sourceKey_);
    }

    Win32Platform platform_;
    testsupport::TestFolder folder_;
    const std::wstring sourceKey_ = L"Software\\" + testsupport::uniqueTestName();
    const std::wstring hiveFile_ = folder_.path(L"NTUSER.DAT");
    const std::wstring mount_ = testsupport::uniqueTestName();
};

TEST_F(UserHiveTest, LoadedHiveIsReadUnderItsMountNameUntilUnloaded) {
    ASSERT_FALSE(platform_.LoadUserHive(mount_, hiveFile_));

    const auto value =
        platform_.RegReadValue(L"HKU\\" + mount_ + L"\\Marca", RegistryView::Default);
    EXPECT_TRUE(contains(platform_.LoadedUserHives().value(), mount_));
    EXPECT_FALSE(platform_.UnloadUserHive(mount_));

    ASSERT_TRUE(value.ok()) << value.error().message();
    EXPECT_EQ(value.value().type, regtype::kString);
    const std::wstring text(reinterpret_cast<const wchar_t*>(value.value().bytes.data()),
                            value.value().bytes.size() / sizeof(wchar_t));
    // The raw bytes keep the string's terminating null.
    EXPECT_EQ(text, std::wstring(L"valor", 6));
    EXPECT_FALSE(contains(platform_.LoadedUserHives().value(), mount_));
    EXPECT_FALSE(platform_.RegKeyExists(L"HKU\\" + mount_ + L"\\", RegistryView::Default).value());
}

TEST_F(UserHiveTest, MissingFileIsNotLoaded) {
    EXPECT_TRUE(platform_.LoadUserHive(mount_, folder_.path(L"absent.dat")));
    EXPECT_FALSE(contains(platform_.LoadedUserHives().value(), mount_));
}

TEST_F(UserHiveTest, NameNeverLoadedCannotBeUnloaded) {
    EXPECT_TRUE(platform_.UnloadUserHive(mount_));
}

// Takes the lock with a platform of its own on a thread of its own, and gives
// it back at once when it got it.
std::error_code acquireOnAnotherThread(std::chrono::milliseconds wait) {
    std::error_code error;
    std::thread([&] {
        Win32Platform other;
        error = other.AcquireRepairLock(wait);
        other.ReleaseRepairLock();
    }).join();
    return error;
}

TEST(RepairLockTest, HeldLockMakesOthersWaitInVainUntilReleased) {
    Win32Platform platform;
    ASSERT_FALSE(platform.AcquireRepairLock(0ms));

    EXPECT_EQ(acquireOnAnotherThread(200ms), std::make_error_code(std::errc::timed_out));
    platform.ReleaseRepairLock();
    EXPECT_FALSE(acquireOnAnotherThread(0ms));
}

TEST(RepairLockTest, TakenTwiceByOneProgramIsFreedByOneRelease) {
    Win32Platform platform;
    ASSERT_FALSE(platform.AcquireRepairLock(0ms));
    EXPECT_FALSE(platform.AcquireRepairLock(0ms));

    platform.ReleaseRepairLock();
    EXPECT_FALSE(acquireOnAnotherThread(0ms));
}

TEST(RepairLockTest, LockOfAProgramThatEndedWithoutReleasingItIsFreeAndLeavesNoFile) {
    {
        // Gone without a release, as when its process ends: the system
        // closes what it held.
        Win32Platform deserter;
        ASSERT_FALSE(deserter.AcquireRepairLock(0ms));
    }
    EXPECT_EQ(GetFileAttributesW(win32::repairLockFile().value().c_str()), INVALID_FILE_ATTRIBUTES);
    Win32Platform platform;
    EXPECT_FALSE(platform.AcquireRepairLock(0ms));
    platform.ReleaseRepairLock();
}

TEST(RepairLockTest, LockFileLetsOnlyAdministratorsAndSystemOpenIt) {
    if (!testsupport::systemKeepsAccessLists()) {
        GTEST_SKIP() << "this system does not keep files' access lists";
    }
    Win32Platform platform;
    ASSERT_FALSE(platform.AcquireRepairLock(0ms));
    const auto access = testsupport::accessListOf(win32::repairLockFile().value());
    platform.ReleaseRepairLock();
    EXPECT_EQ(access, testsupport::kAdministratorsOnlyAccess);
}

}  // namespace
}  // namespace tovask
