#pragma once
// An object variable: empty until set, and raising 91 when used while empty.
#include <memory>

#include "platform/com/com_error.h"

namespace com {

template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
  Ref(std::shared_ptr<T> p) : p_(std::move(p)) {}  // NOLINT
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  Ref(std::shared_ptr<U> p) : p_(std::move(p)) {}  // NOLINT
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  Ref(const Ref<U>& other) : p_(other.get()) {}  // NOLINT

  T* operator->() const {
    if (!p_) Raise(kErrObjectNotSet);
    return p_.get();
  }
  T& operator*() const { return *operator->(); }

  bool IsNothing() const { return !p_; }
  explicit operator bool() const { return static_cast<bool>(p_); }
  const std::shared_ptr<T>& get() const { return p_; }
  void Release() { p_.reset(); }

  friend bool operator==(const Ref& a, const Ref& b) { return a.p_ == b.p_; }

 private:
  std::shared_ptr<T> p_;
};

// The host's TypeOf ... Is: a typed view of an object, or Nothing.
template <class T, class U>
Ref<T> As(const std::shared_ptr<U>& p) {
  return Ref<T>(std::dynamic_pointer_cast<T>(p));
}

}  // namespace com
