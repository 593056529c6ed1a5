#pragma once

#include <windows.h>

#include <string>
#include <system_error>

#include "platform/win32/Handles.h"

namespace tovask::win32 {

// A file's security descriptor, owned; empty for "what the folder passes on".
class FileSecurity {
  public:
    // Only Administrators and SYSTEM may open the file, in any way; nothing is
    // inherited from the folder, whose own entries may let users read.
    static std::error_code administratorsOnly(FileSecurity& security);
    // The owner and access list of an existing file, with their inheritance
    // flags; a missing file gives an empty descriptor.
    static std::error_code ofFile(const std::wstring& path, FileSecurity& security);

    // For CreateFileW: null while empty.
    SECURITY_ATTRIBUTES* attributes();

  private:
    LocalMemory descriptor_;
    SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace tovask::win32
