#include "tests/support/print_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace testing_support {

PrintFixture::PrintFixture()
    : registry(dir / "registry.reg"), env{registry, ui, clock, loop, dir / "WINDOWS"} {
  auto first = std::make_unique<printer::RecordingPrinter>("Office Laser");
  auto second = std::make_unique<printer::RecordingPrinter>("Quorvane PDF");
  other = first.get();
  printer = second.get();
  printers.Add(std::move(first));
  printers.Add(std::move(second), true);
}

std::shared_ptr<quorvane::PrintCalForm> PrintFixture::OpenDialog() {
  dialog = std::make_shared<quorvane::PrintCalForm>(env, printers);
  dialog->oprefGlobalCalendar = kGlobalPath;
  dialog->oprefLocalCalendar = kLocalPath;
  dialog->oGlobalCalendar = team;
  dialog->oLocalCalendar = calendar;
  dialog->Load();
  return dialog;
}

void PrintFixture::PrintRange(const std::string& start, const std::optional<std::string>& end, const std::string& days,
                              const std::string& calendar) {
  OpenDialog();
  ASSERT_TRUE(dialog->Select("Calendar1", start));
  ASSERT_TRUE(dialog->Select("Combo2", days));
  if (end) {
    ASSERT_TRUE(dialog->Select("Calendar2", *end));
  }
  dialog->Type("Combo3", calendar);
  dialog->Click("OKButton");
}

com::Ref<outlook::AppointmentItem> PrintFixture::Add(const std::string& subject, const std::string& location,
                                                     com::Date start, int minutes) {
  auto item = AddAppt(calendar, subject, start, com::Date(start.serial() + minutes / 1440.0));
  item->SetLocation(location);
  item->Save();
  return item;
}

com::Ref<outlook::AppointmentItem> PrintFixture::AddSeries(const std::string& subject, com::Date start, int type,
                                                           int mask, std::optional<com::Date> patternEnd) {
  auto item = Add(subject, "Room 1", start);
  auto pattern = item->GetRecurrencePattern();
  pattern->SetRecurrenceType(type);
  pattern->SetInterval(1);
  if (mask) pattern->SetDayOfWeekMask(mask);
  pattern->SetPatternStartDate(start.DateOnly());
  if (patternEnd) {
    pattern->SetNoEndDate(false);
    pattern->SetPatternEndDate(*patternEnd);
  }
  item->Save();
  return item;
}

std::string PrintFixture::PrintedAt(const std::string& text) const {
  for (const auto& op : printer->operations) {
    if (op.rfind("Print (", 0) != 0) continue;
    const size_t close = op.find(") ");
    if (op.substr(close + 2) == text) return op.substr(6, close - 5);
  }
  return "";
}

std::vector<std::string> PrintFixture::PrintedStartingWith(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& op : printer->operations) {
    if (op.rfind("Print (", 0) != 0) continue;
    const std::string text = op.substr(op.find(") ") + 2);
    if (text.rfind(prefix, 0) == 0) out.push_back(text);
  }
  return out;
}

std::vector<std::string> PrintFixture::BoxTexts() const {
  std::vector<std::string> out;
  for (const auto& b : ui.shown) out.push_back(b.text);
  return out;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

void ExpectGolden(const std::string& name, const std::string& text) {
  const std::string path = std::string(QUORVANE_SOURCE_DIR) + "/tests/fixtures/" + name;
  const char* update = std::getenv("QUORVANE_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") WriteFile(path, text);
  ASSERT_TRUE(std::filesystem::exists(path)) << path << " is missing (QUORVANE_UPDATE_GOLDEN=1 writes it)";
  const std::string golden = ReadFile(path);
  if (golden == text) return;
  // The first line that differs says more than two pages of text.
  size_t at = 0, line = 1;
  while (at < golden.size() && at < text.size() && golden[at] == text[at]) line += golden[at++] == '\n';
  auto lineAt = [](const std::string& s, size_t pos) {
    const size_t begin = s.rfind('\n', pos == 0 ? 0 : pos - 1);
    const size_t from = begin == std::string::npos || pos == 0 ? 0 : begin + 1;
    return s.substr(from, s.find('\n', from) - from);
  };
  ADD_FAILURE() << path << " differs at line " << line << ":\n  golden: " << lineAt(golden, at)
                << "\n  now:    " << lineAt(text, at);
}

}  // namespace testing_support
