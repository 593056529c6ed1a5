#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "repair/report/Finding.h"
#include "repair/startup/StartupCommand.h"
#include "repair/startup/SystemFolders.h"

namespace tovask {

// What the findings before a start-up program established that it may
// serve: the program found listening behind a proxy, and the folders a
// browser's command line loads extensions from. Only the evidence of findings
// their kind may repair counts; never their text, nor a folder or program
// that the system folders keep.
class ServedHijacks {
  public:
    ServedHijacks() = default;
    ServedHijacks(std::span<const Finding> found, SystemFolders system);

    // Takes in the evidence of more findings, such as the kind's own earlier ones.
    void learnFrom(std::span<const Finding> found);

    // Why a start-up command keeps one of them going: it starts that program,
    // or a program in that folder. None otherwise.
    std::optional<StartupHijack> servedBy(std::wstring_view command) const;

    // What a start-up command puts back: a hijack of its own
    // (startupCommandHijack); else, or where that is only reported, its
    // program taking the name of one of Windows' own outside the folder that
    // keeps it (systemNameImpostor); else one of these that it serves.
    std::optional<StartupHijack> hijackOf(std::wstring_view command) const;

    // Where Windows keeps its own programs.
    const WindowsProgramFolders& programFolders() const { return system_.programFolders(); }

  private:
    SystemFolders system_;
    std::vector<std::wstring> programs_;  // folded and normalised
    std::vector<std::wstring> folders_;   // folded and normalised
};

}  // namespace tovask
