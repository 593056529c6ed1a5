#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/PlatformOps.h"
#include "tests/fake/FakeFileSystem.h"
#include "tests/fake/FakeRegistry.h"

namespace tovask::fake {

struct RecordedCall {
    std::string operation;  // the PlatformOps method's name
    std::wstring target;    // its path, class name or command line
};

// What a recorded operation does to the machine.
enum class CallEffect {
    Reads,
    // A change whose failure the user must be told of.
    Changes,
    // Clears the way for the change that follows it, which fails in its turn
    // when the way stays blocked.
    Prepares,
    // Keeps other repairs out: its failure stops the run before anything changes.
    Locks,
};

struct OperationEffect {
    std::string_view operation;
    CallEffect effect;
};

// Every operation the fake records, one row each. record() refuses an
// operation missing here, so a platform call is sorted into reads and changes
// before any test can make it, and the fault matrices take their list of
// changing calls from here instead of keeping their own.
// clang-format off
inline constexpr OperationEffect kOperationEffects[] = {
    {"RegReadValue", CallEffect::Reads},          {"RegKeyExists", CallEffect::Reads},
    {"RegReadTree", CallEffect::Reads},           {"LoadedUserHives", CallEffect::Reads},
    {"RegListSubkeys", CallEffect::Reads},
    {"GetSpecialFolder", CallEffect::Reads},      {"FileExists", CallEffect::Reads},
    {"IsLocalFixedDrive", CallEffect::Reads},     {"LongPathName", CallEffect::Reads},
    {"FileHasContent", CallEffect::Reads},        {"ReadFileContent", CallEffect::Reads},
    {"FilesInFolder", CallEffect::Reads},         {"ListFiles", CallEffect::Reads},
    {"ReadShortcut", CallEffect::Reads},          {"ShortcutWithArguments", CallEffect::Reads},
    {"ReadTaskFile", CallEffect::Reads}, {"SchedulerKnowsTask", CallEffect::Reads},          {"FindWindowA", CallEffect::Reads},
    {"ProcessOwners", CallEffect::Reads},         {"ProgramUserSid", CallEffect::Reads},
    {"DesktopUserSid", CallEffect::Reads},        {"IsElevated", CallEffect::Reads},
    {"ExpandEnvironment", CallEffect::Reads},     {"Pause", CallEffect::Reads},
    {"MachineJoin", CallEffect::Reads},           {"KeyedCertificates", CallEffect::Reads},
    {"ListeningSockets", CallEffect::Reads},      {"FileWrittenAt", CallEffect::Reads},
    {"FoldersInFolder", CallEffect::Reads},       {"LocalTimeNow", CallEffect::Reads},

    {"RegWrite", CallEffect::Changes},            {"RegDelete", CallEffect::Changes},
    {"RegCreateKeyIn", CallEffect::Changes},      {"RegWriteRaw", CallEffect::Changes},
    {"RegDeleteIn", CallEffect::Changes},         {"RegDeleteValueIn", CallEffect::Changes},
    {"RegRemoveKeyAsRead", CallEffect::Changes},  {"RegRemoveValueAsRead", CallEffect::Changes},
    {"LoadUserHive", CallEffect::Changes},        {"UnloadUserHive", CallEffect::Changes},
    {"ClearAttributes", CallEffect::Prepares},     {"CopyFileOver", CallEffect::Changes},
    {"ReplaceFileContent", CallEffect::Changes},  {"RewriteUnchangedFile", CallEffect::Changes},
    {"RemoveUnchangedFile", CallEffect::Changes}, {"CreateNewFile", CallEffect::Changes},
    {"PreparePrivateFolder", CallEffect::Changes}, {"SetTaskEnabled", CallEffect::Changes},
    {"LaunchCommand", CallEffect::Changes},       {"FlushDnsCache", CallEffect::Changes},
    {"RefreshPolicy", CallEffect::Changes},       {"StartAsDesktopUser", CallEffect::Changes},
    {"AnnounceInternetSettingsChanged", CallEffect::Changes},
    {"RemovePrivateFolder", CallEffect::Changes},

    {"AcquireRepairLock", CallEffect::Locks},     {"ReleaseRepairLock", CallEffect::Locks},
};
// clang-format on

// The row of the operation; throws std::logic_error for one the table lacks.
CallEffect effectOf(std::string_view operation);

struct RecordedLaunch {
    std::wstring commandLine;
    LaunchStyle style;
};

// What a fake shortcut file holds: its fields as text, so that a test can
// write one and compare bytes.
std::string fakeShortcutBytes(const ShortcutContent& content);
// What a fake task file holds: "enabled" or "disabled", then a line per
// action with its command and arguments parted by a tab.
std::string fakeTaskBytes(const TaskDefinition& task);

// The platform of the tests: an in-memory registry and file system, windows
// that exist by class name, and launches recorded instead of made. A path
// names the file its links lead to, except for the checked rewrite, which
// refuses them. Every call is recorded in order, and any call that can fail
// can be made to fail.
class FakePlatform final : public PlatformOps {
  public:
    // Decides whether a call fails: given the call and its position among all
    // calls so far (from 0), returns the error to report, if any.
    using Fault = std::function<std::optional<std::error_code>(const RecordedCall&, std::size_t)>;

