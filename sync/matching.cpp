// Finding an appointment's counterpart in the other calendar, and whether the store is there.
#include "addin/quorvane_class.h"
#include "platform/com/text.h"

namespace quorvane {
bool QuorvaneClass::fnIsFolderOnline(const Folder& folder) {
  Err.Clear();
  // Reading the count is what fails while the server cannot be reached.
  Err.Try([&] { folder->Items()->Count(); });
  return !Err.Pending();
}

QuorvaneClass::Appt QuorvaneClass::MatchByOrigEntryId(const std::string& operation, const Folder& folder,
                                                      const Appt& item, const std::string& foundLine) {
  const std::string op = operation + " - ";
  Err.Clear();
  Trace(op, "Start of Function");
  com::Ref<outlook::UserProperty> link;
  Err.Try([&] { link = item->UserProperties()->Find("OrigEntryId"); });
  if (link.IsNothing()) {
    Trace(op, "OrigEntryId Not Found");
    Err.Clear();
    return nullptr;
  }
  Trace(op, foundLine);
  Appt match;
  com::Ref<outlook::Items> restricted;
  Err.Try([&] {
    // Quoted, a link that came in from a calendar file can only ever be compared with, never
    // read as more of the filter.
    restricted = folder->Items()->Restrict("[OrigEntryId] = " + com::Quoted(com::Trim(link->Value().ToString())));
  });
  if (restricted.IsNothing()) {
    Trace(op, "No Match Found");
  } else {
    Trace(op, "Returning First Match");
    Err.Try([&] { match = restricted->GetFirst(); });
  }
  if (Err.Pending()) {
    // The error stays pending: the caller ends its pass on it.
    PostErrorReport(operation, Err);
    const com::ErrObject pending = Err;
    PostSubjectAndStart(item);
    Err = pending;
  }
  Trace(op, "Exit of Function");
  return match;
}

QuorvaneClass::Appt QuorvaneClass::fnGetLocalMatchByOrigEntryId(const Appt& item) {
  return MatchByOrigEntryId("fnGetLocalMatchByOrigEntryId", oLocalCalendar, item,
                            "OrigEntryId Found, Getting Match");
}

QuorvaneClass::Appt QuorvaneClass::fnGetGlobalMatchByOrigEntryId(const Appt& item) {
  return MatchByOrigEntryId("fnGetGlobalMatchByOrigEntryId", oGlobalCalendar, item,
                            "OrigEntryId Found, Getting Match ");
}

// Matching by subject was given up: it found the wrong appointments. The passes still ask,
// and take the answer as no match.
QuorvaneClass::Appt QuorvaneClass::fnGetLocalMatchBySubject(const Appt&) {
  Trace("fnGetLocalMatchBySubject - Start of Function");
  Trace("fnGetLocalMatchBySubject - Exit of Function");
  return nullptr;
}

QuorvaneClass::Appt QuorvaneClass::fnGetGlobalMatchBySubject(const Appt&) {
  Trace("fnGetGlobalMatchBySubject - Start of Function");
  Trace("fnGetGlobalMatchBySubject - Exit of Function");
  return nullptr;
}

}  // namespace quorvane
