#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <optional>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Platform.h"
#include "tests/win32/TestNames.h"

namespace tovask {
namespace {

using win32::KernelHandle;

std::wstring lowered(std::wstring text) {
    for (auto& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

std::wstring ownFolder() {
    wchar_t ownPath[MAX_PATH] = {};
    const std::wstring path(ownPath, GetModuleFileNameW(nullptr, ownPath, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\'));
}

// A process that this test process started, found by its file name.
std::optional<DWORD> childNamed(const std::wstring& fileName) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const KernelHandle processes(snapshot);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() &&
            lowered(entry.szExeFile) == lowered(fileName)) {
            return entry.th32ProcessID;
        }
    }
    return std::nullopt;
}

std::optional<DWORD> waitForChildNamed(const std::wstring& fileName) {
    for (int attempt = 0; attempt < 600; ++attempt) {
        if (const auto child = childNamed(fileName)) {
            return child;
        }
        Sleep(100);
    }
    return std::nullopt;
}

std::wstring imagePathOf(HANDLE process) {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD length = MAX_PATH * 2;
    if (!QueryFullProcessImageNameW(process, 0, path, &length)) {
        return {};
    }
    return {path, length};
}

// Everything this process starts from now on, and what those processes start
// in turn, ends with this process: the shell program hands its work to a
// second process that would otherwise outlive the test and keep the test
// runner waiting on the output it inherited.
void endStartedProgramsWithThisProcess() {
    static const HANDLE job = [] {
        const HANDLE created = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        AssignProcessToJobObject(created, GetCurrentProcess());
        return created;
    }();
    ASSERT_NE(job, nullptr) << GetLastError();
}

// A program named like the shell program lies in our own folder, where a
// search by bare name would find it first.
class LaunchCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        endStartedProgramsWithThisProcess();
        ASSERT_TRUE(CopyFileW((ownFolder() + L"\\tovask_planted_program.exe").c_str(),
                              planted_.c_str(), FALSE))
            << GetLastError();
    }
    void TearDown() override {
        DeleteFileW(planted_.c_str());
        DeleteFileW(marker_.c_str());
    }

    Win32Platform platform_;
    const std::wstring planted_ = ownFolder() + L"\\explorer.exe";
    const std::wstring marker_ = planted_ + L".ran";
};

TEST_F(LaunchCommandTest, StartsTheWindowsFoldersProgramNotOneBesideUs) {
    const auto windows = platform_.GetSpecialFolder(SpecialFolder::Windows);
    ASSERT_TRUE(windows.ok());
    // A folder that does not exist: the shell program opens an empty browsing
    // window instead of a site, and stays until the test ends it.
    const std::wstring argument = L"C:\\" + testsupport::uniqueTestName();

    ASSERT_FALSE(
        platform_.LaunchCommand(L"explorer.exe", argument, LaunchStyle::MinimizedWithFocus));

    const auto child = waitForChildNamed(L"explorer.exe");
    ASSERT_TRUE(child.has_value());
    const HANDLE opened = OpenProcess(
        PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, *child);
    ASSERT_NE(opened, nullptr) << GetLastError();
    const KernelHandle process(opened);
    const std::wstring image = imagePathOf(process.get());
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);

    // Wine runs its own shell program for the Windows folder's stub and names
    // the image after the copy in the system folder, so only the folder the
    // image comes from is compared.
    EXPECT_TRUE(lowered(image).starts_with(lowered(windows.value() + L"\\")))
        << testing::PrintToString(image);
    EXPECT_TRUE(lowered(image).ends_with(L"\\explorer.exe")) << testing::PrintToString(image);
    EXPECT_EQ(GetFileAttributesW(marker_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LaunchCommandTest, ProgramNameWithAFolderIsRefused) {
    for (const wchar_t* program :
         {L"..\\explorer.exe", L"C:\\explorer.exe", L"sub/explorer.exe", L"C:explorer.exe", L""}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(program)));
        EXPECT_EQ(platform_.LaunchCommand(program, L"x", LaunchStyle::MinimizedWithFocus),
                  std::make_error_code(std::errc::invalid_argument));
    }
    EXPECT_EQ(GetFileAttributesW(marker_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LaunchCommandTest, ProgramMissingFromWindowsFolderIsNotFound) {
    EXPECT_TRUE(isNotFound(platform_.LaunchCommand(testsupport::uniqueTestName() + L".exe", L"x",
                                                   LaunchStyle::MinimizedWithFocus)));
}

}  // namespace
}  // namespace tovask
