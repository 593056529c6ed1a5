#include <algorithm>
#include <ranges>

#include "tests/fake/FakePlatform.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask::fake {
namespace {

constexpr wchar_t kFieldEnd = L'\n';

std::vector<std::wstring> fieldsOf(std::wstring_view text) {
    std::vector<std::wstring> fields;
    for (const auto field : std::views::split(text, kFieldEnd)) {
        fields.emplace_back(field.begin(), field.end());
    }
    return fields;
}

Result<ShortcutContent> parsed(std::string_view bytes) {
    const auto fields = fieldsOf(wideFromUtf8(bytes));
    if (fields.size() != 10) {
        return std::make_error_code(std::errc::illegal_byte_sequence);
    }
    return ShortcutContent{fields[0],
                           fields[1],
                           fields[2],
                           fields[3],
                           std::stoi(fields[4]),
                           static_cast<std::uint16_t>(std::stoi(fields[5])),
                           std::stoi(fields[6]),
                           fields[7],
                           fields[8]};
}

}  // namespace

std::string fakeShortcutBytes(const ShortcutContent& content) {
    std::wstring text;
    for (const auto& field :
         {content.target, content.arguments, content.workingFolder, content.iconPath,
          std::to_wstring(content.iconIndex), std::to_wstring(content.hotKey),
          std::to_wstring(content.showCommand), content.description, content.applicationId}) {
        text += field + kFieldEnd;
    }
    return utf8FromWide(text);
}

Result<FileListing> FakePlatform::ListFiles(std::wstring_view folder, std::wstring_view extension,
                                            const ListingLimits& limits) {
    if (const auto fault = record("ListFiles", folder)) {
        return *fault;
    }
    if (const auto exists = files.exists(folder);
        exists.ok() || exists.error() != std::errc::is_a_directory) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    const auto prefix = foldedCase(folder) + L"\\";
    FileListing listing;
    for (const auto& [path, file] : files.files()) {
        const auto inside = std::wstring_view(path).substr(std::min(prefix.size(), path.size()));
        if (!foldedCase(path).starts_with(prefix) || inside.size() <= extension.size() ||
            !equalsIgnoringCase(inside.substr(inside.size() - extension.size()), extension) ||
            std::ranges::count(inside, L'\\') > limits.maxDepth) {
            continue;
        }
        if (listing.files.size() == limits.maxFiles) {
            listing.truncated = true;
            break;
        }
        listing.files.push_back(path);
    }
    return listing;
}

Result<ShortcutFile> FakePlatform::ReadShortcut(std::wstring_view path) {
    if (const auto fault = record("ReadShortcut", path)) {
        return *fault;
    }
    auto bytes = files.read(path, kShortcutSizeLimit);
    if (!bytes.ok()) {
        return bytes.error();
    }
    const auto content = parsed(bytes.value());
    if (!content.ok()) {
        return content.error();
    }
    return ShortcutFile{content.value(), bytes.value()};
}

Result<std::string> FakePlatform::ShortcutWithArguments(std::wstring_view path,
                                                        std::wstring_view arguments) {
    if (const auto fault = record("ShortcutWithArguments", path)) {
        return *fault;
    }
    const auto bytes = files.read(path, kShortcutSizeLimit);
    if (!bytes.ok()) {
        return bytes.error();
    }
    auto content = parsed(bytes.value());
    if (!content.ok()) {
        return content.error();
    }
    auto changed = content.value();
    changed.arguments = arguments;
    return fakeShortcutBytes(changed);
}

}  // namespace tovask::fake
