#pragma once

#include <string_view>
#include <system_error>

#include "platform/PlatformOps.h"

namespace tovask::win32 {

// Rows under HKLM reach both registry views of a 64-bit Windows, so that the
// 32-bit and the 64-bit browser are repaired alike; the row succeeds only
// when every view took the write.
std::error_code writeRegistryValue(std::wstring_view path, RegistryData data, RegistryType type);
// Gone from every view is success, even when only one view held it; "not
// found" only when no view held it.
std::error_code deleteRegistryEntry(std::wstring_view path);

// The same changes in one view only, with the value's own type and bytes.
std::error_code writeRawValue(std::wstring_view keyPath, std::wstring_view valueName,
                              const RegistryValue& value, RegistryView view);
std::error_code deleteEntryInView(std::wstring_view path, RegistryView view);
std::error_code deleteValueOfKey(std::wstring_view keyPath, std::wstring_view valueName,
                                 RegistryView view);
std::error_code createRegistryKey(std::wstring_view keyPath, RegistryView view);
std::error_code removeKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                const BeforeKeyRemoval& beforeRemoval);
std::error_code removeValueAsRead(std::wstring_view keyPath, std::wstring_view valueName,
                                  RegistryView view, const BeforeValueRemoval& beforeRemoval);

}  // namespace tovask::win32
