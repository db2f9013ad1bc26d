#include "host/appt_editor_form.h"

#include "host/appt_options.h"
#include "platform/com/com_error.h"
#include "platform/outlook/items.h"
#include "platform/outlook/outlook_enums.h"

namespace host {
namespace {

// The repeat choices and the --recur word of each; monthnth and yearnth show as their kind.
const std::vector<std::pair<std::string, std::string>> kRepeats = {
    {"(none)", ""}, {"Daily", "daily"}, {"Weekly", "weekly"}, {"Monthly", "monthly"}, {"Yearly", "yearly"}};

std::string RepeatOf(outlook::AppointmentItem& item) {
  if (!item.IsRecurring()) return "(none)";
  switch (item.GetRecurrencePattern()->RecurrenceType()) {
    case outlook::olRecursDaily: return "Daily";
    case outlook::olRecursWeekly: return "Weekly";
    case outlook::olRecursMonthly:
    case outlook::olRecursMonthNth: return "Monthly";
    default: return "Yearly";
  }
}

std::string DayText(com::Date d) { return IsoText(d).substr(0, 10); }

}  // namespace

ApptEditorForm::ApptEditorForm(Session& session, com::Ref<outlook::MAPIFolder> folder,
                               com::Ref<outlook::AppointmentItem> item, com::Date start)
    : Form("frmAppointment", item ? "Appointment" : "New Appointment"),
      session_(session),
      folder_(std::move(folder)),
      item_(std::move(item)),
      start_(start) {
  using forms::Twips;
  SetClientSize(6735, 6060);
  Add("Label", "lblSubject", "&Subject:", Twips{120, 150, 1095, 255});
  Add("TextBox", "txtSubject", "", Twips{1320, 120, 5295, 285});
  Add("Label", "lblLocation", "&Location:", Twips{120, 570, 1095, 255});
  Add("TextBox", "txtLocation", "", Twips{1320, 540, 5295, 285});
  Add("Label", "lblStart", "S&tart:", Twips{120, 990, 1095, 255});
  Add("TextBox", "txtStart", "", Twips{1320, 960, 2055, 285});
  Add("Label", "lblEnd", "&End:", Twips{3600, 990, 495, 255});
  Add("TextBox", "txtEnd", "", Twips{4200, 960, 2415, 285});
  Add("CheckBox", "chkAllDay", "&All day event", Twips{1320, 1380, 1695, 255});
  Add("CheckBox", "chkPrivate", "&Private", Twips{3600, 1380, 1335, 255});
  Add("Label", "lblCategories", "&Categories:", Twips{120, 1830, 1095, 255});
  Add("TextBox", "txtCategories", "", Twips{1320, 1800, 5295, 285});
  Add("Label", "lblRepeat", "&Repeats:", Twips{120, 2250, 1095, 255});
  forms::Control& repeat = Add("ComboBox", "cboRepeat", "(none)", Twips{1320, 2220, 1695, 315});
  repeat.editable = false;
  for (const auto& [text, word] : kRepeats) repeat.items.push_back(text);
  Add("Label", "lblUntil", "&Until:", Twips{3600, 2250, 495, 255});
  Add("TextBox", "txtUntil", "", Twips{4200, 2220, 1455, 285});
  Add("Label", "lblBody", "Notes:", Twips{120, 2700, 1095, 255});
  Add("TextBox", "txtBody", "", Twips{120, 2940, 6495, 2415}).multiLine = true;
  forms::Control& save = Add("CommandButton", "cmdSave", "Save", Twips{4080, 5520, 1215, 375});
  save.isDefault = true;
  save.click = [this] { Save(); };
  forms::Control& cancel = Add("CommandButton", "cmdCancel", "Cancel", Twips{5400, 5520, 1215, 375});
  cancel.isCancel = true;
  cancel.click = [this] { Unload(); };
}

void ApptEditorForm::OnLoad() {
  if (!item_) {
    (*this)["txtStart"].caption = IsoText(start_);
    (*this)["txtEnd"].caption = IsoText(com::Date::FromUnixMillis(start_.UnixMillis() + 3600 * 1000));
    return;
  }
  outlook::AppointmentItem& item = *item_;
  SetCaption(item.Subject() + " - Appointment");
  (*this)["txtSubject"].caption = item.Subject();
  (*this)["txtLocation"].caption = item.Location();
  (*this)["txtCategories"].caption = item.GetField(outlook::ApptField::Categories).ToString();
  (*this)["txtBody"].caption = item.Body();
  const bool allDay = item.AllDayEvent();
  (*this)["chkAllDay"].value = allDay ? 1 : 0;
  (*this)["chkPrivate"].value = item.Sensitivity() == outlook::olPrivate ? 1 : 0;
  // Whole days show as the first and the last day.
  (*this)["txtStart"].caption = allDay ? DayText(item.Start()) : IsoText(item.Start());
  (*this)["txtEnd"].caption = allDay ? DayText(item.End().AddDays(-1)) : IsoText(item.End());
  (*this)["cboRepeat"].caption = RepeatOf(item);
  if (item.IsRecurring() && !item.GetRecurrencePattern()->NoEndDate()) {
    (*this)["txtUntil"].caption = DayText(item.GetRecurrencePattern()->PatternEndDate());
  }
}

std::vector<std::string> ApptEditorForm::Words() {
  auto text = [this](const char* name) { return (*this)[name].caption; };
  std::vector<std::string> w = {"--subject", text("txtSubject"), "--location", text("txtLocation"),
                                "--categories", text("txtCategories"), "--body", text("txtBody")};
  const bool allDay = (*this)["chkAllDay"].value != 0;
  auto when = [&](const std::string& t) { return allDay ? t.substr(0, 10) : t; };
  w.insert(w.end(), {"--start", when(text("txtStart")), "--end", when(text("txtEnd"))});
  if (allDay) w.push_back("--all-day");
  const bool wasPrivate = item_ && item_->Sensitivity() == outlook::olPrivate;
  const bool isPrivate = (*this)["chkPrivate"].value != 0;
  if (isPrivate != wasPrivate) w.insert(w.end(), {"--sensitivity", isPrivate ? "2" : "0"});
  // The pattern is written only when the repeat or its end changed: a pattern this window
  // does not show in full (every second week, say) stays as it is.
  const std::string repeat = text("cboRepeat");
  const bool changed = !item_ || repeat != RepeatOf(*item_) || !text("txtUntil").empty();
  for (const auto& [shown, word] : kRepeats) {
    if (shown != repeat || word.empty() || !changed) continue;
    w.insert(w.end(), {"--recur", word});
    if (!text("txtUntil").empty()) w.insert(w.end(), {"--until", text("txtUntil")});
  }
  return w;
}

void ApptEditorForm::Save() {
  try {
    const ApptOptions options = ApptOptions::Parse(Words());
    if (!item_) {
      // As 'appt add': made in the default calendar, then moved where it belongs.
      auto item = session_.application()->CreateItem(1);
      options.ApplyTo(*item);
      item->Save();
      if (folder_ && folder_->EntryID() != item->Parent()->EntryID()) {
        try {
          item = item->Move(folder_);
        } catch (const com::ComError&) {
          item->Delete();
          throw;
        }
      }
      item_ = item;
    } else {
      options.ApplyTo(*item_);
      if ((*this)["cboRepeat"].caption == "(none)" && item_->IsRecurring()) item_->ClearRecurrencePattern();
      item_->Save();
    }
    session_.ns().Settle();
  } catch (const com::ComError& e) {
    session_.env().ui.MessageBox("The appointment was not saved: " + e.description(), caption(),
                                 win32::vbOKOnly | win32::vbExclamation);
    return;
  } catch (const std::exception& e) {
    session_.env().ui.MessageBox("The appointment was not saved: " + std::string(e.what()), caption(),
                                 win32::vbOKOnly | win32::vbExclamation);
    return;
  }
  saved_ = true;
  entryId_ = item_->EntryID();
  Unload();
}

}  // namespace host
