#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "text/KeyPlace.h"

namespace tovask {

// What the repair does to one finding's place.
enum class SurfaceChange { None, RemoveKey, RemoveValue, WriteValue };

// One thing Internet Explorer searches with, loads or trusts, as read, and
// what the repair does to it.
struct IeSurface {
    KeyPlace place;          // the key the finding is, or holds its value
    std::wstring valueName;  // the value's name, as the registry spells it
    SurfaceChange change = SurfaceChange::None;
    RegistryKeyContent key{};    // what RemoveKey takes
    RegistryValue value{};       // the value as read
    RegistryValue repairedTo{};  // what WriteValue leaves
    Finding finding{};

    // The sections that put it back as it was read.
    void addBackup(std::vector<RegistryFileSection>& sections) const;
    // Its change; a failure is logged. True when it is made.
    bool applyRepair(PlatformOps& platform, FailureLog& failures) const;
};

// A key in HKLM (each view) and in each of the users' hives ("HKCU" or
// "HKU\<name>"), each with the hive it is in.
struct HivePlace {
    std::wstring hive;  // "HKLM", "HKCU" or "HKU\<name>"
    KeyPlace place;
};
std::vector<HivePlace> placesOf(PlatformOps& platform, std::span<const std::wstring> userHives,
                                std::wstring_view key);

// The key with all below it; none for a missing one, and for one that cannot
// be read, which is a failure.
std::optional<RegistryKeyContent> readKey(PlatformOps& platform, const KeyPlace& place,
                                          FailureLog& failures);

// A finding of the kind at the key, or at its value when one is named.
Finding surfaceFinding(FindingSubject subject, const KeyPlace& place, std::wstring_view valueName,
                       std::wstring holds, bool repairable);

}  // namespace tovask
