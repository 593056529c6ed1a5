#include "repair/policies/FirefoxFiles.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "repair/paths/FolderTexts.h"
#include "repair/policies/DistributionIni.h"
#include "repair/policies/FirefoxPolicyFile.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/report/FindingTexts.h"
#include "repair/texts/BrowserNames.h"
#include "text/DecimalText.h"
#include "text/RegistryEncoding.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kFirefoxGroup = texts::kFirefox;
constexpr std::wstring_view kInstallsKey = L"HKLM\\SOFTWARE\\Mozilla\\Mozilla Firefox\\";
constexpr std::wstring_view kProgramFolderValue =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir";
constexpr std::wstring_view kPolicyFile = L"\\distribution\\policies.json";
constexpr std::wstring_view kPrefsFolder = L"\\defaults\\pref";
constexpr std::wstring_view kDistributionIni = L"\\distribution\\distribution.ini";
constexpr std::wstring_view kExtensionsFolder = L"\\distribution\\extensions";
constexpr std::wstring_view kExtensionFileType = L".xpi";
constexpr std::wstring_view kConfigFileType = L".cfg";
// A distribution brings a few extensions; a planted flood may not stall the run.
constexpr ListingLimits kExtensionListing{0, 100, 1000};
// A planted file may set thousands of preferences; the report names a few.
constexpr std::size_t kPreferencesShown = 3;

// Where in an installation's folder the policy repair may write or remove a
// file: the end of the folder it lies in, and its name or how its name ends.
struct PolicyFilePlace {
    std::wstring_view folderEnd;
    std::wstring_view name;
    bool wholeName;
};
constexpr PolicyFilePlace kPolicyFilePlaces[] = {
    {L"\\distribution", L"policies.json", true},
    {L"\\distribution", L"distribution.ini", true},
    {L"\\distribution\\extensions", kExtensionFileType, false},
    {L"\\defaults\\pref", L".js", false},
    {L"", kConfigFileType, false},
};
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

std::wstring_view installFileName(std::wstring_view path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

Finding installFileFinding(const std::wstring& path, std::wstring holds, bool repairable) {
    Finding finding{FindingKind::BrowserPolicy, std::wstring(kFirefoxGroup), path, std::move(holds),
                    repairable};
    finding.entry = installFileName(path);
    return finding;
}

std::wstring listedPreferences(std::span<const std::wstring> preferences) {
    std::wstring listed;
    for (std::size_t i = 0; i < std::min(kPreferencesShown, preferences.size()); ++i) {
        listed += (i == 0 ? L"" : L", ") + preferences[i];
    }
    if (preferences.size() > kPreferencesShown) {
        listed += std::wstring(texts::kMorePreferencesPrefix) +
                  decimalText(preferences.size() - kPreferencesShown);
    }
    return listed;
}

void addDistributionIni(PlatformOps& platform, const std::wstring& folder, bool repairable,
                        std::vector<InstallFile>& found, FailureLog& failures) {
    const auto path = folder + std::wstring(kDistributionIni);
    const auto content = platform.ReadFileContent(path, kMaxFirefoxFileBytes);
    if (!present(content, path, failures)) {
        return;
    }
    const auto ini = readDistributionIni(content.value());
    if (ini.preferences.empty()) {
        return;
    }
    auto finding = installFileFinding(
        path, std::wstring(texts::kDistributionHoldsPrefix) + listedPreferences(ini.preferences),
        repairable);
    finding.title = {.what = texts::kDistributionFileTitle,
                     .name = ini.id,
                     .how = texts::kDistributionFileHow,
                     .value = ini.preferences.front()};
    found.push_back({{path}, std::move(finding)});
}

void addSideloadedExtensions(PlatformOps& platform, const std::wstring& folder, bool repairable,
                             std::vector<InstallFile>& found, FailureLog& failures) {
    const auto extensions = folder + std::wstring(kExtensionsFolder);
    const auto listing = platform.ListFiles(extensions, kExtensionFileType, kExtensionListing);
    if (!present(listing, extensions, failures)) {
        return;
    }
    if (listing.value().truncated) {
        failures.add(extensions, texts::kShortcutFolderCut);
    }
    for (const auto& path : listing.value().files) {
        const auto name = installFileName(path);
        auto finding = withSubject(
            FindingSubject::ForcedExtension,
            installFileFinding(
                path, std::wstring(texts::kSideloadedExtensionHoldsPrefix) + std::wstring(name),
                repairable));
        finding.title = {
            .what = texts::kSideloadedExtensionTitle,
            .value = std::wstring(name.substr(0, name.size() - kExtensionFileType.size()))};
        found.push_back({{path}, std::move(finding)});
    }
}

// The file a script names, when Firefox can load it: a plain name, since
// Firefox looks for it beside itself and takes no folder, of a .cfg that is
// there and that no earlier script named.
std::optional<std::wstring> configFileNamed(PlatformOps& platform, const std::wstring& folder,
                                            std::wstring_view name, std::set<std::wstring>& claimed,
                                            FailureLog& failures) {
    if (name.size() <= kConfigFileType.size() || !endsWithIgnoringCase(name, kConfigFileType) ||
        name.find_first_of(L"\\/:") != std::wstring_view::npos) {
        return std::nullopt;
    }
    const auto path = folder + L"\\" + std::wstring(name);
    const auto there = platform.FileExists(path);
    if (!present(there, path, failures) || !there.value() ||
        !claimed.insert(foldedCase(path)).second) {
        return std::nullopt;
    }
    return path;
}

void addAutoconfigPairs(PlatformOps& platform, const std::wstring& folder, bool repairable,
                        std::set<std::wstring>& claimed, std::vector<InstallFile>& found,
                        FailureLog& failures) {
    const auto prefs = folder + std::wstring(kPrefsFolder);
    const auto scripts = platform.FilesInFolder(prefs, L".js");
    if (!present(scripts, prefs, failures)) {
        return;
    }
    for (const auto& script : scripts.value()) {
        const auto content = platform.ReadFileContent(script, kMaxFirefoxFileBytes);
        const auto named = content.ok() ? autoconfigFileName(content.value()) : std::nullopt;
        if (!content.ok()) {
            failures.add(script, content.error());
        } else if (named) {
            auto finding = installFileFinding(
                script, std::wstring(texts::kAutoconfigHoldsPrefix) + *named, repairable);
            finding.title = {.what = texts::kAutoconfigTitle, .value = *named};
            InstallFile pair{{script}, std::move(finding)};
            if (auto config = configFileNamed(platform, folder, *named, claimed, failures)) {
                pair.paths.push_back(std::move(*config));
            }
            found.push_back(std::move(pair));
        }
    }
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
            // A whole policy's text holds several settings at once; only an
            // entry (an extension) is one thing an allow list can name.
            FindingEvidence evidence;
            if (!lock.entry.empty()) {
                evidence.sets = settingOf(lock);
            }
            evidence.policyRoot = file.path;
            evidence.switchesNeighbours = switchesItsNeighbours(lock);
            auto finding = withSubject(
                subjectOf(lock),
                {FindingKind::BrowserPolicy, std::wstring(kFirefoxGroup),
                 file.path + L"\\" + placeOf(lock), lock.holds, repairable && !isLeftAsIs(lock),
                 PolicyHives::None, std::move(evidence)});
            finding.title = lock.title;
            findings.push_back(std::move(finding));
        }
    }
    return findings;
}

