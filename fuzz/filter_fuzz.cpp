// Restrict's filter texts on arbitrary text, run against a real store as the passes run them:
// a first restriction and, after a line break in the input, a second one on its result.
// Only the store's own errors may come out, and a restricted collection must count the items
// its walk visits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/scratch_store.h"
#include "platform/com/com_error.h"
#include "platform/outlook/folder.h"
#include "platform/outlook/items.h"
#include "platform/outlook/outlook_enums.h"

namespace {

// A few appointments for the filters to match: a plain one, a linked copy and a series.
void AddItems(fuzzing::ScratchStore& s) {
  auto add = [&](const std::string& subject, int day, int hours) {
    auto item = s.app->CreateItem(1);
    item->SetSubject(subject);
    item->SetStart(com::Date::FromParts(2026, 3, day, 9, 0, 0));
    item->SetEnd(com::Date::FromParts(2026, 3, day, 9 + hours, 0, 0));
    item->Save();
    return item;
  };
  auto plain = add("Planning", 11, 1);
  auto copy = add("Planning", 11, 1);
  copy->UserProperties()->Add("OrigEntryId", outlook::olText, true)->SetValue(plain->EntryID());
  copy->UserProperties()->Add("HasBeenProcessedQZT", outlook::olText, true)->SetValue("True");
  copy->Save();
  auto series = add("Stand-up", 9, 2);
  auto pattern = series->GetRecurrencePattern();
  pattern->SetRecurrenceType(outlook::olRecursWeekly);
  pattern->SetDayOfWeekMask(2);
  series->Save();
}

fuzzing::ScratchStore& Store() {
  static fuzzing::ScratchStore& s = [] () -> fuzzing::ScratchStore& {
    fuzzing::ScratchStore& store = fuzzing::TheStore();
    AddItems(store);
    return store;
  }();
  return s;
}

void CheckCountMatchesWalk(const com::Ref<outlook::Items>& items, const std::string& text) {
  const int count = items->Count();
  int walked = 0;
  for (auto item = items->GetFirst(); item; item = items->GetNext()) ++walked;
  if (count != walked) {
    std::fprintf(stderr, "Count %d but the walk visits %d for:\n%s\n", count, walked, text.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const size_t lineBreak = text.find('\n');
  fuzzing::ScratchStore& s = Store();
  try {
    auto items = s.calendar->Items()->Restrict(text.substr(0, lineBreak));
    CheckCountMatchesWalk(items, text);
    if (lineBreak != std::string::npos) {
      items = items->Restrict(text.substr(lineBreak + 1));
      CheckCountMatchesWalk(items, text);
    }
  } catch (const com::ComError&) {
  }
  return 0;
}
