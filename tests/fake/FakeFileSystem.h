#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/Result.h"

namespace tovask::fake {

enum Attribute : std::uint32_t {
    kReadOnly = 0x1,
    kHidden = 0x2,
    kSystem = 0x4,
};

struct FakeFile {
    std::string bytes;
    std::uint32_t attributes = 0;
    bool locked = false;  // held open by another program without sharing
};

// An in-memory file system with the rules that matter to the HOSTS handling:
// folders must exist, protected (read-only, hidden or system) or locked files
// refuse to be replaced, a folder is not a file, and a replacement is all or
// nothing.
class FakeFileSystem {
  public:
    void addFolder(std::wstring_view path);
    void addFile(std::wstring_view path, std::string_view bytes, std::uint32_t attributes = 0);
    void lock(std::wstring_view path);

    Result<bool> exists(std::wstring_view path) const;
    Result<bool> hasContent(std::wstring_view path, std::string_view content) const;
    std::error_code clearAttributes(std::wstring_view path);
    std::error_code copy(std::wstring_view source, std::wstring_view destination);
    std::error_code replace(std::wstring_view path, std::string_view content);
    Result<std::string> read(std::wstring_view path, std::size_t limit) const;

    // Inspection for tests.
    std::optional<FakeFile> file(std::wstring_view path) const;
    std::map<std::wstring, FakeFile> files() const;

  private:
    std::error_code checkReplaceable(std::wstring_view path) const;

    std::set<std::wstring> folders_;          // folded paths
    std::map<std::wstring, FakeFile> files_;  // folded paths
    std::map<std::wstring, std::wstring> shownNames_;
};

}  // namespace tovask::fake
