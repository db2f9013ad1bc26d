// The global pass: brings the Local Calendar up to date with the Global Calendar.
#include "addin/quorvane_class.h"
#include "platform/com/text.h"

namespace quorvane {

namespace {
// Where an appointment's handling goes on: the closing steps, straight to the next
// appointment, or out of the pass (whatever had to be done on the way out is done).
enum class Flow { Close, Next, Leave };
}  // namespace

void QuorvaneClass::oProcessGlobalFolders() {
  const std::string P = "oProcessGlobalFolders - ";
  com::ResumeNext run(Err, PassErrorHandler("oProcessGlobalFolders"));

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
    MsgBox("You have the Orbitra COM Add-in loaded but you have no Global Calendar defined.  You may wish to set "
           "the properties for the COM Add-in.",
           win32::vbInformation, "Orbitra COM Add-in");
    bBusy = false;
    return;
  }

  com::Ref<outlook::Items> items = WindowedItems(oGlobalCalendar, true, run);
  bool ended = false;  // left the pass early, skipping the normal end
  if (!items.IsNothing()) {
    iErrorCount = 0;
    iSameEntryIdCount = 0;
    std::string sLastEntryId;
    bool bMatchFound = false;
    Appt item;
    run([&] { item = items->GetFirst(); });
    while (!item.IsNothing()) {
      bool bDeleteFound = false;
      std::string subject, body5, entryId;
      // What this appointment needs; the Flow it returns says where its handling goes on.
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
          // The store gave the same appointment again: passed over twice, the fourth time ends the pass.
          if (++iSameEntryIdCount > 2) {
            fnPostError("Error Detected processing Global Calendar Item.\r\nSame EntryId Returned Multiple Times"
                        "Subject = [" + subject + "]\r\nEntryID = [" + entryId + "]");
            bBusy = false;
            return Flow::Leave;
          }
          return Flow::Next;
        }
        iSameEntryIdCount = 0;
        sLastEntryId = entryId;
        if (body5 == "[DEL]") bDeleteFound = true;
        Trace(" ");
        Trace(P, "Processing Appointment");
        run([&] { Trace(P, "Appointment [", item->Subject(), "]"); });
        run([&] { TraceValue(P + "Start [", item->Start()); });
        run([&] { TraceValue(P + "End [", item->End()); });

        bSkipUntilOwner = false;
        const bool blank = fnCheckForBlankOrigEntryId(item);
        if (bSkipUntilOwner) {
          Trace(P, "Skipping Appointment OrigEntryId Property Not Found");
          return Flow::Next;
        }

        Appt match;
        if (UpdBoth == 1) {
          const std::string M = P + "[Both Mode] - ";
          if (blank) {
            if (bShuttingDown) return Flow::Leave;
            if (WentOffline(P)) return Flow::Leave;
            Trace(M, "Appointment OrigEntryId is Blank, Match By Subject");
            fnGetLocalMatchBySubject(item);
            Trace(M, "No Match Found");
            if (bDeleteFound) return Flow::Close;
            Trace(M, "Setting OrigEntryId Property");
            Err.Clear();
            if (!fnSetOrigEntryId(item, item)) {  // copied unlinked, it would come back twice
              bBusy = false;
              return Flow::Leave;
            }
            bMatchFound = false;
            return Flow::Close;
          }
          Err.Clear();
          Trace(M, "Global Appointment OrigEntryId not blank");
          match = fnGetLocalMatchByOrigEntryId(item);
          if (Err.Pending()) {
            bBusy = false;
            return Flow::Leave;
          }
          if (match.IsNothing()) {
            Trace(M, "No Match By OrigEntryId, Try By Subject");
            fnGetLocalMatchBySubject(item);
            Trace(M, "No Match By Subject");
            bMatchFound = false;
            return Flow::Close;
          }
          Trace(M, "Match Found by OrigEntryId");
          if (bDeleteFound) {
            Trace(M, "bDeleteFound is True, Delete Local Appointment");
            run([&] { match->Delete(); });
            return Flow::Close;
          }
          bMatchFound = true;
          Trace(M, "Check for Changes using LastModificationTime");
          bool same = false;
          run([&] { same = item->LastModificationTime() == match->LastModificationTime(); });
          if (same) {
            Trace(M, "No changes detected using LastModificationTime");
            return Flow::Close;
          }
          if (bShuttingDown) return Flow::Leave;
          if (WentOffline(P)) return Flow::Leave;
          Trace(M, "Compare Fields to check for Modifications");
          if (!fnAppointmentsDiffer(item, match)) {
            Trace(M, "No Changes Detected");
            return Flow::Close;
          }
          Trace(M, "Changes Detected, Check to see which appointment is newer");
          bool newer = false;
          run([&] { newer = fnIsNewer(item, match); });
          if (newer) {
            Trace(M, "Global Appointment is Newest, Replace Local Appointment");
            if (ReplaceInFolder(item, match, oLocalCalendar)) Trace(M, "Success Replacing Local Appointment");
          } else {
            Trace(M, "Local Appointment newer, skip, it will be processed during Local Calendar Processing");
          }
          return Flow::Close;
        }
        if (UpdGlobalOnly == 1) {
          const std::string M = P + "[Global -> Local Only Mode]";
          Trace(M);
          if (blank && GlobalOwner != 1) {
            Trace(M, " - No Owner Detected, Skip Appointment Until Owner Processes");
            bMatchFound = true;
            return Flow::Close;
          }
          if (blank) {
            if (bShuttingDown) return Flow::Leave;
            if (WentOffline(P)) return Flow::Leave;
            fnGetLocalMatchBySubject(item);
            Trace(M, " - No Match Found By Subject");
            if (!bDeleteFound) {
              Trace(M, " - Set OrigEntryId and Process As Normal");
              if (!fnSetOrigEntryId(item, item)) {  // copied unlinked, it would come back twice
                bBusy = false;
                return Flow::Leave;
              }
              bMatchFound = false;
            }
            return Flow::Close;
          }
          Err.Clear();
          Trace(M, " - Get Match By OrigEntryId");
          match = fnGetLocalMatchByOrigEntryId(item);
          if (Err.Pending()) {
            bBusy = false;
            return Flow::Leave;
          }
          if (match.IsNothing()) {
            Trace(M, " - No Match Found By OrigEntryId, Try By Subject");
            if (bShuttingDown) return Flow::Leave;
            if (WentOffline(P)) return Flow::Leave;
            fnGetLocalMatchBySubject(item);
            Trace(M, " - No Match Found By Subject");
            bMatchFound = false;
            return Flow::Close;
          }
          if (bDeleteFound) {
            Trace(P, "bDeleteFound is True, So Delete Local Appointment ");
            run([&] { match->Delete(); });
            return Flow::Close;
          }
          Trace(P, "Match Found by OrigEntryId, Compare LastModificationTime");
          bMatchFound = true;
          bool same = false;
          run([&] { same = item->LastModificationTime() == match->LastModificationTime(); });
          if (same) {
            Trace(P, "Appointment LastModificationTime matches so no changes, skip this appointment");
            return Flow::Close;
          }
          if (bShuttingDown) return Flow::Leave;
          if (WentOffline(P)) return Flow::Leave;
          Trace(P, "Compare Appointment Fields for Changes");
          if (!fnAppointmentsDiffer(item, match)) {
            Trace(P, "No Changes Detected Skip Processing Appointment");
          } else {
            ReplaceInFolder(item, match, oLocalCalendar);  // the global side always wins here
          }
          return Flow::Close;
        }
        if (UpdLocalOnly == 1) {
          MsgBox("Cannot Update Local Calendar to Global Calendar with your current settings");
          bBusy = false;
          return Flow::Leave;
        }
        // No direction chosen: nothing is copied, whatever the appointment before decided.
        bMatchFound = true;
        return Flow::Close;
      };

      const Flow flow = handle();
      if (flow == Flow::Leave) {
        ended = true;
        break;
      }
      if (flow == Flow::Close) {
        if (bShuttingDown) return;
        if (WentOffline(P)) return;
        if (Err.Pending()) ReportItemError(subject, item);
        if (!bMatchFound && !bDeleteFound) {
          Trace(P, "No Match Found Processing Appointment, Copy to Local Folder");
          // A copy that fails is reported here, or its error would go unseen.
          if (!CopyToFolder(item, oLocalCalendar)) ReportItemError(subject, item);
        }
        if (bDeleteFound) {
          Trace(P, "bDeleteFound is True, So Delete Appointment");
          run([&] { item->Delete(); });
        }
      }
      if (bShuttingDown) return;
      if (WentOffline(P)) return;
      iErrorCount = 0;
      Trace(P, "Processing Next Appointment");
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
