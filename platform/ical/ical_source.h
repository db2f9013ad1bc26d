#pragma once
// A calendar file's text as libical reads it, with the lines it came from: the file is checked
// here only so that a fault can be named by its line.
#include <string>
#include <string_view>
#include <vector>

namespace ical {

struct IcalSource {
  struct Line {
    int number;        // where it begins in the file
    std::string text;  // unfolded, as libical sees it
  };
  struct Event {
    size_t begin, end;  // its BEGIN and END among lines
  };

  std::string text;  // what libical is given: the file without its byte-order mark
  std::vector<Line> lines;
  std::vector<Event> events;  // every VEVENT of every VCALENDAR, in file order

  int EventLine(size_t event) const { return lines[events[event].begin].number; }
  // The first line of the event (overrides of it not included) with that property name and,
  // when given, that text after the name; the event's own line when there is none.
  int LineOf(size_t event, std::string_view name, std::string_view containing = {}) const;
};

// Throws Refused naming the line of the first fault: text that is not UTF-8, a line that is
// no property, components that do not nest.
IcalSource ReadIcalSource(const std::string& path);
// The same for a text at hand; path names where it came from in the reasons.
IcalSource ParseIcalSource(std::string text, const std::string& path);

}  // namespace ical
