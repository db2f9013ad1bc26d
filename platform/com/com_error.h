#pragma once
// The one exception type that crosses the platform seam: a host error number and its text.
#include <stdexcept>
#include <string>

namespace com {

// The host's own error numbers that callers test for.
enum ErrorNumber : long {
  kErrInvalidCall = 5,
  kErrOverflow = 6,
  kErrOutOfMemory = 7,
  kErrSubscriptOutOfRange = 9,
  kErrTypeMismatch = 13,
  kErrFileNotFound = 53,
  kErrFileAccess = 75,
  kErrPathNotFound = 76,
  kErrObjectNotSet = 91,
  kErrCannotCreateObject = 429,
  kErrAutomation = 440,
  kErrNoSuchMember = 438,
};

class ComError : public std::runtime_error {
 public:
  ComError(long number, std::string description);
  ~ComError() override;
  long number() const { return number_; }
  const std::string& description() const { return description_; }

 private:
  long number_;
  std::string description_;
};

// The description the host gives its standard error numbers ("Overflow", ...).
std::string StandardDescription(long number);

[[noreturn]] void Raise(long number, std::string description);
[[noreturn]] void Raise(long number);

}  // namespace com
