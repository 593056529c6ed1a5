#pragma once

#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/ForwardingPlatform.h"
#include "text/TextCompare.h"

namespace tovask::bench {

// Passes every operation on to the real platform, but reports the places
// whose paths hold one of the given parts as missing: the same check then
// runs as on a machine without them, in the same rounds as with them.
class HidingPlatform final : public ForwardingPlatform {
  public:
    HidingPlatform(PlatformOps& real, std::vector<std::wstring> hiddenParts)
        : ForwardingPlatform(real), hiddenParts_(std::move(hiddenParts)) {}

    Result<FileListing> ListFiles(std::wstring_view folder, std::wstring_view extension,
                                  const ListingLimits& limits) override {
        return hidden(folder) ? missing()
                              : ForwardingPlatform::ListFiles(folder, extension, limits);
    }
    Result<std::vector<std::wstring>> FilesInFolder(std::wstring_view folder,
                                                    std::wstring_view extension) override {
        return hidden(folder) ? missing() : ForwardingPlatform::FilesInFolder(folder, extension);
    }
    Result<std::string> ReadFileContent(std::wstring_view path, std::size_t limit) override {
        return hidden(path) ? missing() : ForwardingPlatform::ReadFileContent(path, limit);
    }
    Result<bool> FileExists(std::wstring_view path) override {
        return hidden(path) ? Result<bool>(false) : ForwardingPlatform::FileExists(path);
    }
    Result<RegistryKeyContent> RegReadTree(std::wstring_view keyPath, RegistryView view) override {
        return hidden(keyPath) ? missing() : ForwardingPlatform::RegReadTree(keyPath, view);
    }

  private:
    bool hidden(std::wstring_view path) const {
        for (const auto& part : hiddenParts_) {
            if (containsIgnoringCase(path, part)) {
                return true;
            }
        }
        return false;
    }
    static std::error_code missing() {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }

    std::vector<std::wstring> hiddenParts_;
};

}  // namespace tovask::bench
