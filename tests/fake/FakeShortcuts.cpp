#include <algorithm>
#include <ranges>

#include "tests/fake/FakePlatform.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask::fake {
namespace {

// The fields a line each; the numbers in decimal.
Result<ShortcutFile> shortcutAt(const FakeFileSystem& files, std::wstring_view path) {
    const auto bytes = files.read(path, kShortcutSizeLimit);
    if (!bytes.ok()) {
        return bytes.error();
    }
    std::vector<std::wstring> f;
    for (const auto field : std::views::split(wideFromUtf8(bytes.value()), L'\n')) {
        f.emplace_back(field.begin(), field.end());
    }
    if (f.size() != 10) {
        return std::make_error_code(std::errc::illegal_byte_sequence);
    }
    const auto hotKey = static_cast<std::uint16_t>(std::stoi(f[5]));
    return ShortcutFile{
        {f[0], f[1], f[2], f[3], std::stoi(f[4]), hotKey, std::stoi(f[6]), f[7], f[8]},
        bytes.value()};
}

}  // namespace

std::string fakeShortcutBytes(const ShortcutContent& c) {
    std::wstring text;
    for (const auto& field : {c.target, c.arguments, c.workingFolder, c.iconPath,
                              std::to_wstring(c.iconIndex), std::to_wstring(c.hotKey),
                              std::to_wstring(c.showCommand), c.description, c.applicationId}) {
        text += field + L'\n';
    }
    return utf8FromWide(text);
}

Result<FileListing> FakePlatform::ListFiles(std::wstring_view folder, std::wstring_view extension,
                                            const ListingLimits& limits) {
    if (const auto fault = record("ListFiles", folder)) {
        return *fault;
    }
    if (files.exists(folder).error() != std::errc::is_a_directory) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    const auto prefix = foldedCase(folder) + L"\\";
    FileListing listing;
    for (const auto& path : std::views::keys(files.files())) {
        const auto inside = foldedCase(path).substr(std::min(prefix.size(), path.size()));
        if (foldedCase(path).starts_with(prefix) && inside.ends_with(foldedCase(extension)) &&
            std::ranges::count(inside, L'\\') <= limits.maxDepth) {
            listing.truncated = listing.files.size() == limits.maxFiles;
            if (listing.truncated) {
                break;
            }
            listing.files.push_back(path);
        }
    }
    return listing;
}

Result<ShortcutFile> FakePlatform::ReadShortcut(std::wstring_view path) {
    if (const auto fault = record("ReadShortcut", path)) {
        return *fault;
    }
    return shortcutAt(files, path);
}

Result<std::string> FakePlatform::ShortcutWithArguments(std::wstring_view path,
                                                        std::wstring_view arguments) {
    if (const auto fault = record("ShortcutWithArguments", path)) {
        return *fault;
    }
    const auto file = shortcutAt(files, path);
    if (!file.ok()) {
        return file.error();
    }
    auto changed = file.value().content;
    changed.arguments = arguments;
    return fakeShortcutBytes(changed);
}

}  // namespace tovask::fake
