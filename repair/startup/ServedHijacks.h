#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "repair/report/Finding.h"

namespace tovask {

// What the run found before the start-up programs that a program may serve:
// the program listening behind a proxy, and the folders that a browser is
// told to load an extension from.
class ServedHijacks {
  public:
    ServedHijacks() = default;
    explicit ServedHijacks(std::span<const Finding> found);

    // Why a start-up command keeps one of them going: it starts that program,
    // or a program in that folder. None otherwise.
    std::optional<std::wstring_view> servedBy(std::wstring_view command) const;

  private:
    std::vector<std::wstring> programs_;  // folded
    std::vector<std::wstring> folders_;   // folded, with a closing backslash
};

}  // namespace tovask