std::vector<InstallFile> findInstallFiles(PlatformOps& platform,
                                          std::span<const std::wstring> installFolders,
                                          bool repairable, FailureLog& failures) {
    std::vector<InstallFile> found;
    std::set<std::wstring> claimed;
    for (const auto& folder : installFolders) {
        addDistributionIni(platform, folder, repairable, found, failures);
        addSideloadedExtensions(platform, folder, repairable, found, failures);
        addAutoconfigPairs(platform, folder, repairable, claimed, found, failures);
    }
    return found;
}

std::vector<Finding> findingsOf(std::span<const InstallFile> files) {
    std::vector<Finding> findings;
    std::ranges::transform(files, std::back_inserter(findings), &InstallFile::finding);
    return findings;
}

bool removeInstallFile(PlatformOps& platform, const InstallFile& file, FileBackup& backup,
                       FailureLog& failures) {
    std::vector<std::string> contents;
    for (const auto& path : file.paths) {
        auto content = platform.ReadFileContent(path, kMaxBackedUpFileBytes);
        if (content.error() == std::errc::file_too_large) {
            failures.add(path, texts::kInstallFileTooLarge);
            return false;
        }
        if (!content.ok()) {
            failures.add(path, content.error());
            return false;
        }
        contents.push_back(std::move(content).value());
    }
    for (std::size_t i = 0; i < file.paths.size(); ++i) {
        const auto& path = file.paths[i];
        if (backup.remove(path, contents[i], failures)) {
            return false;
        }
    }
    return true;
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
    const auto separator = path.find_last_of(L'\\');
    if (separator == std::wstring_view::npos) {
        return false;
    }
    const auto folder = path.substr(0, separator);
    const auto name = path.substr(separator + 1);
    return std::ranges::any_of(kPolicyFilePlaces, [&](const PolicyFilePlace& place) {
        const bool named = place.wholeName ? equalsIgnoringCase(name, place.name)
                                           : name.size() > place.name.size() &&
                                                 endsWithIgnoringCase(name, place.name);
        return named && folder.size() > place.folderEnd.size() &&
               endsWithIgnoringCase(folder, place.folderEnd);
    });
}

}  // namespace tovask
