#pragma once
// Result<T>: a value, or the reason there is none. The project's small stand-in for C++23's
// std::expected, which GCC 12 offers only with -std=c++23: what a function that can fail for a
// reason worth telling returns, instead of a bool and an out-parameter.
//
//   Result<std::string> Load(...) { ...; return Failure("no such file"); ... return text; }
//   const Result<std::string> text = Load(...);
//   if (!text) Tell(text.Problem());

#include <optional>
#include <string>
#include <utility>

template <typename Error = std::string>
struct Failure {
    explicit Failure(Error e) : error(std::move(e)) {}
    Error error;
};
template <typename Error>
Failure(Error) -> Failure<Error>;
Failure(const char*)->Failure<std::string>;

template <typename T, typename ProblemType = std::string>
class Result {
  public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: a value converts, as in expected
    template <typename E>
    Result(Failure<E> failure) : error_(std::move(failure.error)) {}  // NOLINT

    bool HasValue() const { return value_.has_value(); }
    explicit operator bool() const { return HasValue(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Why there is no value; empty when there is one.
    const ProblemType& Problem() const { return error_; }

  private:
    std::optional<T> value_;
    ProblemType error_{};
};

// A step that gives nothing back but may fail for a reason.
struct Done {};
