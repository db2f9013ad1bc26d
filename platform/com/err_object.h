#pragma once
// The pending error of an operation (the host's Err object) and the two ways of running
// statements under it.
#include <functional>
#include <string>

namespace com {

class ErrObject {
 public:
  long Number() const { return number_; }
  const std::string& Description() const { return description_; }
  bool Pending() const { return number_ != 0; }
  void Clear();
  void Set(long number, std::string description);

  // Runs one statement; a failure becomes the pending error instead of propagating
  // ("skip the failing statement and go on"). Returns false when the statement failed.
  bool Try(const std::function<void()>& statement) noexcept;

 private:
  long number_ = 0;
  std::string description_;
};

// Runs statements so that each failure is recorded, handed to a handler, cleared, and
// followed by the next statement: an operation "with an error handler that resumes".
class ResumeNext {
 public:
  ResumeNext(ErrObject& err, std::function<void(const ErrObject&)> handler)
      : err_(err), handler_(std::move(handler)) {}
  void operator()(const std::function<void()>& statement);

 private:
  ErrObject& err_;
  std::function<void(const ErrObject&)> handler_;
};

}  // namespace com
