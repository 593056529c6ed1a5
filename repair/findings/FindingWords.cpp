#include "repair/findings/FindingWords.h"

#include <algorithm>
#include <iterator>

#include "repair/allow/AllowTexts.h"
#include "repair/grouppolicy/LocalPolicyTexts.h"
#include "repair/report/FindingTexts.h"
#include "text/DecimalText.h"

namespace tovask {
namespace {

// What a finding of each subject does, where its kind says nothing else.
constexpr std::wstring_view kSubjectWords[] = {
    texts::kSettingTitle,         texts::kHomePageTitle,
    texts::kSearchEngineTitle,    texts::kNewTabPageTitle,
    texts::kStartupPagesTitle,    texts::kForcedExtensionTitle,
    texts::kExtensionFolderTitle, texts::kExtensionKeyTitle,
    texts::kProxyServerTitle,     texts::kProxyScriptTitle,
    texts::kDnsServerTitle,       texts::kShortcutTitle,
    texts::kStartupCommandTitle,  texts::kTaskTitle,
    texts::kDebuggerTitle,        texts::kRestrictionTitle,
    texts::kRootCertificateTitle, texts::kPolicyFileTitle,
    texts::kEnrollmentTitle,      texts::kSearchScopeTitle,
    texts::kHelperObjectTitle,    texts::kZoneEntryTitle,
    texts::kZoneSettingTitle,     texts::kNetworkProviderTitle,
};
static_assert(std::size(kSubjectWords) ==
              static_cast<std::size_t>(FindingSubject::NetworkProvider) + 1);

}  // namespace

std::wstring findingTitle(const Finding& finding) {
    const auto& title = finding.title;
    std::wstring text(title.what.empty() ? kSubjectWords[static_cast<std::size_t>(finding.subject)]
                                         : title.what);
    if (!title.name.empty()) {
        text += L" «" + title.name + L"»";
    }
    if (!title.how.empty()) {
        text += L" " + std::wstring(title.how);
    }
    // A kind that names no value says what the finding holds.
    const auto& value = title.value.empty() && title.name.empty() ? finding.holds : title.value;
    if (!value.empty()) {
        text += (title.how.empty() ? L": " : L" ") + value;
    }
    return text;
}

std::vector<std::wstring> detailLines(const Finding& finding, const KindTexts& texts,
                                      std::span<const Finding> run) {
    // The title first: the line a list cuts off reads whole here.
    std::vector<std::wstring> lines{findingTitle(finding)};
    const auto add = [&](std::wstring_view label, std::wstring_view text) {
        if (!text.empty()) {
            lines.push_back(std::wstring(label) + std::wstring(text));
        }
    };
    add(texts::kDetailGroup, finding.group);
    add(texts::kDetailWhere, finding.place);
    add(texts::kDetailFound, heldText(finding, run));
    if (finding.allowed) {
        add(texts::kDetailWhyLeft, texts::kAllowedByList);
    } else if (finding.repairable) {
        add(texts::kDetailRepair, texts.repairDoes);
    } else {
        add(texts::kDetailWhyLeft, texts.whyLeft);
        add(texts::kDetailWhatToDo, texts.whatYouCanDo);
    }
    return lines;
}

std::wstring heldText(const Finding& finding, std::span<const Finding> run) {
    auto text = finding.holds;
    const auto note = [&](std::wstring_view tie, std::span<const FindingId> partners) {
        for (const auto id : partners) {
            if (const auto* partner = findingWithId(run, id)) {
                text += std::wstring(tie) + partner->place;
            }
        }
    };
    note(texts::kPutBackBy, finding.putBackBy);
    note(texts::kPutsBack, finding.putsBack);
    return text;
}

std::vector<std::wstring> findingLines(std::span<const Finding> findings, std::size_t limit,
                                       std::span<const Finding> run) {
    std::vector<std::wstring> lines;
    std::vector<std::wstring> groups;
    for (const auto& finding : findings) {
        if (std::ranges::find(groups, finding.group) == groups.end()) {
            groups.push_back(finding.group);
        }
    }
    std::size_t left = 0;
    const auto add = [&](std::wstring line) {
        if (lines.size() < limit) {
            lines.push_back(std::move(line));
        } else {
            ++left;
        }
    };
    for (const auto& group : groups) {
        add(group + L":");
        for (const auto& finding : findings) {
            if (finding.group == group) {
                add(L"  " + findingTitle(finding));
                add(L"    " + finding.place + L" = " + heldText(finding, run) +
                    std::wstring(finding.allowed      ? texts::kAllowedByListSuffix
                                 : finding.repairable ? std::wstring_view()
                                                      : texts::kReportOnlySuffix));
            }
        }
    }
    if (left > 0) {
        lines.push_back(std::wstring(texts::kMoreFindingsPrefix) + decimalText(left));
    }
    return lines;
}

std::wstring_view whyLeft(const Finding& finding, const KindTexts& texts) {
    return finding.allowed ? texts::kAllowedByList : texts.whyLeft;
}

std::wstring outcomeLine(const Finding& finding, const KindTexts& texts, Outcome outcome) {
    const auto prefix = outcome == Outcome::Repaired      ? texts.repairedPrefix
                        : outcome == Outcome::NotRepaired ? texts.notRepairedPrefix
                                                          : texts.leftPrefix;
    return std::wstring(prefix) + findingTitle(finding) + L" (" + finding.place + L")";
}

std::wstring putBackLine(const Finding& lock, const Finding& policyFile) {
    return std::wstring(texts::kLockPutBackPrefix) + lock.place + std::wstring(texts::kPutBackBy) +
           policyFile.place;
}

}  // namespace tovask
