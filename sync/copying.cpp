// Carrying an appointment into the other calendar, as a new copy or in place of its
// counterpart.
#include "addin/quorvane_class.h"

namespace quorvane {

bool QuorvaneClass::CopyToFolder(const Appt& item, const Folder& destination) {
  Err.Clear();
  bIgnoreItemAdd = false;
  Appt copy;
  Err.Try([&] { copy = item->Copy(); });
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
  Appt copy, placed;
  Err.Try([&] { copy = item->Copy(); });
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
