#include "repair/iesurfaces/HelperObjects.h"

#include <algorithm>
#include <array>

#include "repair/iesurfaces/IeSurfaceTexts.h"
#include "repair/paths/LocalPaths.h"
#include "repair/paths/WritableFolders.h"
#include "repair/users/UserPaths.h"
#include "text/Blanks.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kHelperObjectsKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
constexpr std::wstring_view kMachineToolbarKey = L"Software\\Microsoft\\Internet Explorer\\Toolbar";
constexpr std::array<std::wstring_view, 3> kUserToolbarKeys = {
    L"Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser",
    L"Software\\Microsoft\\Internet Explorer\\Toolbar\\ShellBrowser",
    L"Software\\Microsoft\\Internet Explorer\\Toolbar\\Explorer"};
constexpr std::wstring_view kClassesKey = L"Software\\Classes\\CLSID\\";
constexpr std::wstring_view kServerKey = L"\\InprocServer32\\";

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" in hexadecimal digits: the browser
// loads nothing by any other name.
bool isClassId(std::wstring_view name) {
    if (name.size() != 38 || name.front() != L'{' || name.back() != L'}') {
        return false;
    }
    for (std::size_t i = 1; i + 1 < name.size(); ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        const wchar_t c = name[i];
        const bool hex =
            (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
        if (dash ? c != L'-' : !hex) {
            return false;
        }
    }
    return true;
}

class AddOnScan {
  public:
    AddOnScan(PlatformOps& platform, bool managedMachine, FailureLog& failures)
        : platform_(platform), managedMachine_(managedMachine), failures_(failures) {}

    void helperObjects(const HivePlace& at) {
        const auto registrations = readKey(platform_, at.place, failures_);
        for (const auto& object :
             registrations ? registrations->subkeys : std::vector<RegistryKeyContent>{}) {
            if (!isClassId(object.name)) {
                continue;
            }
            const KeyPlace place{at.place.root, at.place.key + L"\\" + object.name, at.place.view};
            if (auto problem = programProblem(at, object.name)) {
                IeSurface surface{place, {}, SurfaceChange::RemoveKey, object};
                surface.finding =
                    surfaceFinding(FindingSubject::HelperObject, place, {},
                                   problem->first + problem->second, !managedMachine_);
                surface.finding.title = {.what = texts::kBrowserHelperTitle,
                                         .value = problem->second};
                found.push_back(std::move(surface));
            }
        }
    }

    void toolbars(const HivePlace& at) {
        const auto toolbar = readKey(platform_, at.place, failures_);
        for (const auto& value : toolbar ? toolbar->values : std::vector<NamedRegistryValue>{}) {
            if (!isClassId(value.name)) {
                continue;
            }
            if (auto problem = programProblem(at, value.name)) {
                IeSurface surface{
                    at.place, value.name, SurfaceChange::RemoveValue, {}, value.value};
                surface.finding =
                    surfaceFinding(FindingSubject::HelperObject, at.place, value.name,
                                   problem->first + problem->second, !managedMachine_);
                surface.finding.title = {.what = texts::kToolbarTitle, .value = problem->second};
                found.push_back(std::move(surface));
            }
        }
    }

    std::vector<IeSurface> found;

  private:
    // What is wrong with the class's program and the program as read; none
    // when it is sound, or when what it names cannot be judged.
    using Problem = std::pair<std::wstring, std::wstring>;
    std::optional<Problem> programProblem(const HivePlace& at, std::wstring_view classId) {
        const auto server = serverOf(at, classId);
        if (!server) {
            return std::nullopt;
        }
        const auto named = server->has_value() ? textOf(**server) : std::nullopt;
        if (!named || trimmed(*named, kWhitespace).empty()) {
            return Problem{texts::kNoProgramRegistered, classId};
        }
        auto path = *named;
        if ((*server)->type == regtype::kExpandString) {
            const auto expanded = platform_.ExpandEnvironment(path);
            path = expanded.ok() ? expanded.value() : path;
        }
        path = normalisedPath(trimmed(trimmed(path, kWhitespace), L"\""));
        if (path.starts_with(L"\\\\") ||
            (driveLetterOf(path) && !mayOpenUserPath(platform_, path))) {
            return Problem{texts::kProgramNotOnThisMachine, *named};
        }
        if (!driveLetterOf(path)) {
            return std::nullopt;
        }
        if (liesInAnyFolder(longPathOf(platform_, path), writableFolders())) {
            return Problem{texts::kProgramInWritableFolder, *named};
        }
        const auto exists = platform_.FileExists(path);
        if (!exists.ok() && !isNotFound(exists.error())) {
            failures_.add(path, exists.error());
            return std::nullopt;
        }
        if (!exists.ok() || !exists.value()) {
            return Problem{texts::kProgramMissing, *named};
        }
        return std::nullopt;
    }

    // The class's InprocServer32 default value: the user's own classes first,
    // then the machine's in the registration's view. Holds none when neither
    // names one; is none when one cannot be read, a failure.
    std::optional<std::optional<RegistryValue>> serverOf(const HivePlace& at,
                                                         std::wstring_view classId) {
        const auto tail =
            std::wstring(kClassesKey) + std::wstring(classId) + std::wstring(kServerKey);
        std::vector<std::pair<std::wstring, RegistryView>> places;
        if (at.hive != L"HKLM") {
            places.emplace_back(at.hive + L"\\" + tail, RegistryView::Default);
        }
        places.emplace_back(L"HKLM\\" + tail, at.place.view);
        for (const auto& [path, view] : places) {
            auto value = platform_.RegReadValue(path, view);
            if (value.ok()) {
                return std::optional(std::move(value).value());
            }
            if (!isNotFound(value.error())) {
                failures_.add(path, value.error());
                return std::nullopt;
            }
        }
        return std::optional<RegistryValue>{};
    }

    // Read the first time a program asks for them.
    const std::vector<std::wstring>& writableFolders() {
        if (!writableFolders_) {
            writableFolders_ = userWritableFolders(platform_, failures_);
        }
        return *writableFolders_;
    }

    PlatformOps& platform_;
    bool managedMachine_;
    FailureLog& failures_;
    std::optional<std::vector<std::wstring>> writableFolders_;
};

bool isBelow(std::wstring_view key, std::wstring_view parent) {
    return key.size() > parent.size() + 1 && key[parent.size()] == L'\\' &&
           equalsIgnoringCase(key.substr(0, parent.size()), parent);
}

bool isToolbarKey(const SectionKey& key) {
    if (key.root == RegistryRoot::LocalMachine) {
        return equalsIgnoringCase(key.key, kMachineToolbarKey);
    }
    return std::ranges::any_of(kUserToolbarKeys, [&](std::wstring_view toolbar) {
        return equalsIgnoringCase(key.key, toolbar);
    });
}

}  // namespace

std::vector<IeSurface> findHelperObjects(PlatformOps& platform,
                                         std::span<const std::wstring> userHives,
                                         bool managedMachine, FailureLog& failures) {
    AddOnScan scan(platform, managedMachine, failures);
    for (const auto& at : placesOf(platform, userHives, kHelperObjectsKey)) {
        scan.helperObjects(at);
    }
    for (const auto& at : placesOf(platform, {}, kMachineToolbarKey)) {
        scan.toolbars(at);
    }
    for (const auto toolbar : kUserToolbarKeys) {
        for (const auto& hive : userHives) {
            scan.toolbars({hive, hivePlace(hive, toolbar)});
        }
    }
    return std::move(scan.found);
}

bool withinHelperObjectReach(const SectionKey& key, const RegistryFileSection& section) {
    if (isBelow(key.key, kHelperObjectsKey)) {
        const auto below = std::wstring_view(key.key).substr(kHelperObjectsKey.size() + 1);
        return isClassId(below.substr(0, below.find(L'\\')));
    }
    return isToolbarKey(key) &&
           std::ranges::all_of(section.entries, [](const RegistryFileEntry& entry) {
               return isClassId(entry.name);
           });
}

}  // namespace tovask
