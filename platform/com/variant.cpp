#include "platform/com/variant.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/com/com_error.h"
#include "platform/com/text.h"
#include "platform/win32/locale.h"

namespace com {
namespace {

// Banker's rounding, as the host rounds when it converts to whole numbers.
double RoundHalfEven(double v) { return std::nearbyint(v); }

double ParseNumber(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty()) Raise(kErrTypeMismatch);
  if (EqualsNoCase(t, "True")) return -1;
  if (EqualsNoCase(t, "False")) return 0;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || *end != '\0') Raise(kErrTypeMismatch);
  return v;
}

}  // namespace

bool Variant::IsNumeric() const {
  switch (type()) {
    case Type::Integer:
    case Type::Long:
    case Type::Double:
    case Type::Boolean:
    case Type::Empty:
      return true;
    case Type::String:
      try {
        ParseNumber(std::get<std::string>(value_));
        return true;
      } catch (const ComError&) {
        return false;
      }
    default:
      return false;
  }
}

double Variant::ToDouble() const {
  switch (type()) {
    case Type::Empty: return 0;
    case Type::Integer: return std::get<int16_t>(value_);
    case Type::Long: return std::get<int32_t>(value_);
    case Type::Double: return std::get<double>(value_);
    case Type::Date: return std::get<Date>(value_).serial();
    case Type::Boolean: return std::get<bool>(value_) ? -1 : 0;
    case Type::String: return ParseNumber(std::get<std::string>(value_));
    case Type::Object: Raise(kErrTypeMismatch);
  }
  Raise(kErrTypeMismatch);
}

int16_t Variant::ToInteger() const {
  const double v = RoundHalfEven(ToDouble());
  if (v < -32768 || v > 32767) Raise(kErrOverflow);
  return static_cast<int16_t>(v);
}

int32_t Variant::ToLong() const {
  const double v = RoundHalfEven(ToDouble());
  if (v < -2147483648.0 || v > 2147483647.0) Raise(kErrOverflow);
  return static_cast<int32_t>(v);
}

bool Variant::ToBool() const {
  if (type() == Type::Boolean) return std::get<bool>(value_);
  return ToDouble() != 0;
}

Date Variant::ToDate() const {
  switch (type()) {
    case Type::Date: return std::get<Date>(value_);
    case Type::String: {
      Date d;
      if (!win32::Locale::Current().ParseDate(std::get<std::string>(value_), d)) Raise(kErrTypeMismatch);
      return d;
    }
    case Type::Object: Raise(kErrTypeMismatch);
    default: return Date(ToDouble());
  }
}

std::string Variant::ToString() const {
  switch (type()) {
    case Type::Empty: return "";
    case Type::Integer: return std::to_string(std::get<int16_t>(value_));
    case Type::Long: return std::to_string(std::get<int32_t>(value_));
    case Type::Double: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.15g", std::get<double>(value_));
      return buf;
    }
    case Type::Date: return win32::Locale::Current().GeneralDate(std::get<Date>(value_));
    case Type::String: return std::get<std::string>(value_);
    case Type::Boolean: return std::get<bool>(value_) ? "True" : "False";
    case Type::Object: Raise(kErrTypeMismatch);
  }
  return "";
}

ObjectPtr Variant::ToObject() const {
  if (type() == Type::Object) return std::get<ObjectPtr>(value_);
  if (type() == Type::Empty) return nullptr;
  Raise(kErrTypeMismatch);
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.type() == Variant::Type::Object || b.type() == Variant::Type::Object) {
    return a.type() == b.type() && std::get<ObjectPtr>(a.value_) == std::get<ObjectPtr>(b.value_);
  }
  if (a.type() == Variant::Type::String || b.type() == Variant::Type::String) {
    if (a.type() == b.type()) return std::get<std::string>(a.value_) == std::get<std::string>(b.value_);
    if (!a.IsNumeric() || !b.IsNumeric()) return false;
  }
  return a.ToDouble() == b.ToDouble();
}

}  // namespace com
