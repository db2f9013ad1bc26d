// Carrying an appointment into the other calendar, as a new copy or in place of its
// counterpart.
#include "addin/quorvane_class.h"
#include "platform/outlook/outlook_enums.h"

namespace quorvane {

namespace {

// A copy of item, already flagged processed. Flagged later, in the other calendar, the save
// would make the copy look newer than an edit made meanwhile on the far side, and the next
// pass would put the old text back.
QuorvaneClass::Appt FlaggedCopy(const QuorvaneClass::Appt& item) {
  QuorvaneClass::Appt copy = item->Copy();
  com::ErrObject flagging;  // a copy without the flag is still a good copy
  flagging.Try([&] {
    auto flag = copy->UserProperties()->Find("HasBeenProcessedQZT");
    if (flag.IsNothing()) flag = copy->UserProperties()->Add("HasBeenProcessedQZT", outlook::olText, true);
    if (flag->Value().ToString() == "True") return;
    flag->SetValue("True");
    copy->Save();
  });
  return copy;
}

}  // namespace

bool QuorvaneClass::CopyToFolder(const Appt& item, const Folder& destination) {
  Err.Clear();
  bIgnoreItemAdd = false;
  Appt copy;
  Err.Try([&] { copy = FlaggedCopy(item); });
  Err.Try([&] { copy->Move(destination); });
  if (!Err.Pending()) return true;
  // The copy stayed beside its source: take it away again, keeping the move's error.
  com::ErrObject cleanup;
  if (!copy.IsNothing()) cleanup.Try([&] { copy->Delete(); });
  return false;
}

bool QuorvaneClass::ReplaceInFolder(const Appt& item, const Appt& counterpart, const Folder& destination) {
  Err.Clear();
  bIgnoreItemAdd = false;
  if (destination == oLocalCalendar) {
    // Cut off between two steps (a lost connection, a crash), copy first would leave both
    // here for good. Deleted first, the appointment is only missing until the next global
    // pass copies it again from the Global Calendar, where it stays.
    if (!Err.Try([&] { counterpart->Delete(); })) return false;
    return CopyToFolder(item, destination);
  }
  // Into the Global Calendar the copy goes first: a local appointment whose global
  // counterpart is gone is taken for one deleted there.
  Appt copy, placed;
  Err.Try([&] { copy = FlaggedCopy(item); });
  Err.Try([&] { placed = copy->Move(destination); });
  if (Err.Pending()) {
    com::ErrObject cleanup;
    if (!copy.IsNothing()) cleanup.Try([&] { copy->Delete(); });
    return false;  // the counterpart is untouched
  }
  if (Err.Try([&] { counterpart->Delete(); })) return true;
  // The old one will not go: withdraw the new one, so the appointment is not there twice.
  com::ErrObject cleanup;
  cleanup.Try([&] { placed->Delete(); });
  return false;
}

}  // namespace quorvane
