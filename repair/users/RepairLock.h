#pragma once

#include <chrono>
#include <system_error>

#include "platform/SessionOps.h"

namespace tovask {

// How long a repair or undo waits for another one to end.
inline constexpr std::chrono::seconds kRepairLockWait{30};

// Holds the machine-wide repair lock for one repair or undo.
class RepairLock {
  public:
    explicit RepairLock(SessionOps& platform)
        : platform_(platform), error_(platform.AcquireRepairLock(kRepairLockWait)) {}
    RepairLock(const RepairLock&) = delete;
    RepairLock& operator=(const RepairLock&) = delete;
    ~RepairLock() {
        if (!error_) {
            platform_.ReleaseRepairLock();
        }
    }

    std::error_code error() const { return error_; }

  private:
    SessionOps& platform_;
    std::error_code error_;
};

}  // namespace tovask
