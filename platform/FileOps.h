#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/ScheduledTasks.h"
#include "platform/ShortcutFiles.h"
#include "values/CalendarTime.h"
#include "values/Result.h"

namespace tovask {

enum class SpecialFolder { Windows = 0, System = 1 };

// Who may open a file that a replacement writes.
enum class FileProtection {
    // Whoever could open the file it replaces; a new file takes what its
    // folder passes on.
    AsReplaced,
    // Administrators and SYSTEM only, for what holds other users' settings.
    AdministratorsOnly,
};

// The files and folders part of the platform. Folder paths come without a
// trailing backslash.
class FileOps {
  public:
    virtual ~FileOps() = default;

    virtual Result<std::wstring> GetSpecialFolder(SpecialFolder folder) = 0;
    virtual Result<bool> FileExists(std::wstring_view path) = 0;
    // Whether the drive of this letter is a disk fixed in this machine; a
    // mapped share, a removable or optical drive, or no drive is not. Asks
    // the system about the letter alone: nothing on the drive is opened.
    virtual Result<bool> IsLocalFixedDrive(wchar_t letter) = 0;
    // The existing path with each short (8.3) name replaced by its long one,
    // as the file system names them. Only for a path on a fixed local disk:
    // it is looked up on the disk.
    virtual Result<std::wstring> LongPathName(std::wstring_view path) = 0;
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
    // Writes the content over a file in a folder its user can write, in place
    // and only when the file is the one its path names, reached through no
    // link or junction and known by no other name
    // (std::errc::too_many_symbolic_link_levels otherwise), and still holds
    // exactly `expected` (std::errc::operation_canceled otherwise). A
    // read-only file is written too and stays read-only.
    virtual std::error_code RewriteUnchangedFile(std::wstring_view path, std::string_view expected,
                                                 std::string_view content) = 0;
    // The whole file; a file larger than the limit is refused with
    // std::errc::file_too_large before it is read.
    virtual Result<std::string> ReadFileContent(std::wstring_view path, std::size_t limit) = 0;
    // When the file's content was last written, in local time.
    virtual Result<CalendarTime> FileWrittenAt(std::wstring_view path) = 0;

    // Creates the folder (its parent must exist) so that only Administrators
    // and SYSTEM may use it, or checks the one already there: one with another
    // owner, or that lets anyone else in, is refused with
    // std::errc::permission_denied. For the backups of the files a repair changes.
    virtual std::error_code PreparePrivateFolder(std::wstring_view path) = 0;
    // The full paths of the files directly in the folder whose names end in
    // the extension (".js"); links and subfolders are left out, and a folder
    // with too many entries is listed only in part.
    virtual Result<std::vector<std::wstring>> FilesInFolder(std::wstring_view folder,
                                                            std::wstring_view extension) = 0;
    // The full paths of the folders directly in the folder; links and
    // junctions are left out, and a folder with too many entries is listed
    // only in part.
    virtual Result<std::vector<std::wstring>> FoldersInFolder(std::wstring_view folder) = 0;
    // Deletes a folder PreparePrivateFolder made, with the files directly in
    // it. A folder holding a folder or a link, or that is itself a link, is
    // refused with std::errc::too_many_symbolic_link_levels, before anything
    // in it is deleted: nothing is ever deleted through a link.
    virtual std::error_code RemovePrivateFolder(std::wstring_view path) = 0;

    // Shortcuts and the folders that hold them, for the shortcut findings.
    // The files whose names end in the extension, in the folder and its
    // subfolders down to the limits; links and junctions below the folder are
    // neither entered nor listed. An error only when the folder itself cannot
    // be read.
    virtual Result<FileListing> ListFiles(std::wstring_view folder, std::wstring_view extension,
                                          const ListingLimits& limits) = 0;
    // Read by the shell's own shortcut object, never resolved: nothing is
    // looked up and the target is never started or searched for.
    virtual Result<ShortcutFile> ReadShortcut(std::wstring_view path) = 0;
    // The bytes the shortcut's file would hold with these arguments and
    // everything else as it is, written nowhere: the caller backs up and
    // replaces the file itself.
    virtual Result<std::string> ShortcutWithArguments(std::wstring_view path,
                                                      std::wstring_view arguments) = 0;

    // Deletes a file in a folder its user can write, under the same checks as
    // RewriteUnchangedFile: reached through no link, known by no other name,
    // still holding exactly `expected`. A read-only file is deleted too.
    virtual std::error_code RemoveUnchangedFile(std::wstring_view path,
                                                std::string_view expected) = 0;
    // Creates a file that is not there (std::errc::file_exists otherwise) in
    // a folder its user can write; one the system reached through a link or
    // junction is deleted again and refused with
    // std::errc::too_many_symbolic_link_levels.
    virtual std::error_code CreateNewFile(std::wstring_view path, std::string_view content) = 0;

