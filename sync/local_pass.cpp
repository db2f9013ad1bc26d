// The local pass: brings the Global Calendar up to date with the member's Local Calendar.
#include "addin/quorvane_class.h"
#include "platform/com/text.h"

namespace quorvane {

namespace {
enum class Flow { Close, Next, Leave };
}  // namespace

void QuorvaneClass::oProcessLocalFolders() {
  const std::string P = "oProcessLocalFolders - ";
  com::ResumeNext run(Err, PassErrorHandler("oProcessLocalFolders"));

  Trace(P + "Start of Function on " + NowDateText() + "at " + NowTimeText());
  if (com::Trim(GlobalCalEntryID).empty() || com::Trim(LocalCalEntryID).empty()) {
    bBusy = false;
    return;
  }
  if (bBusy) return;
  bBusy = true;
  if (bShuttingDown) return;
  if (WentOffline(P)) return;
  if (oGlobalCalendar.IsNothing() || oLocalCalendar.IsNothing()) {
    MsgBox("You have the Orbitra COM Add-in loaded but you have no Local Calendar defined.  You may wish to set "
           "the properties for the COM Add-in.",
           win32::vbInformation, "Orbitra COM Add-in");
    bIgnoreItemAdd = true;
    Trace(P, "Exiting Function");
    bBusy = false;
    return;
  }

  com::Ref<outlook::Items> items = WindowedItems(oLocalCalendar, false, run);
  bool ended = false;
  if (!items.IsNothing()) {
    iErrorCount = 0;
    iSameEntryIdCount = 0;
    std::string sLastEntryId;
    bool bMatchFound = false;
    Appt item;
    run([&] { item = items->GetFirst(); });
    while (!item.IsNothing()) {
      bool bDeleteFound = false;
      bool blank = false;
      bool copyFailed = false;
      bool leftForPrompt = false;
      std::string subject, body5, entryId;
      auto handle = [&]() -> Flow {
        if (oGlobalCalendar.IsNothing() || oLocalCalendar.IsNothing()) {
          bBusy = false;
          return Flow::Leave;
        }
        if (bShuttingDown) return Flow::Leave;
        if (WentOffline(P)) return Flow::Leave;
        bIgnoreItemAdd = true;
        run([&] { subject = com::Trim(item->Subject()); });
        run([&] { body5 = com::Left(com::Trim(item->Body()), 5); });
        run([&] { entryId = item->EntryID(); });
        if (entryId == sLastEntryId) {
          if (++iSameEntryIdCount > 2) {
            fnPostError("Error Detected processing Local Calendar Item.\r\nSame EntryId Returned Multiple Times"
                        "Subject = [" + subject + "]\r\nEntryID = [" + entryId + "]");
            bBusy = false;
            return Flow::Leave;
          }
          return Flow::Next;
        }
        iSameEntryIdCount = 0;
        sLastEntryId = entryId;
        if (body5 == "[DEL]") bDeleteFound = true;

        int sensitivity = 0;
        run([&] { sensitivity = item->Sensitivity(); });
        if (sensitivity != 0) {
          // Private and confidential appointments never leave the Local Calendar.
          Trace(P, "Confidential Appointment Found, Skip it");
          if (bDeleteFound) {
            Trace(P, "bDeleteFound is True, Delete Appointment");
            run([&] { item->Delete(); });
          }
          return Flow::Next;
        }
        if (oGlobalCalendar.IsNothing() || oLocalCalendar.IsNothing()) {
          bBusy = false;
          return Flow::Leave;
        }
        if (bShuttingDown) return Flow::Leave;
        if (WentOffline(P)) return Flow::Leave;
        Trace(" ");
        Trace(P, "Processing Appointment");
        run([&] { Trace(P, "Appointment [", item->Subject(), "]"); });
        run([&] { TraceValue(P + "Start [", item->Start()); });
        run([&] { TraceValue(P + "End [", item->End()); });
        blank = fnCheckForBlankOrigEntryId(item);

        if (UpdBoth == 1) {
          const std::string M = P + "[Both Mode] - ";
          if (blank) {
            Err.Clear();
            Trace(M, "OrigEntryId is Blank, Match by Subject");
            fnGetGlobalMatchBySubject(item);
            if (Err.Pending()) {
              bBusy = false;
              return Flow::Leave;
            }
            Trace(M, "No Match Found");
            if (!bDeleteFound) {
              Trace(M, "Set OrigEntryId to Itself");
              if (!fnSetOrigEntryId(item, item)) {  // copied unlinked, it would come back twice
                bBusy = false;
                return Flow::Leave;
              }
              bMatchFound = false;
            } else {
              Trace(M, "bDeleteFound is True, Do Nothing it will be deleted later");
            }
            return Flow::Close;
          }
          if (bShuttingDown) return Flow::Leave;
          if (WentOffline(P)) return Flow::Leave;
          Trace(M, "OrigEntryId Not Blank, Get Match by OrigEntryId");
          Appt match = fnGetGlobalMatchByOrigEntryId(item);
          if (Err.Pending()) {
            bBusy = false;
            return Flow::Leave;
          }
          if (match.IsNothing()) {
            if (bShuttingDown) return Flow::Leave;
            if (WentOffline(P)) return Flow::Leave;
            Trace(M, "No Match Found, Get Match By Subject");
            fnGetGlobalMatchBySubject(item);
            Trace(M, "No Match Found By Subject");
            bMatchFound = false;
            return Flow::Close;
          }
          Trace(M, "Match Found by OrigEntryId");
          if (bDeleteFound) {
            Trace(M, "bDeleteFound is True, Delete Global Appt");
            run([&] { match->Delete(); });
            return Flow::Close;
          }
          bMatchFound = true;
          Trace(M, "Check for modifications using LastModificationTime");
          bool same = false;
          run([&] { same = item->LastModificationTime() == match->LastModificationTime(); });
          if (same) {
            Trace(M, "No Changes Detected using LastModificationTime");
            return Flow::Close;
          }
          if (bShuttingDown) return Flow::Leave;
          if (WentOffline(P)) return Flow::Leave;
          Trace(M, "Check Fields for Changes");
          if (!fnAppointmentsDiffer(item, match)) {
            Trace(M, "No Changes Detected");
            return Flow::Close;
          }
          Trace(M, "Changes Detected, Check which Appt is newer");
          bool newer = false;
          run([&] { newer = fnIsNewer(item, match); });
          if (!newer) {
            Trace(M, "Global Appt is newer, it will be processed during Global processing");
            return Flow::Close;
          }
          Trace(M, "Local Appt Newer, Replace Global Appt");
          if (bShuttingDown) return Flow::Leave;
          if (WentOffline(P)) return Flow::Leave;
          if (ReplaceInFolder(item, match, oGlobalCalendar)) {
            Trace(M, "Success, replacing Global Appointment");
          } else {
            Trace(M, "Error Replacing Global Appointment");
          }
          return Flow::Close;
        }
        if (UpdGlobalOnly == 1) {
          MsgBox("Cannot Update Global Calendar to Local Calendar with your current settings");
          bBusy = false;
          return Flow::Leave;
        }
        if (UpdLocalOnly == 1) {
          const std::string M = P + "[Local -> Global Mode] - ";
          if (blank) {
            Trace(M, "OrigEntryId is Blank, Get Match by Subject");
            fnGetGlobalMatchBySubject(item);
            Trace(M, "No Match By Subject");
            if (!bDeleteFound) {
              Trace(M, "Set Local OrigEntryId to Local");
              if (!fnSetOrigEntryId(item, item)) {  // copied unlinked, it would come back twice
                bBusy = false;
                return Flow::Leave;
              }
              bMatchFound = false;
            } else {
              Trace(M, "bDeleteFound is True, Delete Appointment");
            }
            return Flow::Close;
          }
          if (bShuttingDown) return Flow::Leave;
          if (WentOffline(P)) return Flow::Leave;
          Trace(M, "OrigEntryId is Not Blank, Get Match by OrigEntryId");
          Appt match = fnGetGlobalMatchByOrigEntryId(item);
          if (Err.Pending()) {
            bBusy = false;
            return Flow::Leave;
          }
          if (match.IsNothing()) {
            if (bShuttingDown) return Flow::Leave;
            if (WentOffline(P)) return Flow::Leave;
            Trace(M, "No Match by OrigEntryId, Get Match by Subject");
            fnGetGlobalMatchBySubject(item);
            Trace(M, "No Match Found By Subject");
            bMatchFound = false;
            return Flow::Close;
          }
          Trace(M, "Match Found by OrigEntryId");
          if (bDeleteFound) {
            Trace(M, "bDeleteFound is True, Delete Global Appointment");
            run([&] { match->Delete(); });
            return Flow::Close;
          }
          bMatchFound = true;
          Trace(M, "Check for changes using LastModificationTime");
          bool same = false;
          run([&] { same = item->LastModificationTime() == match->LastModificationTime(); });
          if (same) {
            Trace(M, "No changes detected using LastModificationTime");
            return Flow::Close;
          }
          if (bShuttingDown) return Flow::Leave;
          if (WentOffline(P)) return Flow::Leave;
          Trace(M, "Check Fields for Changes");
          if (!fnAppointmentsDiffer(item, match)) {
            Trace(M, "No changes detected");
          } else {
            Trace(M, "Changes Detected, Replace Global Appointment");
            if (ReplaceInFolder(item, match, oGlobalCalendar)) Trace(M, "Success, Replaced Global Appointment");
          }
          return Flow::Close;
        }
        // No direction chosen: nothing is copied or taken as deleted.
        bMatchFound = true;
        return Flow::Close;
      };

      const Flow flow = handle();
      if (flow == Flow::Leave) {
        ended = true;
        break;
      }
      if (flow == Flow::Close) {
        if (Err.Pending()) ReportItemError(subject, item);
        if (bShuttingDown) return;
        if (WentOffline(P)) return;
        // Its counterpart is gone from the Global Calendar: deleted there, so here too. Only an
        // appointment that was linked when the pass reached it can have been copied before.
        if (!bMatchFound && !blank && (UpdBoth == 1 || UpdGlobalOnly == 1) && fnGetHasBeenProcessed(item)) {
          // Unless the user chose not to be asked, the deletion pass asks first; an answer No
          // must not be overruled here, nor the appointment copied back.
          if (PromptDelete == 1) bDeleteFound = true;
          else leftForPrompt = true;
        }
        if (bShuttingDown) return;
        if (WentOffline(P)) return;
        if (!bMatchFound && !bDeleteFound && !leftForPrompt) {
          Trace(P, "No Match Found Processing Appointment, Copy to Global Folder");
          copyFailed = !CopyToFolder(item, oGlobalCalendar);
          if (copyFailed) ReportItemError(subject, item);
        }
        if (bDeleteFound) {
          Trace(P, "bDeleteFound is True, Delete Appointment");
          run([&] { item->Delete(); });
        }
      }
      if (bShuttingDown) return;
      if (WentOffline(P)) return;
      // An appointment whose copy failed is marked not processed (looking at its flag above may
      // have added it): marked, it would be taken for one whose global copy was deleted, and
      // deleted, or asked about, at the next pass.
      if (copyFailed) fnSetHasBeenProcessedFalse(item);
      else fnSetHasBeenProcessedTrue(item);
      iErrorCount = 0;
      Appt next;
      run([&] { next = items->GetNext(); });
      item = next;
    }
  }
  if (ended) return;
  items.Release();
  bBusy = false;
  bIgnoreItemAdd = true;
  Trace(P, "Exiting Function");
  Trace(" ");
}

}  // namespace quorvane
