// The date window that every pass walks.
#include "addin/quorvane_class.h"
#include "platform/win32/locale.h"

namespace quorvane {

com::Ref<outlook::Items> QuorvaneClass::WindowedItems(const Folder& folder, bool trailingBlank,
                                                      const std::function<void(const std::function<void()>&)>& run) {
  // From the start of yesterday to the start of the day NoOfDays ahead, plus every series.
  const com::Date today = env_.clock.Now().DateOnly();
  const win32::Locale& locale = win32::Locale::Current();
  const std::string first = locale.Format(today.AddDays(-1), "Short Date");
  const std::string last = locale.Format(today.AddDays(NoOfDays), "Short Date");
  const std::string recurring = std::string(" Or [Recurrence] <> \"(none)\"") + (trailingBlank ? " " : "");
  com::Ref<outlook::Items> level1, level2;
  run([&] { level1 = folder->Items()->Restrict("[End] < \"" + last + "\"" + recurring); });
  if (level1.IsNothing()) return nullptr;
  run([&] { level2 = level1->Restrict("[End] > \"" + first + "\"" + recurring); });
  if (level2.IsNothing()) return nullptr;
  run([&] { level2->Sort("[Start]"); });
  return level2;
}

}  // namespace quorvane
