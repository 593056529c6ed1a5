#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/PlatformOps.h"
#include "values/Result.h"

namespace tovask::fake {

enum Attribute : std::uint32_t {
    kReadOnly = 0x1,
    kHidden = 0x2,
    kSystem = 0x4,
};

struct FakeFile {
    std::string bytes;
    std::uint32_t attributes = 0;
    bool locked = false;                 // held open by another program without sharing
    std::string protection{kInherited};  // or a hardening a test gave it
    std::uint32_t names = 1;             // more when hard links give it other names
    static constexpr std::string_view kInherited = "inherited";
    static constexpr std::string_view kAdministratorsOnly = "administrators only";

    bool operator==(const FakeFile&) const = default;
};

// An in-memory file system with the rules that matter to the HOSTS handling:
// folders must exist, protected (read-only, hidden or system) or locked files
// refuse to be replaced, a folder is not a file, and a replacement is all or
// nothing. A replacement gives the file the protection asked for; a copy
// keeps the one the file it replaces had.
class FakeFileSystem {
  public:
    void addFolder(std::wstring_view path);
    void addFile(std::wstring_view path, std::string_view bytes, std::uint32_t attributes = 0);
    void lock(std::wstring_view path);
    void protect(std::wstring_view path, std::string_view protection);
    // A folder or file made a junction or symbolic link to the target, or a
    // file given a second name.
    void addLink(std::wstring_view path, std::wstring_view target);
    void addHardLink(std::wstring_view path);
    // The path a link on the way or at the end leads to.
    std::wstring followed(std::wstring_view path) const;
    // Reached through no link and known by no other name.
    bool reachedDirectly(std::wstring_view path) const;

    Result<bool> exists(std::wstring_view path) const;
    Result<bool> hasContent(std::wstring_view path, std::string_view content) const;
    std::error_code clearAttributes(std::wstring_view path);
    std::error_code copy(std::wstring_view source, std::wstring_view destination);
    std::error_code replace(std::wstring_view path, std::string_view content,
                            FileProtection protection);
    Result<std::string> read(std::wstring_view path, std::size_t limit) const;
    // Writes over a file's bytes in place: its attributes and protection stay.
    std::error_code rewrite(std::wstring_view path, std::string_view content);
    // Deletes a file, read-only or not; a locked one is busy.
    std::error_code remove(std::wstring_view path);
    // A folder that is there may be used privately unless a test gave it
    // another owner; a missing one is made, its parent must be there.
    std::error_code preparePrivate(std::wstring_view path);
    void giveForeignOwner(std::wstring_view folder);
    Result<std::vector<std::wstring>> filesIn(std::wstring_view folder,
                                              std::wstring_view extension) const;
    Result<std::vector<std::wstring>> foldersIn(std::wstring_view folder) const;
    // The folder and the files directly in it; one holding a folder or a
    // link is left whole.
    std::error_code removeFolder(std::wstring_view path);

    // Inspection for tests.
    std::optional<FakeFile> file(std::wstring_view path) const;
    std::map<std::wstring, FakeFile> files() const;

  private:
    std::error_code checkReplaceable(std::wstring_view path) const;
    std::string protectionOf(std::wstring_view path) const;

    std::set<std::wstring> folders_;          // folded paths
    std::set<std::wstring> foreignFolders_;   // folded paths
    std::map<std::wstring, FakeFile> files_;  // folded paths
    std::map<std::wstring, std::wstring> shownNames_;
    std::map<std::wstring, std::wstring> links_;  // folded path -> target
};

}  // namespace tovask::fake
