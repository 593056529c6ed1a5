#include "tests/fake/FakeFileSystem.h"

#include <algorithm>
#include <cwctype>
#include <limits>

namespace tovask::fake {
namespace {

std::wstring lowerCased(std::wstring_view path) {
    std::wstring result(path);
    for (auto& c : result) {
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
    return result;
}

std::wstring parentOf(std::wstring_view path) {
    const auto separator = path.rfind(L'\\');
    return separator == std::wstring_view::npos ? std::wstring{}
                                                : lowerCased(path.substr(0, separator));
}

std::error_code error(std::errc code) {
    return std::make_error_code(code);
}

}  // namespace

void FakeFileSystem::addFolder(std::wstring_view path) {
    std::wstring key = lowerCased(path);
    for (auto separator = key.find(L'\\'); separator != std::wstring::npos;
         separator = key.find(L'\\', separator + 1)) {
        folders_.insert(key.substr(0, separator));
    }
    folders_.insert(key);
}

void FakeFileSystem::addFile(std::wstring_view path, std::string_view bytes,
                             std::uint32_t attributes) {
    addFolder(parentOf(path));
    files_[lowerCased(path)] = FakeFile{std::string(bytes), attributes};
    shownNames_[lowerCased(path)] = std::wstring(path);
}

void FakeFileSystem::lock(std::wstring_view path) {
    files_.at(lowerCased(path)).locked = true;
}

void FakeFileSystem::protect(std::wstring_view path, std::string_view protection) {
    files_.at(lowerCased(path)).protection = protection;
}

void FakeFileSystem::addLink(std::wstring_view path, std::wstring_view target) {
    links_[lowerCased(path)] = std::wstring(target);
}

void FakeFileSystem::addHardLink(std::wstring_view path) {
    ++files_.at(lowerCased(path)).names;
}

std::wstring FakeFileSystem::followed(std::wstring_view path) const {
    const auto key = lowerCased(path);
    for (const auto& [link, target] : links_) {
        if (key == link || key.starts_with(link + L"\\")) {
            return target + std::wstring(path.substr(link.size()));
        }
    }
    return std::wstring(path);
}

bool FakeFileSystem::reachedDirectly(std::wstring_view path) const {
    const auto found = files_.find(lowerCased(path));
    return lowerCased(followed(path)) == lowerCased(path) &&
           (found == files_.end() || found->second.names == 1);
}

std::string FakeFileSystem::protectionOf(std::wstring_view path) const {
    const auto found = files_.find(lowerCased(path));
    return std::string(found == files_.end() ? FakeFile::kInherited : found->second.protection);
}

Result<bool> FakeFileSystem::exists(std::wstring_view path) const {
    if (folders_.contains(lowerCased(path))) {
        return error(std::errc::is_a_directory);
    }
    return files_.contains(lowerCased(path));
}

Result<bool> FakeFileSystem::hasContent(std::wstring_view path, std::string_view content) const {
    const auto bytes = read(path, std::numeric_limits<std::size_t>::max());
    if (!bytes.ok()) {
        return bytes.error();
    }
    return bytes.value() == content;
}

Result<std::string> FakeFileSystem::read(std::wstring_view path, std::size_t limit) const {
    const auto found = files_.find(lowerCased(path));
    if (found == files_.end()) {
        return folders_.contains(lowerCased(path)) ? error(std::errc::permission_denied)
                                                   : error(std::errc::no_such_file_or_directory);
    }
    if (found->second.locked) {
        return error(std::errc::device_or_resource_busy);
    }
    if (found->second.bytes.size() > limit) {
        return error(std::errc::file_too_large);
    }
    return found->second.bytes;
}

std::error_code FakeFileSystem::clearAttributes(std::wstring_view path) {
    const auto found = files_.find(lowerCased(path));
    if (found == files_.end()) {
        return folders_.contains(lowerCased(path)) ? error(std::errc::permission_denied)
                                                   : error(std::errc::no_such_file_or_directory);
    }
    found->second.attributes = 0;
    return {};
}

std::error_code FakeFileSystem::checkReplaceable(std::wstring_view path) const {
    const auto key = lowerCased(path);
    if (folders_.contains(key)) {
        return error(std::errc::permission_denied);
    }
    if (!folders_.contains(parentOf(path))) {
        return error(std::errc::no_such_file_or_directory);
    }
    if (const auto found = files_.find(key); found != files_.end()) {
        if (found->second.locked) {
            return error(std::errc::device_or_resource_busy);
        }
        // The system's copy and its "create always" refuse a read-only,
        // hidden or system file until its attributes are cleared.
        if (found->second.attributes & (kReadOnly | kHidden | kSystem)) {
            return error(std::errc::permission_denied);
        }
    }
    return {};
}

std::error_code FakeFileSystem::copy(std::wstring_view source, std::wstring_view destination) {
    const auto found = files_.find(lowerCased(source));
    if (found == files_.end()) {
        return folders_.contains(lowerCased(source)) ? error(std::errc::permission_denied)
                                                     : error(std::errc::no_such_file_or_directory);
    }
    if (found->second.locked) {
        return error(std::errc::device_or_resource_busy);
    }
    if (const auto refused = checkReplaceable(destination)) {
        return refused;
    }
    files_[lowerCased(destination)] =
        FakeFile{found->second.bytes, 0, false, protectionOf(destination)};
    shownNames_.try_emplace(lowerCased(destination), destination);
    return {};
}

std::error_code FakeFileSystem::replace(std::wstring_view path, std::string_view content,
                                        FileProtection protection) {
    if (const auto refused = checkReplaceable(path)) {
        return refused;
    }
    files_[lowerCased(path)] = FakeFile{std::string(content), 0, false,
                                        protection == FileProtection::AdministratorsOnly
                                            ? std::string(FakeFile::kAdministratorsOnly)
                                            : protectionOf(path)};
    shownNames_.try_emplace(lowerCased(path), path);
    return {};
}

std::error_code FakeFileSystem::rewrite(std::wstring_view path, std::string_view content) {
    const auto found = files_.find(lowerCased(path));
    if (found == files_.end()) {
        return error(std::errc::no_such_file_or_directory);
    }
    if (found->second.locked) {
        return error(std::errc::device_or_resource_busy);
    }
    found->second.bytes = content;
    return {};
}

std::error_code FakeFileSystem::remove(std::wstring_view path) {
    const auto found = files_.find(lowerCased(path));
    if (found == files_.end()) {
        return error(std::errc::no_such_file_or_directory);
    }
    if (found->second.locked) {
        return error(std::errc::device_or_resource_busy);
    }
    files_.erase(found);
    shownNames_.erase(lowerCased(path));
    return {};
}

std::error_code FakeFileSystem::preparePrivate(std::wstring_view path) {
    if (foreignFolders_.contains(lowerCased(path)) || files_.contains(lowerCased(path))) {
        return error(std::errc::permission_denied);
    }
    if (!folders_.contains(parentOf(path))) {
        return error(std::errc::no_such_file_or_directory);
    }
    folders_.insert(lowerCased(path));
    return {};
}

void FakeFileSystem::giveForeignOwner(std::wstring_view folder) {
    addFolder(folder);
    foreignFolders_.insert(lowerCased(folder));
}

Result<std::vector<std::wstring>> FakeFileSystem::filesIn(std::wstring_view folder,
                                                          std::wstring_view extension) const {
    if (!folders_.contains(lowerCased(folder))) {
        return error(std::errc::no_such_file_or_directory);
    }
    std::vector<std::wstring> found;
    for (const auto& [key, file] : files_) {
        if (parentOf(key) == lowerCased(folder) && key.ends_with(lowerCased(extension))) {
            found.push_back(shownNames_.at(key));
        }
    }
    return found;
}

Result<std::vector<std::wstring>> FakeFileSystem::foldersIn(std::wstring_view folder) const {
    if (!folders_.contains(lowerCased(folder))) {
        return error(std::errc::no_such_file_or_directory);
    }
    std::vector<std::wstring> found;
    for (const auto& key : folders_) {
        if (parentOf(key) == lowerCased(folder) && !links_.contains(key)) {
            found.push_back(key);
        }
    }
    return found;
}

std::error_code FakeFileSystem::removeFolder(std::wstring_view path) {
    const auto folder = lowerCased(path);
    if (!folders_.contains(folder)) {
        return error(std::errc::no_such_file_or_directory);
    }
    const auto inside = [&](const std::wstring& key) { return parentOf(key) == folder; };
    if (links_.contains(folder) || std::ranges::any_of(folders_, inside) ||
        std::ranges::any_of(links_, [&](const auto& link) { return inside(link.first); })) {
        return error(std::errc::too_many_symbolic_link_levels);
    }
    std::erase_if(files_, [&](const auto& entry) { return inside(entry.first); });
    folders_.erase(folder);
    return {};
}

std::optional<FakeFile> FakeFileSystem::file(std::wstring_view path) const {
    const auto found = files_.find(lowerCased(path));
    if (found == files_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::map<std::wstring, FakeFile> FakeFileSystem::files() const {
    std::map<std::wstring, FakeFile> all;
    for (const auto& [key, file] : files_) {
        all[shownNames_.at(key)] = file;
    }
    return all;
}

}  // namespace tovask::fake
