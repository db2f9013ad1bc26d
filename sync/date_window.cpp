// The date window that every pass walks, and the checks every pass makes between its steps.
#include "addin/quorvane_class.h"
#include "platform/win32/locale.h"

namespace quorvane {

std::pair<std::string, std::string> QuorvaneClass::WindowDates() const {
  const com::Date today = env_.clock.Now().DateOnly();
  const win32::Locale& locale = win32::Locale::Current();
  return {locale.Format(today.AddDays(-1), "Short Date"), locale.Format(today.AddDays(NoOfDays), "Short Date")};
}

bool QuorvaneClass::WentOffline(const std::string& prefix) {
  if (fnIsFolderOnline(oGlobalCalendar)) return false;
  Trace(prefix, "Exchange Offline Exiting Function");
  bBusy = false;
  return true;
}

std::function<void(const com::ErrObject&)> QuorvaneClass::PassErrorHandler(const std::string& pass) {
  return [this, pass](const com::ErrObject& e) {
    fnPostError("Error (" + std::to_string(e.Number()) + ") \r\n Detected in " + pass + " - Exiting Function\r\n" +
                e.Description());
  };
}

com::Ref<outlook::Items> QuorvaneClass::WindowedItems(const Folder& folder, bool trailingBlank,
                                                      const std::function<void(const std::function<void()>&)>& run) {
  // From the start of yesterday to the start of the day NoOfDays ahead, plus every series.
  const auto [first, last] = WindowDates();
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
