#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// An option's name, with its value when written "name=value", as a browser
// on Windows reads an argument: what follows "--", "-" or "/"; none for an
// argument that is no option.
std::optional<std::wstring_view> optionName(std::wstring_view argument);

// Whether the option ("load-extension=...", "disable-extensions-except=...",
// in any case) has a Chromium browser load extensions from folders.
bool loadsExtensions(std::wstring_view optionName);

// The folders a Chromium browser's argument has it load extensions from, as
// "--load-extension=" and "--disable-extensions-except=" name them (after
// "--", "-" or "/", in any case): each of the list's comma-separated
// entries as written. None for any other argument.
std::vector<std::wstring> extensionFoldersOf(std::wstring_view argument);

}  // namespace tovask
