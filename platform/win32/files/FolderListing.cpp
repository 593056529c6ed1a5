#include "platform/win32/files/FolderListing.h"

#include <windows.h>

#include <utility>

#include "platform/win32/ScopedHandle.h"
#include "platform/win32/SystemError.h"
#include "text/TextCompare.h"

namespace tovask::win32 {
namespace {

// "None" is nullptr: a failed FindFirstFileExW is turned into an error first.
using FindHandle = ScopedHandle<HANDLE, &FindClose>;

struct PendingFolder {
    std::wstring path;
    int depth = 0;
};

// A name may be the ending itself: a profile's "Preferences" file is listed
// by that name.
bool hasExtension(std::wstring_view name, std::wstring_view extension) {
    return name.size() >= extension.size() &&
           equalsIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

bool isDotEntry(std::wstring_view name) {
    return name == L"." || name == L"..";
}

class FolderWalk {
  public:
    FolderWalk(std::wstring_view extension, const ListingLimits& limits)
        : extension_(extension), limits_(limits) {}

    // Every name is matched here, not by a pattern given to the system, which
    // would also match the short 8.3 names ("x.lnkx" has one ending in ".LNK").
    std::error_code readFolder(const PendingFolder& folder) {
        WIN32_FIND_DATAW entry;
        const std::wstring pattern = folder.path + L"\\*";
        const HANDLE found = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                              FindExSearchNameMatch, nullptr, 0);
        if (found == INVALID_HANDLE_VALUE) {
            const auto error = lastError();
            // An empty folder has no entry, not even "." on some file systems.
            return error == std::error_code(ERROR_NO_MORE_FILES, std::system_category())
                       ? std::error_code{}
                       : error;
        }
        const FindHandle search(found);
        do {
            if (!take(folder, entry)) {
                listing_.truncated = true;
                return {};
            }
        } while (FindNextFileW(search.get(), &entry));
        return {};
    }

    bool hasPending() const { return !pending_.empty(); }
    PendingFolder nextPending() {
        PendingFolder next = std::move(pending_.back());
        pending_.pop_back();
        return next;
    }
    FileListing& listing() { return listing_; }

  private:
    // False once a limit is reached.
    bool take(const PendingFolder& folder, const WIN32_FIND_DATAW& entry) {
        const std::wstring_view name = entry.cFileName;
        if (isDotEntry(name) || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return true;
        }
        if (++entries_ > limits_.maxEntries) {
            return false;
        }
        const std::wstring path = folder.path + L"\\" + std::wstring(name);
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (folder.depth < limits_.maxDepth) {
                pending_.push_back({path, folder.depth + 1});
            }
            return true;
        }
        if (!hasExtension(name, extension_)) {
            return true;
        }
        if (listing_.files.size() >= limits_.maxFiles) {
            return false;
        }
        listing_.files.push_back(path);
        return true;
    }

    std::wstring_view extension_;
    ListingLimits limits_;
    std::vector<PendingFolder> pending_;
    std::size_t entries_ = 0;
    FileListing listing_;
};

}  // namespace

Result<FileListing> listFiles(std::wstring_view folder, std::wstring_view extension,
                              const ListingLimits& limits) {
    FolderWalk walk(extension, limits);
    if (const auto error = walk.readFolder({std::wstring(folder), 0})) {
        return error;
    }
    while (walk.hasPending() && !walk.listing().truncated) {
        const PendingFolder next = walk.nextPending();
        if (walk.readFolder(next)) {
            walk.listing().unreadableFolders.push_back(next.path);
        }
    }
    return std::move(walk.listing());
}

}  // namespace tovask::win32
