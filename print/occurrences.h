#pragma once
// The days on which a recurring appointment really takes place within a range, from its
// pattern: never before the pattern starts or after it ends, and only on the pattern's own days.
#include <vector>

#include "platform/com/date.h"

namespace quorvane {

struct PatternFacts {
  int type = 0;  // OlRecurrenceType
  int interval = 1;
  int dayOfWeekMask = 0;
  int dayOfMonth = 0;
  int monthOfYear = 0;
  com::Date patternStart{};  // the first day of the series
  bool noEndDate = true;
  com::Date patternEnd{};
};

bool OccursOn(const PatternFacts& pattern, com::Date day);
// Every day from first to last (whole dates) on which the series takes place, in order.
std::vector<com::Date> OccurrenceDays(const PatternFacts& pattern, com::Date first, com::Date last);

}  // namespace quorvane
