#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/commands/SystemProgramNames.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// Where Windows and the installed programs keep theirs, and the folders that
// hold a whole profile or more: what a finding of another kind may never
// have the start-up programs' kind take away.
class SystemFolders {
  public:
    // The standard folders of each drive and of each profile below its Users
    // folder alone.
    SystemFolders() = default;
    // Also Windows's folder as the system names it, and the profiles wherever
    // they lie; a 64-bit Windows also keeps its programs in SysWOW64.
    SystemFolders(std::wstring_view windowsFolder, std::vector<std::wstring> profiles,
                  bool is64Bit = false);

    // Windows's folder and the profiles that ProfileList names. What cannot be
    // read is a failure, and the standard folders stand for it, though not
    // where Windows keeps its own programs.
    static SystemFolders of(PlatformOps& platform, FailureLog& failures);

    // A folder that is no full path below a drive's root (a drive root, a
    // relative or network path, an environment reference, a short name), one
    // that lies where keepsProgram looks, and one that is or holds ProgramData,
    // Users, a profile, or a profile's AppData, Local, LocalLow, Roaming,
    // Programs or Temp folder.
    bool refusesFolder(std::wstring_view folder) const;
    // Whether a program lies at or below Windows's folder, a Program Files
    // folder, or the Microsoft folder of ProgramData or of a profile's AppData,
    // where the system and signed updaters keep their programs.
    bool keepsProgram(std::wstring_view program) const;
    // Where Windows keeps its own programs, to tell them from a program that
    // takes one's name.
    const WindowsProgramFolders& programFolders() const { return programFolders_; }

  private:
    // Folded and normalised, each as a pair: the folder, and whether all below
    // it is kept too.
    struct Kept {
        std::wstring folder;
        bool withAllBelow;
    };
    std::vector<Kept> keptFor(std::wstring_view path) const;

    std::vector<Kept> kept_;
    WindowsProgramFolders programFolders_;
};

}  // namespace tovask
