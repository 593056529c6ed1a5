#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/SessionOps.h"
#include "repair/texts/ProgramTexts.h"

namespace tovask {

struct Failure {
    std::wstring target;  // the registry path or file the failed step was about
    std::wstring reason;
};

// The steps of one repair run that really failed, in the order they failed.
class FailureLog {
  public:
    explicit FailureLog(SessionOps& platform) : platform_(platform) {}

    // The platform refuses to change anything through a link; the reason
    // is the program's own, not the C library's.
    void add(std::wstring_view target, std::error_code error) {
        entries_.push_back({std::wstring(target), error == std::errc::too_many_symbolic_link_levels
                                                      ? std::wstring(texts::kReachedThroughLink)
                                                      : platform_.DescribeError(error)});
    }
    void add(std::wstring_view target, std::wstring_view reason) {
        entries_.push_back({std::wstring(target), std::wstring(reason)});
    }
    const std::vector<Failure>& entries() const { return entries_; }

  private:
    SessionOps& platform_;
    std::vector<Failure> entries_;
};

}  // namespace tovask
