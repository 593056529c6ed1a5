#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace tovask::win32 {

struct ListingLimits {
    // 0 lists the folder alone, 1 also its subfolders, and so on.
    int maxDepth = 0;
    // Files returned at most.
    std::size_t maxFiles = 0;
    // Names looked at at most, files and folders: a user's folder with a
    // million entries must not stall the run.
    std::size_t maxEntries = 0;
};

struct FileListing {
    // Full paths, in the order found.
    std::vector<std::wstring> files;
    // Subfolders that could not be read; the others were listed all the same.
    std::vector<std::wstring> unreadableFolders;
    // A limit stopped the listing before it was complete.
    bool truncated = false;
};

// The files whose names end in the extension (".lnk"), in the folder and its
// subfolders down to the depth limit. Reparse points below the folder, such as
// junctions and symbolic links, are neither entered nor returned: a user's
// link must not lead the elevated program to other folders, into a loop, or
// to write through a link into a file the user may not change. An error only
// when the folder itself cannot be read.
Result<FileListing> listFiles(std::wstring_view folder, std::wstring_view extension,
                              const ListingLimits& limits);

}  // namespace tovask::win32
