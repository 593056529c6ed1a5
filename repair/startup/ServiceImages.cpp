#include "repair/startup/ServiceImages.h"

#include <string>

#include "repair/commands/CommandLineArguments.h"
#include "repair/startup/StartupCommand.h"
#include "repair/startup/StartupTexts.h"
#include "text/RegistryEncoding.h"

namespace tovask {
namespace {

constexpr std::wstring_view kServicesKey = L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\";
// Windows has about a thousand services and drivers; a planted flood may not stall the run.
constexpr std::size_t kMostServices = 5000;

Finding impostorFinding(std::wstring place, std::wstring_view serviceName,
                        std::wstring_view imagePath, const StartupHijack& hijack) {
    auto finding = withSubject(FindingSubject::StartupCommand,
                               {FindingKind::Startup, std::wstring(texts::kServicesGroup),
                                std::move(place), startupFindingText(imagePath, hijack.said()),
                                false, PolicyHives::None, startupEvidence(imagePath, {})});
    finding.title = {.what = texts::kServiceTitle,
                     .name = std::wstring(serviceName),
                     .how = texts::kTaskTakesSystemNameHow};
    return finding;
}

}  // namespace

std::vector<Finding> findImpostorServices(PlatformOps& platform,
                                          const WindowsProgramFolders& folders,
                                          FailureLog& failures) {
    std::vector<Finding> found;
    const auto listing =
        platform.RegListSubkeys(kServicesKey, RegistryView::Default, kMostServices);
    if (!listing.ok()) {
        if (!isNotFound(listing.error())) {
            failures.add(kServicesKey, listing.error());
        }
        return found;
    }
    if (listing.value().truncated) {
        failures.add(kServicesKey, texts::kServicesListCut);
    }
    for (const auto& name : listing.value().names) {
        const auto place = std::wstring(kServicesKey) + name + L"\\ImagePath";
        const auto value = platform.RegReadValue(place, RegistryView::Default);
        if (!value.ok()) {
            if (!isNotFound(value.error())) {
                failures.add(place, value.error());
            }
            continue;
        }
        // Of any other type, the service manager starts nothing.
        const auto imagePath = textOf(value.value());
        // The kernel and the service manager read a relative path below the Windows folder.
        const auto impostor =
            imagePath ? systemNameImpostor(programOfCommand(*imagePath), folders, folders.windows)
                      : std::nullopt;
        if (impostor) {
            found.push_back(impostorFinding(place, name, *imagePath, systemNameHijack(*impostor)));
        }
    }
    return found;
}

}  // namespace tovask
