#include "platform/com/err_object.h"

#include <new>

#include "platform/com/com_error.h"

namespace com {

void ErrObject::Clear() {
  number_ = 0;
  description_.clear();
}

void ErrObject::Set(long number, std::string description) {
  number_ = number;
  description_ = std::move(description);
}

bool ErrObject::Try(const std::function<void()>& statement) noexcept {
  try {
    statement();
    return true;
  } catch (const ComError& e) {
    Set(e.number(), e.description());
  } catch (const std::bad_alloc&) {
    Set(kErrOutOfMemory, StandardDescription(kErrOutOfMemory));
  } catch (const std::exception& e) {
    Set(kErrAutomation, e.what());
  } catch (...) {
    Set(kErrAutomation, StandardDescription(kErrAutomation));
  }
  return false;
}

void ResumeNext::operator()(const std::function<void()>& statement) {
  if (err_.Try(statement)) return;
  if (handler_) handler_(err_);
  err_.Clear();
}

}  // namespace com
