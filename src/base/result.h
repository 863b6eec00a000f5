#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <utility>

namespace quillon {

// Why something failed, in words for the user.
struct Error {
    std::string message;
};

// An error on its way into a Result: `return failure(Error{"..."})`.
template <typename E>
struct Failure {
    E error;
};

template <typename E>
Failure<E> failure(E error) {
    return {std::move(error)};
}

// What a function that can fail returns: its value, or the error that kept it from one (an Error,
// or an error of its own kind such as PortError). The one way the program returns a failure; what
// a chip operation came to (RunOutcome) is an outcome, not a failure, and keeps its own type.
//
// On purpose there is no conversion to bool: an optional error converted to true on failure,
// a result would convert to true on success, and code written for the one must not compile for
// the other. Ask ok().
template <typename T = void, typename E = Error>
class Result {
  public:
    template <typename U = T>
    requires std::is_convertible_v<U&&, T> &&
        (!std::is_same_v<std::remove_cvref_t<U>, Result>)Result(U&& value)
        : value_(std::forward<U>(value)) {}
    Result(Failure<E> failed) : error_(std::move(failed.error)) {}

    bool ok() const { return value_.has_value(); }

    // The value; only when ok().
    T& value() & { return *value_; }
    const T& value() const& { return *value_; }
    T&& value() && { return std::move(*value_); }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    T& operator*() & { return *value_; }
    const T& operator*() const& { return *value_; }

    // The error; only when !ok().
    const E& error() const& { return *error_; }
    E&& error() && { return std::move(*error_); }

  private:
    std::optional<T> value_;
    std::optional<E> error_;
};

template <typename E>
class Result<void, E> {
  public:
    Result() = default;
    Result(Failure<E> failed) : error_(std::move(failed.error)) {}

    bool ok() const { return !error_.has_value(); }

    // The error; only when !ok().
    const E& error() const& { return *error_; }
    E&& error() && { return std::move(*error_); }

  private:
    std::optional<E> error_;
};

}  // namespace quillon
