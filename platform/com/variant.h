#pragma once
// The host's Variant: one value of the few types that cross late-bound calls.
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/com/date.h"

namespace com {

class ComObject;
using ObjectPtr = std::shared_ptr<ComObject>;

class Variant {
 public:
  enum class Type { Empty, Integer, Long, Double, Date, String, Object, Boolean };

  Variant() = default;
  Variant(int16_t v) : value_(v) {}  // NOLINT(google-explicit-constructor): values convert as in the host
  Variant(int32_t v) : value_(v) {}  // NOLINT
  Variant(double v) : value_(v) {}   // NOLINT
  Variant(Date v) : value_(v) {}     // NOLINT
  Variant(std::string v) : value_(std::move(v)) {}  // NOLINT
  Variant(const char* v) : value_(std::string(v)) {}  // NOLINT
  Variant(ObjectPtr v) : value_(std::move(v)) {}      // NOLINT
  template <class T, class = std::enable_if_t<std::is_base_of_v<ComObject, T>>>
  Variant(std::shared_ptr<T> v) : value_(ObjectPtr(std::move(v))) {}  // NOLINT
  static Variant Boolean(bool b) {
    Variant v;
    v.value_ = b;
    return v;
  }
  static Variant Nothing() { return Variant(ObjectPtr()); }

  Type type() const { return static_cast<Type>(value_.index()); }
  bool IsEmpty() const { return type() == Type::Empty; }
  bool IsObject() const { return type() == Type::Object; }
  bool IsNumeric() const;

  // Conversions with the host's rules: Boolean True is -1, numbers round half to even,
  // out-of-range values raise Overflow (6), impossible ones Type mismatch (13).
  int16_t ToInteger() const;
  int32_t ToLong() const;
  double ToDouble() const;
  bool ToBool() const;
  Date ToDate() const;
  std::string ToString() const;
  ObjectPtr ToObject() const;

  friend bool operator==(const Variant& a, const Variant& b);

 private:
  std::variant<std::monostate, int16_t, int32_t, double, Date, std::string, ObjectPtr, bool> value_;
};

using Args = std::vector<Variant>;

}  // namespace com
