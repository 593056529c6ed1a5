#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

#include "platform/RegistryValue.h"
#include "platform/Result.h"

namespace tovask {

// How RegWrite stores its value: the plain call stores a string; "REG_DWORD"
// stores a 32-bit number taken from an integer or from a decimal text.
enum class RegistryType { String, Dword };
using RegistryData = std::variant<std::wstring_view, std::int32_t>;

enum class SpecialFolder { Windows = 0, System = 1 };

// Who may open a file that a replacement writes.
enum class FileProtection {
    // Whoever could open the file it replaces; a new file takes what its
    // folder passes on.
    AsReplaced,
    // Administrators and SYSTEM only, for what holds other users' settings.
    AdministratorsOnly,
};

// Whether the machine belongs to an organisation's directory.
struct MachineJoinState {
    bool domainJoined = false;
    bool cloudJoined = false;  // as a device, not a personal device with a work account
};

// Window style of a started process, valued as the system's show command.
enum class LaunchStyle : int { MinimizedWithFocus = 2 };

// The only door from the program's logic to the operating system. Every
// operation reports success or the system error; a missing key, value or file
// is reported as std::errc::no_such_file_or_directory so callers can tell it
// from other failures. Paths are passed as text, never as handles.
class PlatformOps {
  public:
    virtual ~PlatformOps() = default;

    // Registry. A path is "HKCU", "HKLM" or "HKU", a backslash and key names joined by
    // backslashes; a trailing backslash names a key (its default value for a
    // write), otherwise the text after the last backslash is a value name.
    virtual std::error_code RegWrite(std::wstring_view path, RegistryData value,
                                     RegistryType type) = 0;
    // Deletes a value, or a key with its whole subtree.
    virtual std::error_code RegDelete(std::wstring_view path) = 0;

    // The registry one view at a time, for the backup and its restore. Paths
    // take the same form as above and may also start with "HKU"; the view is
    // one of viewsFor(root, HasTwoRegistryViews()).
    // True on a 64-bit Windows, whose machine-wide software keys have a 32-bit
    // and a 64-bit view; the rows under HKLM then act on both.
    virtual bool HasTwoRegistryViews() = 0;
    // A value, or with a trailing backslash the key's default value.
    virtual Result<RegistryValue> RegReadValue(std::wstring_view path, RegistryView view) = 0;
    // Whether the key named by a path with a trailing backslash exists.
    virtual Result<bool> RegKeyExists(std::wstring_view keyPath, RegistryView view) = 0;
    // The key with all its values and subkeys, to any depth; its own name is
    // the last name of the path.
    virtual Result<RegistryKeyContent> RegReadTree(std::wstring_view keyPath,
                                                   RegistryView view) = 0;
    // Creates the key and the keys on the way to it; an existing key is kept.
    virtual std::error_code RegCreateKeyIn(std::wstring_view keyPath, RegistryView view) = 0;
    // Stores the raw bytes under the type, creating the keys on the way. The
    // value is named apart from its key, since a value's name may hold a
    // backslash; an empty name is the key's default value.
    virtual std::error_code RegWriteRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                        const RegistryValue& value, RegistryView view) = 0;
    // Deletes a value, or a key with its subtree, in this view only.
    virtual std::error_code RegDeleteIn(std::wstring_view path, RegistryView view) = 0;
    // Deletes one value of the key, its default value for an empty name.
    virtual std::error_code RegDeleteValueIn(std::wstring_view keyPath, std::wstring_view valueName,
                                             RegistryView view) = 0;

    // Files. Folder paths come without a trailing backslash.
    virtual Result<std::wstring> GetSpecialFolder(SpecialFolder folder) = 0;
    virtual Result<bool> FileExists(std::wstring_view path) = 0;
    // True when the file holds exactly these bytes.
    virtual Result<bool> FileHasContent(std::wstring_view path, std::string_view content) = 0;
    // Makes the file's attributes normal; a missing file is "not found".
    virtual std::error_code ClearAttributes(std::wstring_view path) = 0;
    // Both replace the destination in one step: afterwards it holds either its
    // old bytes or all of the new ones, and no temporary file is left behind.
    // A copy keeps the protection of the file it replaces.
    virtual std::error_code CopyFileOver(std::wstring_view source,
                                         std::wstring_view destination) = 0;
    virtual std::error_code ReplaceFileContent(std::wstring_view path, std::string_view content,
                                               FileProtection protection) = 0;
    // The whole file; a file larger than the limit is refused with
    // std::errc::file_too_large before it is read.
    virtual Result<std::string> ReadFileContent(std::wstring_view path, std::size_t limit) = 0;

    // Windows and processes.
    // The identity of a top-level window of the class, any title; 0 when none.
    virtual std::uintptr_t FindWindowA(std::wstring_view className) = 0;
    // Starts the system program (a file name of the Windows folder) with one
    // argument; its command line reads "<program> <argument>". Returns at once.
    virtual std::error_code LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                          LaunchStyle style) = 0;

    // Users and system services.
    // The security identifier ("S-1-5-21-...") of the user this program runs as.
    virtual Result<std::wstring> ProgramUserSid() = 0;
    // That of the user whose desktop the program is on: the owner of the
    // shell window's process. "Not found" when there is no shell window.
    virtual Result<std::wstring> DesktopUserSid() = 0;
    // The text with its %NAME% references to environment variables expanded.
    virtual Result<std::wstring> ExpandEnvironment(std::wstring_view text) = 0;
    // Empties the DNS resolver cache, so that names resolve by HOSTS again.
    virtual std::error_code FlushDnsCache() = 0;
    // True when the program runs with an administrator's full rights.
    virtual Result<bool> IsElevated() = 0;
    // The owner ("DOMAIN\user") of every running process of this file name,
    // such as "iexplore.exe", whoever's desktop it is on.
    virtual Result<std::vector<std::wstring>> ProcessOwners(std::wstring_view executableName) = 0;

    // The users' hives, for a repair on behalf of every user of the machine.
    // The names of the keys directly under HKEY_USERS.
    virtual Result<std::vector<std::wstring>> LoadedUserHives() = 0;
    // Loads a user's NTUSER.DAT as HKEY_USERS\<mountName>, enabling the backup
    // and restore privileges that this needs.
    virtual std::error_code LoadUserHive(std::wstring_view mountName,
                                         std::wstring_view hiveFile) = 0;
    virtual std::error_code UnloadUserHive(std::wstring_view mountName) = 0;
    // Lets the time go by, for a step that is tried again after a moment.
    virtual void Pause(std::chrono::milliseconds duration) = 0;

    // One repair or undo at a time on the whole machine, from the window or
    // the command line. Waits up to the limit, then fails with
    // std::errc::timed_out; a lock left by a program that died is taken over.
    // Only administrators and SYSTEM can take or hold it.
    virtual std::error_code AcquireRepairLock(std::chrono::milliseconds wait) = 0;
    virtual void ReleaseRepairLock() = 0;

    // The system's short description of an error, for the user.
    virtual std::wstring DescribeError(std::error_code error) = 0;

    // Management and policy, for the findings beyond Internet Explorer.
    virtual Result<MachineJoinState> MachineJoin() = 0;
    // Asks the system to apply machine and user policy again now;
    // std::errc::function_not_supported when it cannot be asked.
    virtual std::error_code RefreshPolicy() = 0;
};

}  // namespace tovask
