// New appointments arriving in either calendar are linked to themselves at once.
#include "addin/quorvane_class.h"
#include "platform/outlook/outlook_enums.h"

namespace quorvane {

namespace {

// Gives the item its own EntryID as OrigEntryId; false with the error pending on failure.
bool StampItself(com::ErrObject& err, const QuorvaneClass::Appt& item) {
  return err.Try([&] {
    auto link = item->UserProperties()->Find("OrigEntryId");
    if (link.IsNothing()) {
      link = item->UserProperties()->Add("OrigEntryId", outlook::olText, true);
      if (link.IsNothing()) return;
    }
    link->SetValue(item->EntryID());
    item->Save();
  });
}

}  // namespace

void QuorvaneClass::oLocalItems_ItemAdd(const Appt& item) {
  if (bIgnoreItemAdd) return;
  com::ErrObject err;
  int itemClass = 0;
  bool ok = err.Try([&] { itemClass = item->Class(); });
  if (ok && itemClass != outlook::olAppointment) return;
  if (ok && StampItself(err, item)) {
    fnSetHasBeenProcessedFalse(item);
    return;
  }
  fnPostError("An Error was encountered in oLocalItems_ItemAdd!\r\nError No: (" + std::to_string(err.Number()) +
              ")\r\nError Desc: " + err.Description());
  PostSubjectAndStart(item);
}

void QuorvaneClass::oGlobalItems_ItemAdd(const Appt& item) {
  if (bIgnoreItemAdd) return;
  com::ErrObject err;
  int itemClass = 0;
  bool ok = err.Try([&] { itemClass = item->Class(); });
  if (ok && itemClass != outlook::olAppointment) return;
  if (ok && StampItself(err, item)) return;
  fnPostError("An Error was encountered in oGlobalItems_ItemAdd!\r\nError No: (" + std::to_string(err.Number()) +
              ")\r\nError Desc: " + err.Description());
  PostSubjectAndStart(item);
}

void QuorvaneClass::oLocalItems_ItemChange(const Appt&) {}

void QuorvaneClass::oGlobalItems_ItemChange(const Appt&) {}

void QuorvaneClass::SetLocalItems(com::Ref<outlook::Items> items) {
  localItemAdd_.Reset();
  localItemChange_.Reset();
  oLocalItems = std::move(items);
  if (oLocalItems.IsNothing()) return;
  localItemAdd_ = oLocalItems->OnItemAdd([this](const Appt& item) { oLocalItems_ItemAdd(item); });
  localItemChange_ = oLocalItems->OnItemChange([this](const Appt& item) { oLocalItems_ItemChange(item); });
}

void QuorvaneClass::SetGlobalItems(com::Ref<outlook::Items> items) {
  globalItemAdd_.Reset();
  globalItemChange_.Reset();
  oGlobalItems = std::move(items);
  if (oGlobalItems.IsNothing()) return;
  globalItemAdd_ = oGlobalItems->OnItemAdd([this](const Appt& item) { oGlobalItems_ItemAdd(item); });
  globalItemChange_ = oGlobalItems->OnItemChange([this](const Appt& item) { oGlobalItems_ItemChange(item); });
}

}  // namespace quorvane
