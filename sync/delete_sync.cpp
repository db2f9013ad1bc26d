// Deleting selected appointments together with their counterparts, and the delete prompt's
// way back into the add-in.
#include "addin/quorvane_class.h"
#include "platform/com/text.h"

namespace quorvane {

void QuorvaneClass::oSyncDeleteBHandler_Click(const com::ObjectPtr&, bool*) {
  const std::string P = "oSyncDeleteBHandler - ";
  com::ErrObject err;  // every failing step is skipped, nothing reported
  Trace(P, "Start of Function");
  com::Ref<outlook::Explorer> explorer;
  com::Ref<outlook::Selection> selection;
  Folder current;
  err.Try([&] { explorer = oApplication->ActiveExplorer(); });
  err.Try([&] { selection = explorer->Selection(); });
  err.Try([&] { current = explorer->CurrentFolder(); });
  if (com::Trim(GlobalCalEntryID).empty() || com::Trim(LocalCalEntryID).empty()) {
    Trace(P, "GlobalCalendarEntryId or LocalCalEntryId is Blank, Exiting Function");
    return;
  }
  int count = 0;
  err.Try([&] { count = selection->Count(); });
  if (count < 1) {
    Trace(P, "oSel.Count < 1, Exiting Function");
    return;
  }
  std::string folderId;
  err.Try([&] { folderId = current->EntryID(); });
  bool local = false, global = false;
  if (folderId == LocalCalEntryID) {
    local = true;
    Trace(P, "Processing Local Calendar Delete");
  }
  if (folderId == GlobalCalEntryID) {
    local = false, global = true;
    Trace(P, "Processing Global Calendar Delete");
  }
  if (!local && !global) return;
  // The selection changes as its items go: take the list first.
  std::vector<Appt> chosen;
  for (int i = 1; i <= count; ++i) err.Try([&] { chosen.push_back(selection->Item(i)); });
  for (const Appt& item : chosen) {
    if (UpdBoth != 1 && UpdGlobalOnly != 1 && UpdLocalOnly != 1) continue;
    if (local) SyncDeleteFromGlobal(item);
    else SyncDeleteFromLocal(item);
    err.Try([&] { item->Delete(); });
  }
  Trace(P, "Exiting Function");
}

namespace {
bool IsPlainAppointment(const QuorvaneClass::Appt& item) {
  com::ErrObject err;
  std::string messageClass;
  err.Try([&] { messageClass = item->MessageClass(); });
  return messageClass == "IPM.Appointment";  // custom forms' classes are left alone too
}
}  // namespace

void QuorvaneClass::SyncDeleteFromGlobal(const Appt& item) {
  if (!IsPlainAppointment(item)) return;
  Appt match = fnGetGlobalMatchByOrigEntryId(item);
  if (!Err.Pending() && !match.IsNothing()) Err.Try([&] { match->Delete(); });
  Err.Clear();
}

void QuorvaneClass::SyncDeleteFromLocal(const Appt& item) {
  if (!IsPlainAppointment(item)) return;
  Appt match = fnGetLocalMatchByOrigEntryId(item);
  if (!Err.Pending() && !match.IsNothing()) Err.Try([&] { match->Delete(); });
  Err.Clear();
}

void QuorvaneClass::SetPromptDeleteRetVal(int16_t value) {
  Err.Clear();
  iPromptDeleteRetVal = value;
}

void QuorvaneClass::SetPromptDelete(int16_t value) {
  Err.Clear();
  PromptDelete = value;
  com::ErrObject err;
  if (!err.Try([&] { reg_.fnRegSetValue("PromptDelete", win32::REG_DWORD, PromptDelete); })) {
    fnPostError("Err <" + std::to_string(err.Number()) + "> detected in SetPromptDelete\r\nDesc: " + err.Description());
  }
}

}  // namespace quorvane
