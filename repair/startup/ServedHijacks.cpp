#include "repair/startup/ServedHijacks.h"

#include <algorithm>

#include "repair/network/NetworkTexts.h"
#include "repair/network/StartupPrograms.h"
#include "repair/startup/StartupTexts.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kLoadExtension = L"--load-extension=";

// The program a proxy finding names as the one serving it.
std::optional<std::wstring> servingProgram(std::wstring_view holds) {
    const auto at = holds.find(texts::kProxyServedByPrefix);
    if (at == std::wstring_view::npos) {
        return std::nullopt;
    }
    auto program = holds.substr(at + texts::kProxyServedByPrefix.size());
    if (program.ends_with(texts::kInUserWritableFolder)) {
        program.remove_suffix(texts::kInUserWritableFolder.size());
    }
    return program.empty() ? std::nullopt : std::optional(foldedCase(program));
}

// The folders of "--load-extension=a,b", up to a quote, a blank or the end.
void addExtensionFolders(std::wstring_view holds, std::vector<std::wstring>& folders) {
    const auto folded = foldedCase(holds);
    for (auto at = folded.find(foldedCase(kLoadExtension)); at != std::wstring::npos;
         at = folded.find(foldedCase(kLoadExtension), at + 1)) {
        auto list = std::wstring_view(folded).substr(at + kLoadExtension.size());
        list = list.substr(0, list.find_first_of(L"\" ;"));
        while (!list.empty()) {
            const auto folder = list.substr(0, list.find(L','));
            if (folder.size() > 3) {
                folders.push_back(std::wstring(folder) + (folder.ends_with(L'\\') ? L"" : L"\\"));
            }
            list.remove_prefix(std::min(list.size(), folder.size() + 1));
        }
    }
}

}  // namespace

ServedHijacks::ServedHijacks(std::span<const Finding> found) {
    for (const auto& finding : found) {
        if (finding.kind == FindingKind::Network) {
            if (auto program = servingProgram(finding.holds)) {
                programs_.push_back(std::move(*program));
            }
        }
        addExtensionFolders(finding.holds, folders_);
    }
}

std::optional<std::wstring_view> ServedHijacks::servedBy(std::wstring_view command) const {
    const auto program = foldedCase(programOfCommand(command));
    if (program.empty()) {
        return std::nullopt;
    }
    const bool serves = std::ranges::find(programs_, program) != programs_.end() ||
                        std::ranges::any_of(folders_, [&](const auto& folder) {
                            return program.starts_with(folder);
                        });
    return serves ? std::optional(texts::kStartupServesHijack) : std::nullopt;
}

}  // namespace tovask
