#include "platform/win32/locale.h"

#include <cctype>
#include <map>
#include <mutex>
#include <vector>

#include "platform/com/text.h"

namespace win32 {
namespace {

const std::map<std::string, LocaleSettings>& KnownLocales() {
  static const std::map<std::string, LocaleSettings> known = {
      {"en-US", {"en-US", "m/d/yyyy", "h:nn:ss AMPM", "AM", "PM"}},
      {"en-GB", {"en-GB", "dd/mm/yyyy", "hh:nn:ss", "AM", "PM"}},
      {"de-DE", {"de-DE", "dd.mm.yyyy", "hh:nn:ss", "", ""}},
      {"ISO", {"ISO", "yyyy-mm-dd", "hh:nn:ss", "", ""}},
  };
  return known;
}

std::mutex& LocaleMutex() {
  static std::mutex m;
  return m;
}

Locale& CurrentSlot() {
  static Locale current(KnownLocales().at("en-US"));
  return current;
}

const char* kMonthAbbrev[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* kDayAbbrev[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

std::string Pad(int v, size_t width) {
  std::string s = std::to_string(v);
  while (s.size() < width) s.insert(s.begin(), '0');
  return s;
}

bool StartsWithNoCase(const std::string& s, size_t pos, const char* token) {
  const std::string t(token);
  return s.size() - pos >= t.size() && com::EqualsNoCase(std::string_view(s).substr(pos, t.size()), t);
}

size_t RunLength(const std::string& s, size_t pos) {
  const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[pos])));
  size_t n = 0;
  while (pos + n < s.size() && std::tolower(static_cast<unsigned char>(s[pos + n])) == c) ++n;
  return n;
}

}  // namespace

Locale& Locale::Current() { return CurrentSlot(); }

bool Locale::SetCurrent(const std::string& name) {
  auto it = KnownLocales().find(name);
  if (it == KnownLocales().end()) return false;
  SetCurrent(it->second);
  return true;
}

void Locale::SetCurrent(const LocaleSettings& settings) {
  std::lock_guard lock(LocaleMutex());
  CurrentSlot() = Locale(settings);
}

std::string Locale::Format(com::Date d, const std::string& format) const {
  if (com::EqualsNoCase(format, "Short Date")) return Format(d, s_.shortDate);
  if (com::EqualsNoCase(format, "Short Time")) return Format(d, "hh:nn");
  if (com::EqualsNoCase(format, "Long Time")) return Format(d, s_.longTime);
  if (com::EqualsNoCase(format, "General Date")) return GeneralDate(d);

  const com::DateParts p = d.Parts();
  const bool twelveHour = format.find("AM") != std::string::npos || format.find("am") != std::string::npos ||
                          format.find("A/P") != std::string::npos || format.find("a/p") != std::string::npos;
  std::string out;
  bool lastWasHour = false;
  for (size_t i = 0; i < format.size();) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(format[i])));
    if (format[i] == '"') {
      const size_t close = format.find('"', i + 1);
      out += format.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
      i = close == std::string::npos ? format.size() : close + 1;
      continue;
    }
    if (StartsWithNoCase(format, i, "AMPM")) {
      out += p.hour < 12 ? s_.am : s_.pm;
      i += 4;
      continue;
    }
    if (StartsWithNoCase(format, i, "AM/PM")) {
      out += p.hour < 12 ? "AM" : "PM";
      i += 5;
      continue;
    }
    if (StartsWithNoCase(format, i, "A/P")) {
      out += p.hour < 12 ? "A" : "P";
      i += 3;
      continue;
    }
    const size_t n = RunLength(format, i);
    bool isHour = false;
    switch (c) {
      case 'd':
        if (n >= 3) out += kDayAbbrev[d.Weekday() - 1];
        else out += Pad(p.day, n);
        break;
      case 'y':
        out += n >= 3 ? Pad(p.year, 4) : Pad(p.year % 100, 2);
        break;
      case 'm':
        if (lastWasHour) out += Pad(p.minute, n);
        else if (n >= 3) out += kMonthAbbrev[p.month - 1];
        else out += Pad(p.month, n);
        break;
      case 'n':
        out += Pad(p.minute, n);
        break;
      case 'h': {
        int h = p.hour;
        if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
        out += Pad(h, n);
        isHour = true;
        break;
      }
      case 's':
        out += Pad(p.second, n);
        break;
      default:
        out += format.substr(i, n);
        // A separator between hour and minutes keeps "m" meaning minutes.
        if (c == ':') isHour = lastWasHour;
        break;
    }
    lastWasHour = isHour;
    i += n;
  }
  return out;
}

