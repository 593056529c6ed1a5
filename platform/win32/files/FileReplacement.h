#pragma once

#include <string_view>
#include <system_error>

#include "platform/PlatformOps.h"

namespace tovask::win32 {

// Both build the new file beside the destination and then put it in the
// destination's place in one step: afterwards the destination holds either
// its old bytes or all of the new ones, never a part, and no temporary file
// is left behind. The destination's attributes are cleared first, so a
// read-only, hidden or system file is replaced too. The new file is created
// with its protection, since the move into place keeps it: as replaced, the
// owner and access list of the file it replaces.
std::error_code copyFileOver(std::wstring_view source, std::wstring_view destination);
std::error_code replaceFileContent(std::wstring_view path, std::string_view content,
                                   FileProtection protection);

// Writes the content over the file in place, through the one handle that the
// checks were made on: the file opened at this very path, reached through no
// link or junction, known by no other name and holding exactly `expected`.
// Nothing is written otherwise: std::errc::too_many_symbolic_link_levels for a
// link, a junction or a second name, std::errc::operation_canceled when the
// bytes differ. A read-only file is written too and stays read-only. For a
// file in a folder its user can write, where a replacement by name could be
// sent elsewhere between the check and the write.
std::error_code rewriteUnchangedFile(std::wstring_view path, std::string_view expected,
                                     std::string_view content);

// Deletes the file under the same checks, through the handle they were made on.
std::error_code removeUnchangedFile(std::wstring_view path, std::string_view expected);

// Creates the file only where none is, and keeps it only when the system
// reached it by its own path: one a link or junction on the way sent
// elsewhere is deleted again through its handle and refused with
// std::errc::too_many_symbolic_link_levels.
std::error_code createNewFile(std::wstring_view path, std::string_view content);

}  // namespace tovask::win32
