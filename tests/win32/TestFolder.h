#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Handles.h"

namespace tovask::testsupport {

// A fresh folder under the system's temporary folder, named after the running
// test; removed with everything in it, whatever attributes its files got.
class TestFolder {
  public:
    TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    ~TestFolder();

    std::wstring path(std::wstring_view name) const;
    // The names in the folder, sorted: shows any file left behind.
    std::vector<std::wstring> names() const;

  private:
    std::wstring root_;
};

void writeBytes(const std::wstring& path, std::string_view bytes);
std::string readBytes(const std::wstring& path);
// A file's access list as the system's text form, such as "D:P(A;;FA;;;SY)";
// empty when it cannot be read.
std::wstring accessListOf(const std::wstring& path);
// Whether the file system keeps the access list set on a file. Windows does;
// Wine keeps it only where it can store it, and otherwise shows one made from
// the file's Unix mode, so tests of access lists have nothing to read there.
bool systemKeepsAccessLists();
// Where the system keeps no access lists (Wine), the folder of each run's
// backups that an earlier run made cannot be shown private again, and every
// later run would refuse it: it is removed, as on a machine never repaired.
void forgetRunSetsWhereNoAccessListIsKept(const std::wstring& setsFolder);
// The same for the system's own folder of the runs' backups, before the
// program runs.
void forgetEarlierRunSets();
// Removes the copies folder a repair made, which Wine cannot protect: the
// next run's undo would refuse it.
void removeFileCopies();
// Protected, full control for Administrators and SYSTEM only.
inline constexpr std::wstring_view kAdministratorsOnlyAccess = L"D:P(A;;FA;;;BA)(A;;FA;;;SY)";
// The file held open by another handle that shares nothing.
win32::KernelHandle lockWithoutSharing(const std::wstring& path);

}  // namespace tovask::testsupport