std::string Locale::GeneralDate(com::Date d) const {
  const bool noDate = d.serial() >= 0 && d.serial() < 1;
  if (noDate) return Format(d, s_.longTime);
  if (!d.HasTime()) return Format(d, s_.shortDate);
  return Format(d, s_.shortDate) + " " + Format(d, s_.longTime);
}

std::string Locale::FormatNumber(long value, const std::string& format) {
  size_t zeros = 0;
  for (char c : format) zeros += c == '0';
  std::string digits = std::to_string(value < 0 ? -value : value);
  while (digits.size() < zeros) digits.insert(digits.begin(), '0');
  return (value < 0 ? "-" : "") + digits;
}

bool Locale::ParseDate(const std::string& raw, com::Date& out) const {
  const std::string text = com::Trim(raw);
  // Split into the numbers of the date part, then an optional time part.
  std::vector<int> nums;
  std::vector<size_t> widths;
  size_t i = 0;
  while (i < text.size() && nums.size() < 3) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    size_t start = i;
    int v = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      v = v * 10 + (text[i] - '0');
      if (++i - start > 4) return false;
    }
    nums.push_back(v);
    widths.push_back(i - start);
    if (nums.size() < 3) {
      if (i >= text.size() || (text[i] != '/' && text[i] != '.' && text[i] != '-')) return false;
      ++i;
    }
  }
  if (nums.size() != 3) return false;

  int year = 0, month = 0, day = 0;
  if (widths[0] == 4) {
    year = nums[0], month = nums[1], day = nums[2];
  } else {
    // Field order from the locale's short date pattern.
    std::string order;
    for (char c : s_.shortDate) {
      const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if ((l == 'd' || l == 'm' || l == 'y') && order.find(l) == std::string::npos) order += l;
    }
    if (order.size() != 3) order = "mdy";
    for (size_t k = 0; k < 3; ++k) {
      if (order[k] == 'd') day = nums[k];
      else if (order[k] == 'm') month = nums[k];
      else year = nums[k];
    }
    const size_t yPos = order.find('y');
    if (widths[yPos] <= 2) year += year < 30 ? 2000 : 1900;
  }
  if (month < 1 || month > 12 || day < 1) return false;
  const com::Date firstOfNext = com::Date::FromParts(year, month + 1, 1);
  if (day > firstOfNext.AddDays(-1).Parts().day) return false;

  int hour = 0, minute = 0, second = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size()) {
    int* fields[] = {&hour, &minute, &second};
    int count = 0;
    while (count < 3 && i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      int v = 0;
      size_t start = i;
      while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        v = v * 10 + (text[i++] - '0');
        if (i - start > 2) return false;
      }
      *fields[count++] = v;
      if (i < text.size() && text[i] == ':') ++i;
      else break;
    }
    if (count < 2) return false;
    while (i < text.size() && text[i] == ' ') ++i;
    const std::string suffix = com::ToLower(text.substr(i));
    if (suffix == "pm" || (!s_.pm.empty() && suffix == com::ToLower(s_.pm))) {
      if (hour < 1 || hour > 12) return false;
      hour = hour % 12 + 12;
    } else if (suffix == "am" || (!s_.am.empty() && suffix == com::ToLower(s_.am))) {
      if (hour < 1 || hour > 12) return false;
      hour %= 12;
    } else if (!suffix.empty()) {
      return false;
    }
    if (hour > 23 || minute > 59 || second > 59) return false;
  }
  out = com::Date::FromParts(year, month, day, hour, minute, second);
  return true;
}

}  // namespace win32
