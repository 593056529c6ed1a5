#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "values/Result.h"

namespace tovask::win32 {

// Why an existing folder may not hold the backups.
enum class PrivateFolderProblem {
    None,
    // A file, or a junction or link that may lead anywhere.
    NotAPlainFolder,
    // Owned by another account, which could change its access list.
    ForeignOwner,
    // No access list at all: everyone may do everything.
    NoAccessList,
    // An account other than Administrators and SYSTEM is let in.
    OtherAccountAllowed,
};

struct PrivateFolderCheck {
    // std::errc::permission_denied when the folder is refused for a problem.
    std::error_code error;
    PrivateFolderProblem problem = PrivateFolderProblem::None;
    // The account that owns it or is let in ("S-1-5-21-..."), when one is named.
    std::wstring account;
};

// Creates the folder (its parent must exist) so that only Administrators and
// SYSTEM may use it and what it will hold, owned by Administrators. A folder
// that is already there is used only when it is protected the same way.
PrivateFolderCheck preparePrivateFolder(std::wstring_view path);

// Writes a file into the private folder, prepared as above first, so that the
// file holds either its old bytes or all the new ones; it takes the folder's
// protection. A refused folder gives std::errc::permission_denied.
std::error_code writePrivateFile(std::wstring_view folder, std::wstring_view name,
                                 std::string_view content);

// The full paths of the folders directly in the folder, reparse points left out.
Result<std::vector<std::wstring>> foldersIn(std::wstring_view folder);

// Deletes the folder and the files directly in it, unless it or anything in
// it is a folder or a reparse point: then nothing is deleted.
std::error_code removePrivateFolder(std::wstring_view path);

}  // namespace tovask::win32
