#pragma once

#include <system_error>
#include <utility>
#include <variant>

namespace tovask {

// The outcome of a platform operation that yields a value: either the value or
// the system error that prevented it. Nothing throws across the platform.
template <typename T>
class Result {
  public:
    Result(T value) : outcome_(std::move(value)) {}
    Result(std::error_code error) : outcome_(error) {}

    bool ok() const { return std::holds_alternative<T>(outcome_); }
    const T& value() const& { return std::get<T>(outcome_); }
    // The value moved out of a result that is no longer needed.
    T&& value() && { return std::get<T>(std::move(outcome_)); }
    std::error_code error() const {
        return ok() ? std::error_code{} : std::get<std::error_code>(outcome_);
    }

  private:
    std::variant<T, std::error_code> outcome_;
};

// "Not found" is the one failure that callers treat apart: deleting what is
// already gone is the state the repair wants.
inline bool isNotFound(std::error_code error) {
    return error == std::errc::no_such_file_or_directory;
}

}  // namespace tovask
