// The errors the setup raises. Each kind has a name; the general error report shows
// "Exception " followed by that name. EAbort is the quiet error: inside the wizard's message
// handling it ends the handler without a word.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

class ESetupError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  virtual std::string_view KindName() const { return "ESetupError"; }
};

// The quiet error: a file stream that cannot be opened, created, read or written in full,
// a bitmap that cannot be loaded, a date that cannot be converted.
class EAbort : public ESetupError {
 public:
  EAbort() : ESetupError("Operation aborted") {}
  std::string_view KindName() const override { return "EAbort"; }
};

// The payload stream or its catalogue is damaged.
class EPayloadError : public ESetupError {
 public:
  using ESetupError::ESetupError;
  std::string_view KindName() const override { return "EPayloadError"; }
};

// A payload entry asked for by name does not exist.
class EEntryNotFound : public ESetupError {
 public:
  using ESetupError::ESetupError;
  std::string_view KindName() const override { return "EEntryNotFound"; }
};

// The stored form description cannot be loaded.
class EFormError : public ESetupError {
 public:
  using ESetupError::ESetupError;
  std::string_view KindName() const override { return "EFormError"; }
};

// The kind name of an error in flight, for the error box.
std::string ErrorKindName(const std::exception_ptr& error);

// Whether the error is the quiet kind.
bool IsQuietError(const std::exception_ptr& error);

// Shows the general error box: no owner, the system's caption, error icon, OK alone.
void ShowErrorReport(const std::exception_ptr& error);
