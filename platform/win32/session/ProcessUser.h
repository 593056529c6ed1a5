#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/Handles.h"
#include "values/Result.h"

namespace tovask::win32 {

// The user a process runs as, read from its access token.
class ProcessUser {
  public:
    static Result<ProcessUser> of(HANDLE process);

    // Points into this object: valid while it lives.
    PSID sid() const;

  private:
    explicit ProcessUser(std::vector<BYTE> tokenUser) : tokenUser_(std::move(tokenUser)) {}

    std::vector<BYTE> tokenUser_;
};

// A security identifier as text ("S-1-5-21-...").
Result<std::wstring> sidText(PSID sid);

// Another process, opened only far enough to read its token.
Result<KernelHandle> openProcessToQuery(DWORD processId);

}  // namespace tovask::win32
