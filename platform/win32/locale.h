#pragma once
// Regional settings: the named date formats and the parsing of dates typed in the short
// date format. One locale is current for the process, as on the host.
#include <string>

#include "platform/com/date.h"

namespace win32 {

struct LocaleSettings {
  std::string name;       // "en-US"
  std::string shortDate;  // in the host's format syntax: "m/d/yyyy"
  std::string longTime;   // "h:nn:ss AMPM"
  std::string am = "AM";
  std::string pm = "PM";
};

class Locale {
 public:
  explicit Locale(LocaleSettings settings) : s_(std::move(settings)) {}

  static Locale& Current();
  // Makes a known locale ("en-US", "en-GB", "de-DE", "ISO") current; false when unknown.
  static bool SetCurrent(const std::string& name);
  static void SetCurrent(const LocaleSettings& settings);

  const LocaleSettings& settings() const { return s_; }

  // The host's Format for dates: a named format ("Short Date", "Short Time", "Long Time",
  // "General Date") or a custom one such as "hh:mm AMPM".
  std::string Format(com::Date d, const std::string& format) const;
  std::string GeneralDate(com::Date d) const;
  // Format for numbers with a digit pattern such as "00".
  static std::string FormatNumber(long value, const std::string& format);

  // A date in the short date format, optionally followed by a time ("h:mm[:ss] [AM|PM]");
  // also accepts ISO "yyyy-mm-dd". False when the text is no valid date.
  bool ParseDate(const std::string& text, com::Date& out) const;

 private:
  LocaleSettings s_;
};

}  // namespace win32
