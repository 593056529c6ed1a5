#include "repair/policies/FirefoxFiles.h"

#include <algorithm>
#include <set>

#include "repair/policies/FirefoxPolicyFile.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/report/FindingTexts.h"
#include "text/RegistryEncoding.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kFirefoxGroup = L"Mozilla Firefox";
constexpr std::wstring_view kInstallsKey = L"HKLM\\SOFTWARE\\Mozilla\\Mozilla Firefox\\";
constexpr std::wstring_view kProgramFolderValue =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir";
constexpr std::wstring_view kPolicyFile = L"\\distribution\\policies.json";
constexpr std::wstring_view kPrefsFolder = L"\\defaults\\pref";
// Firefox applies policy files of any size; 16 MiB is far beyond any real
// one, and a larger file is not read at all.
constexpr std::size_t kMaxFirefoxFileBytes = 16 * 1024 * 1024;

std::wstring_view refusalText(policyjson::JsonRefusal refusal) {
    switch (refusal) {
        case policyjson::JsonRefusal::TooDeep:
            return texts::kPolicyFileTooDeep;
        case policyjson::JsonRefusal::LoneSurrogate:
            return texts::kPolicyFileLoneSurrogate;
        case policyjson::JsonRefusal::NotKeptExactly:
            return texts::kPolicyFileNotKept;
        case policyjson::JsonRefusal::NotJson:
            break;
    }
    return texts::kPolicyFileNotJson;
}

std::wstring withoutTrailingBackslash(std::wstring folder) {
    while (folder.ends_with(L'\\')) {
        folder.pop_back();
    }
    return folder;
}

void addInstallsOf(const RegistryKeyContent& installs, std::vector<std::wstring>& folders) {
    for (const auto& version : installs.subkeys) {
        const auto* main = findSubkey(version, L"Main");
        const auto* folder = main == nullptr ? nullptr : findValue(*main, L"Install Directory");
        if (const auto text = folder == nullptr ? std::nullopt : textOf(folder->value)) {
            folders.push_back(withoutTrailingBackslash(*text));
        }
    }
}

// A missing file or folder is simply not there; any other failure is logged.
template <typename T>
bool present(const Result<T>& read, std::wstring_view path, FailureLog& failures) {
    if (!read.ok() && !isNotFound(read.error())) {
        failures.add(path, read.error());
    }
    return read.ok();
}

}  // namespace

std::vector<std::wstring> firefoxInstallFolders(PlatformOps& platform, FailureLog& failures) {
    std::vector<std::wstring> folders;
    for (const auto view : viewsFor(RegistryRoot::LocalMachine, L"SOFTWARE\\Mozilla",
                                    platform.HasTwoRegistryViews())) {
        const auto installs = platform.RegReadTree(kInstallsKey, view);
        if (installs.ok()) {
            addInstallsOf(installs.value(), folders);
        } else if (!isNotFound(installs.error())) {
            failures.add(kInstallsKey, installs.error());
        }
        const auto programs = platform.RegReadValue(kProgramFolderValue, view);
        if (!programs.ok() && !isNotFound(programs.error())) {
            failures.add(kProgramFolderValue, programs.error());
        } else if (const auto text = programs.ok() ? textOf(programs.value()) : std::nullopt) {
            folders.push_back(withoutTrailingBackslash(*text) + L"\\Mozilla Firefox");
        }
    }
    std::set<std::wstring> seen;
    std::erase_if(folders, [&](const std::wstring& folder) {
        return folder.empty() || !seen.insert(foldedCase(folder)).second;
    });
    return folders;
}

std::vector<LockedPolicyFile> findLockedPolicyFiles(PlatformOps& platform,
                                                    std::span<const std::wstring> installFolders,
                                                    FailureLog& failures) {
    std::vector<LockedPolicyFile> locked;
    for (const auto& folder : installFolders) {
        const auto path = folder + std::wstring(kPolicyFile);
        const auto content = platform.ReadFileContent(path, kMaxFirefoxFileBytes);
        if (!present(content, path, failures)) {
            continue;
        }
        auto refusal = policyjson::JsonRefusal::NotJson;
        auto locks = findPolicyFileLocks(content.value(), &refusal);
        if (!locks) {
            failures.add(path, refusalText(refusal));
        } else if (!locks->empty()) {
            locked.push_back({path, std::move(*locks)});
        }
    }
    return locked;
}

std::vector<Finding> findingsOf(std::span<const LockedPolicyFile> files, bool repairable) {
    std::vector<Finding> findings;
    for (const auto& file : files) {
        for (const auto& lock : file.locks) {
            auto finding = withSubject(subjectOf(lock),
                                       {FindingKind::BrowserPolicy, std::wstring(kFirefoxGroup),
                                        file.path + L"\\" + placeOf(lock), lock.holds, repairable});
            finding.title = lock.title;
            findings.push_back(std::move(finding));
        }
    }
    return findings;
}

std::vector<Finding> findAutoconfigScripts(PlatformOps& platform,
                                           std::span<const std::wstring> installFolders,
                                           FailureLog& failures) {
    std::vector<Finding> findings;
    for (const auto& folder : installFolders) {
        const auto prefs = folder + std::wstring(kPrefsFolder);
        const auto scripts = platform.FilesInFolder(prefs, L".js");
        if (!present(scripts, prefs, failures)) {
            continue;
        }
        for (const auto& script : scripts.value()) {
            const auto content = platform.ReadFileContent(script, kMaxFirefoxFileBytes);
            if (!content.ok()) {
                failures.add(script, content.error());
            } else if (const auto named = autoconfigFileName(content.value())) {
                Finding finding{FindingKind::BrowserPolicy, std::wstring(kFirefoxGroup), script,
                                std::wstring(texts::kAutoconfigHoldsPrefix) + *named, false};
                finding.title = {.what = texts::kAutoconfigTitle, .value = *named};
                findings.push_back(std::move(finding));
            }
        }
    }
    return findings;
}

bool removeFileLocks(PlatformOps& platform, const LockedPolicyFile& file, FileBackup& backup,
                     FailureLog& failures) {
    // Read again: what is backed up is what is replaced.
    const auto current = platform.ReadFileContent(file.path, kMaxFirefoxFileBytes);
    if (!current.ok()) {
        failures.add(file.path, current.error());
        return false;
    }
    auto refusal = policyjson::JsonRefusal::NotJson;
    const auto rewritten = policyFileWithoutLocks(current.value(), file.locks, &refusal);
    if (!rewritten) {
        failures.add(file.path, refusalText(refusal));
        return false;
    }
    if (*rewritten == current.value()) {
        return true;
    }
    if (backup.save(file.path, current.value(), *rewritten, failures)) {
        return false;
    }
    // Through the one handle that checks the file is still the one read, by
    // no link or other name, holding the bytes backed up.
    if (const auto error = platform.RewriteUnchangedFile(file.path, current.value(), *rewritten)) {
        failures.add(file.path, error);
        return false;
    }
    return true;
}

bool isPolicyFilePath(std::wstring_view path) {
    return path.size() > kPolicyFile.size() &&
           equalsIgnoringCase(path.substr(path.size() - kPolicyFile.size()), kPolicyFile);
}

}  // namespace tovask
