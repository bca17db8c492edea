// The one shape of every step that may fail: a value, or the reason it could not be had.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace ombrix::base {

// What kind of failure it was, for callers that answer kinds differently (the tool's exit codes,
// the advice a message gives).
enum class FailureKind {
    Failed,        // any reason not named below
    BadRequest,    // what was asked for is not sound: a command line, a path too long, ...
    AccessDenied,  // the user lacks the rights
    Unreachable,   // another machine did not answer
    NotFound,      // no such file or folder
    OutOfMemory,   // too large for the memory available
};

// Why a step failed, in words a user can act on: the system's own text (GetLastError or errno)
// or the program's.
struct Failure {
    std::string reason;
    FailureKind kind = FailureKind::Failed;
};

// A step's value, or its Failure. Tests as true when the step succeeded.
template <typename T = void>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}  // NOLINT

    explicit operator bool() const { return state_.index() == 0; }
    T& operator*() { return std::get<0>(state_); }
    const T& operator*() const { return std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    // Empty when the step succeeded.
    const std::string& Reason() const {
        static const std::string kNone;
        return state_.index() == 1 ? std::get<1>(state_).reason : kNone;
    }
    // Failed when the step succeeded; ask only after a failure.
    FailureKind Kind() const {
        return state_.index() == 1 ? std::get<1>(state_).kind : FailureKind::Failed;
    }
    // The failure as it is, to be passed on as another step's.
    Failure TakeFailure() { return std::move(std::get<1>(state_)); }

  private:
    std::variant<T, Failure> state_;
};

// A step with nothing to give back but whether it worked.
template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : failed_(true), failure_(std::move(failure)) {}  // NOLINT

    explicit operator bool() const { return !failed_; }
    const std::string& Reason() const { return failure_.reason; }
    FailureKind Kind() const { return failure_.kind; }
    Failure TakeFailure() { return std::move(failure_); }

  private:
    bool failed_ = false;
    Failure failure_;
};

// A sentence of ours and, after a blank line, the reason: how every failure is told.
inline std::string WithReason(std::string sentence, std::string_view reason) {
    if (!reason.empty()) {
        sentence.append("\r\n\r\n").append(reason);
    }
    return sentence;
}

}  // namespace ombrix::base
