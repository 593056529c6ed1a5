#include "repair/commands/BrowserOptions.h"

#include <algorithm>
#include <array>

#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::array kExtensionLoadingOptions = {L"load-extension=", L"disable-extensions-except="};

}  // namespace

std::optional<std::wstring_view> optionName(std::wstring_view argument) {
    if (argument.starts_with(L"--")) {
        return argument.substr(2);
    }
    if (argument.starts_with(L'-') || argument.starts_with(L'/')) {
        return argument.substr(1);
    }
    return std::nullopt;
}

bool loadsExtensions(std::wstring_view optionName) {
    return std::ranges::any_of(kExtensionLoadingOptions, [optionName](std::wstring_view prefix) {
        return equalsIgnoringCase(optionName.substr(0, prefix.size()), prefix);
    });
}

std::vector<std::wstring> extensionFoldersOf(std::wstring_view argument) {
    const auto name = optionName(argument);
    std::vector<std::wstring> folders;
    if (!name || !loadsExtensions(*name)) {
        return folders;
    }
    auto list = name->substr(name->find(L'=') + 1);
    while (!list.empty()) {
        const auto folder = list.substr(0, list.find(L','));
        if (!folder.empty()) {
            folders.emplace_back(folder);
        }
        list.remove_prefix(std::min(list.size(), folder.size() + 1));
    }
    return folders;
}

}  // namespace tovask