    FakePlatform();

    void addFault(Fault fault) { faults_.push_back(std::move(fault)); }
    void failCallAt(std::size_t position, std::error_code error);
    void failWhere(std::string_view operation, std::wstring_view targetPrefix,
                   std::error_code error);

    // RegistryOps.
    std::error_code RegWrite(std::wstring_view path, RegistryData value,
                             RegistryType type) override;
    std::error_code RegDelete(std::wstring_view path) override;
    bool HasTwoRegistryViews() override { return registry.twoViews; }
    Result<RegistryValue> RegReadValue(std::wstring_view path, RegistryView view) override;
    Result<bool> RegKeyExists(std::wstring_view keyPath, RegistryView view) override;
    Result<RegistryKeyContent> RegReadTree(std::wstring_view keyPath, RegistryView view) override;
    Result<SubkeyListing> RegListSubkeys(std::wstring_view keyPath, RegistryView view,
                                         std::size_t mostNames) override;
    std::error_code RegCreateKeyIn(std::wstring_view keyPath, RegistryView view) override;
    std::error_code RegWriteRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                const RegistryValue& value, RegistryView view) override;
    std::error_code RegDeleteIn(std::wstring_view path, RegistryView view) override;
    std::error_code RegDeleteValueIn(std::wstring_view keyPath, std::wstring_view valueName,
                                     RegistryView view) override;
    std::error_code RegRemoveKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                       const BeforeKeyRemoval& beforeRemoval) override;
    std::error_code RegRemoveValueAsRead(std::wstring_view keyPath, std::wstring_view valueName,
                                         RegistryView view,
                                         const BeforeValueRemoval& beforeRemoval) override;
    Result<std::vector<std::wstring>> LoadedUserHives() override;
    std::error_code LoadUserHive(std::wstring_view mountName, std::wstring_view hiveFile) override;
    std::error_code UnloadUserHive(std::wstring_view mountName) override;

    // FileOps.
    Result<std::wstring> GetSpecialFolder(SpecialFolder folder) override;
    Result<bool> FileExists(std::wstring_view path) override;
    Result<bool> FileHasContent(std::wstring_view path, std::string_view content) override;
    std::error_code ClearAttributes(std::wstring_view path) override;
    std::error_code CopyFileOver(std::wstring_view source, std::wstring_view destination) override;
    std::error_code ReplaceFileContent(std::wstring_view path, std::string_view content,
                                       FileProtection protection) override;
    std::error_code RewriteUnchangedFile(std::wstring_view path, std::string_view expected,
                                         std::string_view content) override;
    Result<std::string> ReadFileContent(std::wstring_view path, std::size_t limit) override;
    Result<CalendarTime> FileWrittenAt(std::wstring_view path) override;

    // SessionOps.
    std::uintptr_t FindWindowA(std::wstring_view className) override;
    std::error_code LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                  LaunchStyle style) override;
    std::error_code StartAsDesktopUser(std::wstring_view program,
                                       std::wstring_view arguments) override;
    Result<std::wstring> ProgramUserSid() override;
    Result<std::wstring> DesktopUserSid() override;
    Result<std::wstring> ExpandEnvironment(std::wstring_view text) override;
    std::error_code FlushDnsCache() override;
    Result<bool> IsElevated() override;
    Result<std::vector<std::wstring>> ProcessOwners(std::wstring_view executableName) override;
    // Only adds the time up.
    void Pause(std::chrono::milliseconds duration) override;
    std::error_code AcquireRepairLock(std::chrono::milliseconds wait) override;
    void ReleaseRepairLock() override;
    std::wstring DescribeError(std::error_code error) override;
    Result<MachineJoinState> MachineJoin() override;
    std::error_code RefreshPolicy() override;
    Result<bool> IsLocalFixedDrive(wchar_t letter) override;
    // The path with the first of `longNames` it starts with made long.
    Result<std::wstring> LongPathName(std::wstring_view path) override;
    Result<std::vector<std::wstring>> KeyedCertificates(std::wstring_view userSid) override;
    // Shortcuts are files of the fake file system that hold fakeShortcutBytes.
    Result<FileListing> ListFiles(std::wstring_view folder, std::wstring_view extension,
                                  const ListingLimits& limits) override;
    Result<ShortcutFile> ReadShortcut(std::wstring_view path) override;
    Result<std::string> ShortcutWithArguments(std::wstring_view path,
                                              std::wstring_view arguments) override;

    std::error_code RemoveUnchangedFile(std::wstring_view path, std::string_view expected) override;
    std::error_code CreateNewFile(std::wstring_view path, std::string_view content) override;
    // Task files are files of the fake file system that hold fakeTaskBytes;
    // enabling or disabling a task rewrites its file, as the scheduler does.
    Result<TaskDefinition> ReadTaskFile(std::wstring_view path) override;
    std::error_code SetTaskEnabled(std::wstring_view taskFile, bool enabled) override;
    Result<bool> SchedulerKnowsTask(std::wstring_view taskFile) override;
    std::error_code PreparePrivateFolder(std::wstring_view path) override;
    Result<std::vector<std::wstring>> FilesInFolder(std::wstring_view folder,
                                                    std::wstring_view extension) override;
    Result<std::vector<std::wstring>> FoldersInFolder(std::wstring_view folder) override;
    std::error_code RemovePrivateFolder(std::wstring_view path) override;
    Result<std::vector<ListeningSocket>> ListeningSockets() override;
    std::error_code AnnounceInternetSettingsChanged() override;
    CalendarTime LocalTimeNow() override;

    FakeRegistry registry;
    FakeFileSystem files;
    std::wstring windowsFolder = L"C:\\WINDOWS";
    std::wstring systemFolder = L"C:\\WINDOWS\\system32";
    std::set<std::wstring> openWindowClasses;
    // When every file there was last written.
    CalendarTime filesWrittenAt{2026, 3, 7, 9, 5};
    // What the clock shows.
    CalendarTime now{2026, 3, 7, 9, 5};
    // Letters of mapped shares and removable drives; every other is a fixed disk.
    std::set<wchar_t> notFixedDrives;
    // Short paths ("C:\\Users\\BOB~1") and the long ones they name.
    std::vector<std::pair<std::wstring, std::wstring>> longNames;
    std::wstring programUserSid = L"S-1-5-21-1004336348-1177238915-682003330-500";
    // The owner of the shell window; none when there is no shell.
    std::optional<std::wstring> desktopUserSid = programUserSid;
    int dnsCacheFlushes = 0;
    bool elevated = true;
    // Running processes: file name and owner.
    std::vector<std::pair<std::wstring, std::wstring>> processes;
    // Takes a user's hive, seeded as HKU\<SID>, out into a hive file that
    // LoadUserHive can mount again.
    void parkHive(std::wstring_view sid, std::wstring_view hiveFile);
    // Hive files that load, by path, with what they hold.
    std::map<std::wstring, FakeRegistry::State> hiveFiles;
    std::map<std::wstring, std::wstring> mountedFiles;  // mount name -> file
    std::chrono::milliseconds paused{0};
    MachineJoinState machineJoin;
    int policyRefreshes = 0;
    // Certificates with a private key: the store's user ("" for the
    // machine) and the thumbprint in upper-case hexadecimal.
    std::set<std::pair<std::wstring, std::wstring>> keyedCertificates;
    std::vector<ListeningSocket> listeningSockets;
    // Files in the Tasks folder that the scheduler never registered.
    std::set<std::wstring> tasksUnknownToScheduler;
    int internetSettingsNotices = 0;
    bool lockHeldElsewhere = false;
    bool lockHeld = false;

    std::vector<RecordedCall> calls;
    std::vector<RecordedLaunch> launches;
    // What the desktop's shell was asked to start: "<program> <arguments>".
    std::vector<std::wstring> desktopStarts;

  private:
    std::optional<std::error_code> record(std::string_view operation, std::wstring_view target);
    // What the checked rewrite and removal refuse: a link, a second name, other bytes.
    std::error_code reachedDirectlyUnchanged(std::wstring_view path,
                                             std::string_view expected) const;

    std::vector<Fault> faults_;
};

}  // namespace tovask::fake