    // Scheduled tasks, by the scheduler's own file of each, below
    // %SystemRoot%\System32\Tasks. Read by the system's XML reader, which
    // follows no document type or outside reference; a file that is no task
    // definition is std::errc::illegal_byte_sequence.
    virtual Result<TaskDefinition> ReadTaskFile(std::wstring_view path) = 0;
    // Through the Task Scheduler, never by writing the file: the scheduler
    // writes it itself.
    virtual std::error_code SetTaskEnabled(std::wstring_view taskFile, bool enabled) = 0;
    // Whether the Task Scheduler has the task of this file registered: it
    // runs only the tasks it knows, and only those can be enabled or disabled.
    virtual Result<bool> SchedulerKnowsTask(std::wstring_view taskFile) = 0;
};

// Passes every file operation on to another platform; a decorator derives
// from it (through ForwardingPlatform) and overrides only what it handles.
class ForwardingFileOps : public virtual FileOps {
  public:
    explicit ForwardingFileOps(FileOps& next) : next_(next) {}

    Result<std::wstring> GetSpecialFolder(SpecialFolder folder) override {
        return next_.GetSpecialFolder(folder);
    }
    Result<bool> FileExists(std::wstring_view path) override { return next_.FileExists(path); }
    Result<bool> IsLocalFixedDrive(wchar_t letter) override {
        return next_.IsLocalFixedDrive(letter);
    }
    Result<std::wstring> LongPathName(std::wstring_view path) override {
        return next_.LongPathName(path);
    }
    Result<bool> FileHasContent(std::wstring_view path, std::string_view content) override {
        return next_.FileHasContent(path, content);
    }
    std::error_code ClearAttributes(std::wstring_view path) override {
        return next_.ClearAttributes(path);
    }
    std::error_code CopyFileOver(std::wstring_view source, std::wstring_view destination) override {
        return next_.CopyFileOver(source, destination);
    }
    std::error_code ReplaceFileContent(std::wstring_view path, std::string_view content,
                                       FileProtection protection) override {
        return next_.ReplaceFileContent(path, content, protection);
    }
    std::error_code RewriteUnchangedFile(std::wstring_view path, std::string_view expected,
                                         std::string_view content) override {
        return next_.RewriteUnchangedFile(path, expected, content);
    }
    Result<std::string> ReadFileContent(std::wstring_view path, std::size_t limit) override {
        return next_.ReadFileContent(path, limit);
    }
    Result<CalendarTime> FileWrittenAt(std::wstring_view path) override {
        return next_.FileWrittenAt(path);
    }
    std::error_code PreparePrivateFolder(std::wstring_view path) override {
        return next_.PreparePrivateFolder(path);
    }
    Result<std::vector<std::wstring>> FilesInFolder(std::wstring_view folder,
                                                    std::wstring_view extension) override {
        return next_.FilesInFolder(folder, extension);
    }
    Result<std::vector<std::wstring>> FoldersInFolder(std::wstring_view folder) override {
        return next_.FoldersInFolder(folder);
    }
    std::error_code RemovePrivateFolder(std::wstring_view path) override {
        return next_.RemovePrivateFolder(path);
    }
    Result<FileListing> ListFiles(std::wstring_view folder, std::wstring_view extension,
                                  const ListingLimits& limits) override {
        return next_.ListFiles(folder, extension, limits);
    }
    Result<ShortcutFile> ReadShortcut(std::wstring_view path) override {
        return next_.ReadShortcut(path);
    }
    Result<std::string> ShortcutWithArguments(std::wstring_view path,
                                              std::wstring_view arguments) override {
        return next_.ShortcutWithArguments(path, arguments);
    }
    std::error_code RemoveUnchangedFile(std::wstring_view path,
                                        std::string_view expected) override {
        return next_.RemoveUnchangedFile(path, expected);
    }
    std::error_code CreateNewFile(std::wstring_view path, std::string_view content) override {
        return next_.CreateNewFile(path, content);
    }
    Result<TaskDefinition> ReadTaskFile(std::wstring_view path) override {
        return next_.ReadTaskFile(path);
    }
    std::error_code SetTaskEnabled(std::wstring_view taskFile, bool enabled) override {
        return next_.SetTaskEnabled(taskFile, enabled);
    }
    Result<bool> SchedulerKnowsTask(std::wstring_view taskFile) override {
        return next_.SchedulerKnowsTask(taskFile);
    }

  private:
    FileOps& next_;
};

}  // namespace tovask
