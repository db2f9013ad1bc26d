// The deletion pass: carries deletions made in the Global Calendar over to the Local Calendar.
#include "addin/quorvane_class.h"
#include "platform/com/text.h"
#include "sync/prompt_delete_form.h"

namespace quorvane {

void QuorvaneClass::oCheckLocVsGlbDels() {
  const std::string P = "oCheckLocVsGlbDels - ";
  com::ResumeNext run(Err, [this](const com::ErrObject& e) {
    Trace("Error (" + std::to_string(e.Number()) + ") \r\n Detected in oCheckLocVsGlbDels\r\n" + e.Description());
  });
  auto foldersGone = [&] { return oGlobalCalendar.IsNothing() || oLocalCalendar.IsNothing(); };
  // The local pass leaves an original whose global copy is gone to this prompt when both
  // directions are kept and the user is still asked. Only an original that a pass has flagged
  // has had a copy there; its flag is read as it stands, so one never flagged stays so.
  auto originalLeftToAsk = [&](const Appt& original) {
    if (UpdBoth != 1 || PromptDelete == 1) return false;
    bool flagged = false;
    run([&] {
      auto flag = original->UserProperties()->Find("HasBeenProcessedQZT");
      flagged = !flag.IsNothing() && com::Trim(flag->Value().ToString()) == "True";
    });
    return flagged;
  };
  auto finish = [&] {
    bIgnoreItemAdd = true;
    Trace(P, "Exiting Function");
    Trace(" ");
    bBusy = false;
  };

  Trace(P, "Start of Function");
  if (com::Trim(GlobalCalEntryID).empty() || com::Trim(LocalCalEntryID).empty()) {
    bBusy = false;
    return;
  }
  if (bBusy) return;
  bBusy = true;
  if (bShuttingDown) {
    bBusy = false;
    return;
  }
  if (WentOffline(P)) return;
  if (foldersGone()) {
    MsgBox("You have the Orbitra COM Add-in loaded but you have no Local Calendar defined.  You may wish to set the "
           "properties for the COM Add-in.",
           win32::vbInformation, "Orbitra COM Add-in");
    return finish();
  }

  const auto [first, last] = WindowDates();
  com::Ref<outlook::Items> level1, items;
  Trace(P, "Setting Restriction Level 1");
  const std::string filter1 = "[End] < \"" + last + "\" Or [Recurrence] <> \"(none)\"";
  Trace(P, "(", filter1, ")");
  run([&] { level1 = oLocalCalendar->Items()->Restrict(filter1); });
  Trace(P, "Restrictions Applied");
  Trace(P, "Check objRestrictItems");
  if (level1.IsNothing()) {
    Trace(P, "No Appointments Match Start Criteria");
  } else {
    Trace(P, "Setting Restriction Level 2");
    run([&] { items = level1->Restrict("[End] > \"" + first + "\" Or [Recurrence] <> \"(none)\""); });
    if (items.IsNothing()) Trace(P, "No Appointments Match End Criteria");
  }

  if (!items.IsNothing()) {
    Trace(P, "Sorting Appointments");
    run([&] { items->Sort("[Start]"); });
    run([&] { Trace(P + "Object Count = [" + std::to_string(items->Count()) + "]"); });
    std::string sLastEntryId;
    iSameEntryIdCount = 0;
    Appt item;
    run([&] { item = items->GetFirst(); });
    for (; !item.IsNothing();) {
      if (foldersGone() || bShuttingDown) {
        bBusy = false;
        return;
      }
      if (WentOffline(P)) return;
      bool bDeleteFound = false;
      bIgnoreItemAdd = true;
      std::string subject, body5, entryId;
      run([&] { subject = com::Trim(item->Subject()); });
      run([&] { body5 = com::Left(com::Trim(item->Body()), 5); });
      run([&] { entryId = item->EntryID(); });
      auto traceItem = [&] {
        Trace(P, "Appointment [", subject, "]");
        run([&] { TraceValue(P + "Start [", item->Start()); });
        run([&] { TraceValue(P + "End [", item->End()); });
      };
      bool keptByOwnLink = false;  // never linked, or the original itself
      bool deleted = false;
      if (entryId != sLastEntryId) {
        iSameEntryIdCount = 0;
        sLastEntryId = entryId;
        if (body5 == "[DEL]") bDeleteFound = true;
        int sensitivity = 0;
        run([&] { sensitivity = item->Sensitivity(); });
        if (sensitivity != 0) {
          if (bDeleteFound) run([&] { item->Delete(), deleted = true; });
        } else {
          if (foldersGone()) {
            bBusy = false;
            return;
          }
          if (bShuttingDown) return;
          if (WentOffline(P)) return;
          Trace(" ");
          Trace(P, "Processing Appointment");
          traceItem();

          // Kept: never linked, the original itself (unless it is left here to be asked about), or
          // its global appointment is still there.
          bool keep = false;
          bool askAboutOriginal = false;
          if (fnCheckForBlankOrigEntryId(item)) {
            keep = keptByOwnLink = true;
          } else if (fnCheckForLocalMaster(item)) {
            keptByOwnLink = true;
            askAboutOriginal = originalLeftToAsk(item);
            keep = !askAboutOriginal;
          }
          if (!keep) {
            Appt match = fnGetGlobalMatchByOrigEntryId(item);
            if (Err.Pending()) {
              bBusy = false;
              return;  // a lookup that fails deletes nothing
            }
            keep = !match.IsNothing();
          }
          // Gone from the Global Calendar: deleted there, so here too, once it has been through a
          // pass before; asked first unless the user chose not to be asked.
          if (!keep && (askAboutOriginal || fnGetHasBeenProcessed(item))) {
            if (PromptDelete == 1) {
              bDeleteFound = true;
            } else {
              PromptDeleteForm dlgPromptDel;
              dlgPromptDel.oAdminDLL = shared_from_this();
              dlgPromptDel.oCalAdmCls = shared_from_this();
              dlgPromptDel.PromptDelete = PromptDelete;
              dlgPromptDel.strPrompt = "Appointment (" + subject +
                                       ")\r\nHas been removed from the Global Calendar\r\nDo you want to remove from "
                                       "your Local Calendar?";
              // A prompt closed without its buttons must not reuse the answer to an earlier one.
              iPromptDeleteRetVal = 0;
              dlgPromptDel.Load();
              ShowModal(dlgPromptDel);
              if (iPromptDeleteRetVal == 6) bDeleteFound = true;
            }
          }
          if (bDeleteFound) run([&] { item->Delete(), deleted = true; });
        }
      } else {
        if (++iSameEntryIdCount > 2) {
          fnPostError("Error Detected processing Local Calendar Item.\r\nSame EntryId Returned Multiple Times"
                      "Subject = [" + subject + "]\r\nEntryID = [" + entryId + "]");
          bBusy = false;
          return;
        }
        Trace(" ");
        Trace(P, "Processing Appointment");
        Trace(P, "Duplicate Encountered Try Again");
        traceItem();
        Trace(P, "LocCurEntryId [", entryId, "]");
        Trace(P, "LocLstEntryId [", sLastEntryId, "]");
        Trace(" ");
      }

      if (bShuttingDown) return;
      if (WentOffline(P)) return;
      // Appointments kept because they were never linked, or are the originals, are not
      // flagged here: the local pass takes a flagged one with no global counterpart for one
      // deleted globally, and would delete it before it was ever copied.
      // A deleted appointment has nothing left to flag: trying would report a failure for a
      // deletion that succeeded.
      if (!keptByOwnLink && !deleted) fnSetHasBeenProcessedTrue(item);
      if (bShuttingDown) return;
      if (WentOffline(P)) return;
      Appt next;
      run([&] { next = items->GetNext(); });
      item = next;
    }
  }
  items.Release();
  level1.Release();
  finish();
}

}  // namespace quorvane
