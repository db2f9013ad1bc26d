#include "platform/ical/ical_source.h"

#include <fstream>
#include <sstream>

#include "platform/ical/ical_text.h"
#include "platform/com/utf8.h"
#include "platform/ical/ical_refused.h"
#include "platform/com/text.h"

namespace ical {
namespace {

[[noreturn]] void Refuse(const std::string& path, int line, const std::string& why) {
  throw Refused(path + ", line " + std::to_string(line) + ": " + why + "; nothing was imported");
}

// Unfolds as libical does: a line break (LF, or CR LF) followed by a space or a tab is taken out
// with that one character, wherever it falls, once the line so far holds something; whitespace
// at the end of a whole line goes. UTF-8 is checked on whole lines (a fold may split a
// character) and a fault named by the file's line it stands on.
std::vector<IcalSource::Line> Unfold(const std::string& path, const std::string& text) {
  std::vector<IcalSource::Line> lines;
  std::vector<std::vector<std::pair<size_t, int>>> pieces;  // per line: where each file line begins in it
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  bool open = false;  // the last line may be continued
  while (std::getline(in, raw)) {
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (open && !raw.empty() && (raw[0] == ' ' || raw[0] == '\t')) {
      pieces.back().emplace_back(lines.back().text.size(), number);
      lines.back().text += raw.substr(1);
      continue;
    }
    if (!raw.empty() && (raw[0] == ' ' || raw[0] == '\t')) {
      Refuse(path, number, "a continuation line with nothing to continue");
    }
    lines.push_back({number, raw});
    pieces.push_back({{0, number}});
    open = !raw.empty();
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string& t = lines[i].text;
    if (const std::optional<size_t> bad = com::FirstInvalidUtf8(t)) {
      int at = lines[i].number;
      for (const auto& [offset, line] : pieces[i]) {
        if (offset <= *bad) at = line;
      }
      Refuse(path, at, "the text is not UTF-8");
    }
    const size_t keep = t.find_last_not_of(" \t\r\n\v\f");
    t.erase(keep == std::string::npos ? 0 : keep + 1);
  }
  std::erase_if(lines, [](const IcalSource::Line& l) { return l.text.empty(); });
  return lines;
}

std::string Name(const std::string& line) { return com::ToLower(line.substr(0, line.find_first_of(";:"))); }

}  // namespace

int IcalSource::LineOf(size_t event, std::string_view name, std::string_view containing) const {
  for (size_t i = events[event].begin + 1; i < events[event].end; ++i) {
    const std::string& t = lines[i].text;
    if (Name(t) == "begin") break;  // an alarm or another part of it
    if (com::EqualsNoCase(Name(t), name) && (containing.empty() || t.find(containing) != std::string::npos)) {
      return lines[i].number;
    }
  }
  return EventLine(event);
}

IcalSource ReadIcalSource(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Refused("cannot read " + path);
  std::stringstream buf;
  buf << in.rdbuf();
  return ParseIcalSource(buf.str(), path);
}

IcalSource ParseIcalSource(std::string text, const std::string& path) {
  IcalSource src;
  src.text = std::move(text);
  if (src.text.rfind("\xEF\xBB\xBF", 0) == 0) src.text.erase(0, 3);
  if (src.text.find('\0') != std::string::npos) Refuse(path, 1, "the file holds a NUL byte: it is no text");
  src.lines = Unfold(path, src.text);
  if (src.lines.empty()) Refuse(path, 1, "the file is empty");
  std::vector<std::pair<std::string, size_t>> open;
  for (size_t i = 0; i < src.lines.size(); ++i) {
    const IcalSource::Line& l = src.lines[i];
    const size_t colon = l.text.find(':');
    if (colon == std::string::npos || colon == 0) Refuse(path, l.number, "not a \"NAME:value\" line");
    const std::string name = Name(l.text);
    if (name.empty()) Refuse(path, l.number, "not a \"NAME:value\" line");
    for (char c : name) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') Refuse(path, l.number, "bad property name");
    }
    const std::string value = com::ToLower(com::Trim(l.text.substr(colon + 1)));
    if (open.empty() && !(name == "begin" && value == "vcalendar")) {
      Refuse(path, l.number, "a calendar file holds BEGIN:VCALENDAR ... END:VCALENDAR and nothing outside");
    }
    if (name == "begin") {
      if (value == "vevent" && open.size() == 1) src.events.push_back({i, 0});
      open.emplace_back(value, i);
    } else if (name == "end") {
      if (open.back().first != value) Refuse(path, l.number, "END:" + value + " closes nothing open");
      if (value == "vevent" && open.size() == 2) src.events.back().end = i;
      open.pop_back();
    }
  }
  if (!open.empty()) {
    Refuse(path, src.lines[open.back().second].number, "BEGIN:" + open.back().first + " is never closed");
  }
  return src;
}

}  // namespace ical
