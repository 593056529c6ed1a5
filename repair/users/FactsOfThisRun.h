#pragma once

#include <map>

#include "platform/ForwardingPlatform.h"

namespace tovask {

// The platform as one run sees it: what the machine is, which the run asks
// over and over and may take as settled while it lasts, is asked of the
// system once. Each check and each repair makes its own, so that the next one
// sees a drive letter mapped to a share meanwhile.
class FactsOfThisRun final : public ForwardingPlatform {
  public:
    explicit FactsOfThisRun(PlatformOps& next) : ForwardingPlatform(next) {}
    // Out of line, as ForwardingPlatform's is.
    ~FactsOfThisRun() override;

    // A failed answer is kept too, until the run ends: every path on that
    // drive is then refused alike, when the run looks and when it repairs,
    // never opened by one step and refused by the next.
    Result<bool> IsLocalFixedDrive(wchar_t letter) override {
        if (const auto known = fixedDrives_.find(letter); known != fixedDrives_.end()) {
            return known->second;
        }
        return fixedDrives_.emplace(letter, ForwardingFileOps::IsLocalFixedDrive(letter))
            .first->second;
    }

  private:
    std::map<wchar_t, Result<bool>> fixedDrives_;
};

}  // namespace tovask
