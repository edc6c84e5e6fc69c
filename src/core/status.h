#pragma once

#include <optional>
#include <string>
#include <utility>

namespace kestrova {

// A failure the caller can show: what went wrong, in a sentence a user can read.
struct Error {
  enum class Kind {
    Io,        // the operating system refused a read, write, rename...
    Busy,      // the file stayed unavailable for the whole retry period
    Damaged,   // the file's contents do not have the documented layout
    NotFound,  // a record number past the end, a missing file
    Conflict,  // the stored record is no longer the one the caller read
    Invalid,   // bad input from the caller
  };
  Kind kind = Kind::Io;
  std::string message;
};

// Success, or an Error. Nothing in the core throws for an expected failure.
class Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)) {}  // NOLINT: implicit by design
  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  const Error& error() const { return *error_; }
  const std::string& message() const { return error_->message; }

 private:
  std::optional<Error> error_;
};

// A value, or an Error.
template <class T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}      // NOLINT: implicit by design
  Result(Error error) : error_(std::move(error)) {}  // NOLINT: implicit by design
  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  T& value() { return *value_; }
  const T& value() const { return *value_; }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  const Error& error() const { return *error_; }
  const std::string& message() const { return error_->message; }
  Status status() const { return ok() ? Status() : Status(*error_); }

 private:
  std::optional<T> value_;
  std::optional<Error> error_;
};

}  // namespace kestrova
