#pragma once

#include <string>
#include <string_view>

#include "platform/ShortcutFiles.h"
#include "values/Result.h"

namespace tovask::win32 {

// The files whose names end in the extension (".lnk"), in the folder and its
// subfolders down to the depth limit. Reparse points below the folder, such as
// junctions and symbolic links, are neither entered nor returned: a user's
// link must not lead the elevated program to other folders, into a loop, or
// to write through a link into a file the user may not change. An error only
// when the folder itself cannot be read.
Result<FileListing> listFiles(std::wstring_view folder, std::wstring_view extension,
                              const ListingLimits& limits);

}  // namespace tovask::win32
