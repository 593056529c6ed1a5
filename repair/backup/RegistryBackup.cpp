#include "repair/backup/RegistryBackup.h"

#include "repair/texts/ProgramTexts.h"
#include "text/DecimalText.h"

namespace tovask {
namespace {

std::wstring reasonFor(const RegistryFileProblem& problem) {
    switch (problem.fault) {
        case RegistryFileFault::NotUtf16:
            return std::wstring(texts::kBackupNotUtf16);
        case RegistryFileFault::NoHeader:
            return std::wstring(texts::kBackupNoHeader);
        case RegistryFileFault::Truncated:
            return std::wstring(texts::kBackupTruncated);
        case RegistryFileFault::Malformed:
            break;
    }
    return std::wstring(texts::kBackupMalformedAtLine) + decimalText(problem.line);
}

}  // namespace

std::error_code saveRegistryBackup(PlatformOps& platform,
                                   std::span<const RegistryFileSection> sections,
                                   std::wstring_view backupFile) {
    const auto content = writeRegistryFile(sections);
    if (!content.ok()) {
        return content.error();
    }
    if (content.value().size() > kMaxRegistryBackupBytes) {
        return std::make_error_code(std::errc::file_too_large);
    }
    // A read-only backup left by an earlier run must not block the new one.
    platform.ClearAttributes(backupFile);
    // It holds every user's browser settings: no user may read another's.
    return platform.ReplaceFileContent(backupFile, content.value(),
                                       FileProtection::AdministratorsOnly);
}

LoadedRegistryBackup loadRegistryBackup(PlatformOps& platform, std::wstring_view backupFile,
                                        RegistryReach kindsReach) {
    const auto content = platform.ReadFileContent(backupFile, kMaxRegistryBackupBytes);
    if (!content.ok()) {
        if (isNotFound(content.error())) {
            return NoRegistryBackup{};
        }
        return RefusedRegistryBackup{platform.DescribeError(content.error())};
    }
    auto parsed = readRegistryFile(content.value());
    if (const auto* problem = std::get_if<RegistryFileProblem>(&parsed)) {
        return RefusedRegistryBackup{reasonFor(*problem)};
    }
    auto& sections = std::get<std::vector<RegistryFileSection>>(parsed);
    if (const auto foreign = keyOutsidePlan(sections, platform.HasTwoRegistryViews(), kindsReach)) {
        return RefusedRegistryBackup{std::wstring(texts::kBackupForeignKeyPrefix) + *foreign};
    }
    return std::move(sections);
}

}  // namespace tovask
