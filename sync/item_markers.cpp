// The sync markers on single appointments: the OrigEntryId link and the processed flag.
#include "addin/quorvane_class.h"
#include "platform/com/com_error.h"
#include "platform/com/text.h"
#include "platform/outlook/outlook_enums.h"

namespace quorvane {

namespace {
constexpr const char* kLink = "OrigEntryId";
constexpr const char* kFlag = "HasBeenProcessedQZT";
}  // namespace

bool QuorvaneClass::fnSetOrigEntryId(const Appt& target, const Appt& source) {
  const std::string op = "fnSetOrigEntryId - ";
  Err.Clear();
  Trace(op, "Start of Function");
  bool result = false;
  if (!Err.Try([&] {
        auto prop = target->UserProperties()->Find(kLink);
        if (prop.IsNothing()) {
          Trace(op, "Attempting to Add OrigEntryId");
          com::ErrObject addErr;
          if (!addErr.Try([&] { prop = target->UserProperties()->Add(kLink, outlook::olText, true); })) {
            Err = addErr;
            PostErrorReport("fnSetOrigEntryId", Err);
          }
          if (prop.IsNothing()) {
            fnPostError(op + "Add OrigEntryId Field Failed!");
            fnPostError(op + "Exiting Function");
            return;
          }
        } else {
          Trace(op, "Setting OrigEntryId");
        }
        prop->SetValue(source->EntryID());
        target->Save();
        result = true;
        fnPostError(op + "Exiting Function!");
      })) {
    PostErrorReport("fnSetOrigEntryId", Err);
    result = false;
  }
  Err.Clear();
  return result;
}

bool QuorvaneClass::fnSetCopyOrigEntryId(const Appt& objItem1, const Appt& objItem2) {
  const std::string op = "fnSetCopyOrigEntryId - ";
  Err.Clear();
  Trace(op, "Start of Function");
  // The add, as the store gives it: Nothing when it will not add (its error reported).
  auto add = [&](const Appt& item) {
    com::Ref<outlook::UserProperty> prop;
    com::ErrObject addErr;
    if (!addErr.Try([&] { prop = item->UserProperties()->Add(kLink, outlook::olText, true); })) {
      Err = addErr;
      PostErrorReport("fnSetCopyOrigEntryId", Err);
      Err.Clear();
    }
    if (prop.IsNothing()) fnPostError(op + "Add OrigEntryId Field Failed!");
    return prop;
  };
  bool result = false;
  if (!Err.Try([&] {
        auto sourceProp = objItem2->UserProperties()->Find(kLink);
        if (!sourceProp.IsNothing()) {
          Trace(op, "Found OrigEntryId in objItem2");
          auto copyProp = objItem1->UserProperties()->Find(kLink);
          if (copyProp.IsNothing()) {
            Trace(op, "Attempting to Add OrigEntryId to objItem1");
            copyProp = add(objItem1);
            if (copyProp.IsNothing()) return;
          } else {
            Trace(op, "Found OrigEntryId in objItem1, Setting OrigEntryId");
          }
          Trace(op, "Setting OrigEntryId");
          Trace(op, "Setting OrigEntryId From (", copyProp->Value().ToString(), ")");
          Trace(op, "Setting OrigEntryId To (", sourceProp->Value().ToString(), ")");
          copyProp->SetValue(sourceProp->Value());
          objItem1->Save();
        } else {
          // The source becomes the originating appointment; a source stamped here stays
          // stamped even if the copy then fails.
          Trace(op, "Attempting to Add OrigEntryId to objItem2");
          sourceProp = add(objItem2);
          if (sourceProp.IsNothing()) return;
          Trace(op, "Setting OrigEntryId in objItem2");
          sourceProp->SetValue(objItem2->EntryID());
          objItem2->Save();
          Trace(op, "Attempting to Add OrigEntryId in objItem1");
          auto copyProp = add(objItem1);
          if (copyProp.IsNothing()) return;
          copyProp->SetValue(objItem2->EntryID());
          objItem1->Save();
        }
        result = true;
      })) {
    PostErrorReport("fnSetCopyOrigEntryId", Err);
    fnPostError("Items being Processed Subject");
    PostSubjectAndStart(objItem1);
    result = false;
  }
  Err.Clear();
  return result;
}

bool QuorvaneClass::fnCheckForBlankOrigEntryId(const Appt& item) {
  const std::string op = "fnCheckForBlankOrigEntryId - ";
  Err.Clear();
  bool result = true;
  bSkipUntilOwner = false;
  Trace(op, "Start of Function");
  Trace(op, "Checking for Blank OrigEntryId");
  com::Ref<outlook::UserProperty> prop;
  Err.Try([&] { prop = item->UserProperties()->Find(kLink); });
  if (!prop.IsNothing()) {
    std::string value;
    Err.Try([&] { value = com::Trim(prop->Value().ToString()); });
    if (!value.empty()) {
      result = false;
      Trace(op, "OrigEntryId Not Blank");
    } else {
      Trace(op, "Blank OrigEntryId");
    }
  } else {
    Trace(op, "OrigEntryId Property Not Found");
    if (GlobalOwner == 0) bSkipUntilOwner = true;
  }
  if (Err.Pending()) {
    PostErrorReport("fnCheckForBlankOrigEntryId", Err);
    PostSubjectAndStart(item);
    if (GlobalOwner == 0) bSkipUntilOwner = true;
  }
  Err.Clear();
  Trace(op, "Exiting Function");
  return result;
}

bool QuorvaneClass::fnCheckForLocalMaster(const Appt& item) {
  const std::string op = "fnCheckForLocalMaster - ";
  Err.Clear();
  bool result = true;
  Trace(op, "Start of Function");
  Trace(op, "Checking OrigEntryId");
  com::Ref<outlook::UserProperty> prop;
  Err.Try([&] { prop = item->UserProperties()->Find(kLink); });
  if (!prop.IsNothing()) {
    Err.Try([&] {
      if (com::Trim(prop->Value().ToString()) != com::Trim(item->EntryID())) {
        result = false;
        Trace(op, "Not LocalMaster");
      } else {
        Trace(op, "LocalMaster Found");
      }
    });
  } else {
    Trace(op, "OrigEntryId Property Not Found");
  }
  if (Err.Pending()) {
    PostErrorReport("fnCheckForLocalMaster", Err);
    PostSubjectAndStart(item);
  }
  Err.Clear();
  Trace(op, "Exiting Function");
  return result;
}

bool QuorvaneClass::fnGetHasBeenProcessed(const Appt& item) {
  const std::string op = "fnGetHasBeenProcessed - ";
  Err.Clear();
  bool result = false;
  Trace(op, "Start of Function");
  com::Ref<outlook::UserProperty> prop;
  Err.Try([&] { prop = item->UserProperties()->Find(kFlag); });
  if (!prop.IsNothing()) {
    Err.Try([&] { result = com::Trim(prop->Value().ToString()) == "True"; });
    Trace(op, (result ? "HasBeenProcessedQZT = True" : "HasBeenProcessedQZT = False"));
  } else {
    // Never flagged: it reads as not processed this once, and is flagged now.
    Trace(op, "Attempting to Add HasBeenProcessedQZT");
    Err.Try([&] { prop = item->UserProperties()->Add(kFlag, outlook::olText, true); });
    if (prop.IsNothing()) {
      fnPostError("Add HasBeenProcessedQZT Field Failed!");
      PostSubjectAndStart(item);
    } else {
      Err.Try([&] { prop->SetValue("True"); });
      Err.Try([&] { item->Save(); });
      Trace(op, "Added HasBeenProcessedQZT Property");
    }
  }
  if (Err.Pending()) {
    PostErrorReport("fnGetHasBeenProcessed", Err);
    PostSubjectAndStart(item);
  }
  Err.Clear();
  Trace(op, "Exiting Function");
  return result;
}

struct QuorvaneClass::FlagSteps {
  std::string operation;  // name, for the error report and the trace prefix
  std::string value;      // "True" or "False"
  const char* found;      // trace when the flag is there (nullptr: none)
  const char* same;
  const char* setting;
  const char* adding;
  const char* added;
  std::string failed;  // written always
};

bool QuorvaneClass::SetProcessedFlag(const Appt& item, const FlagSteps& s) {
  const std::string op = s.operation + " - ";
  Err.Clear();
  bool result = false;
  Trace(op, "Start of Function");
  com::Ref<outlook::UserProperty> prop;
  Err.Try([&] { prop = item->UserProperties()->Find(kFlag); });
  if (!prop.IsNothing()) {
    if (s.found) Trace(op, s.found);
    std::string current;
    Err.Try([&] { current = com::Trim(prop->Value().ToString()); });
    if (current == s.value) {
      result = true;
      Trace(op, s.same);
    } else {
      Trace(op, s.setting);
      Err.Try([&] { prop->SetValue(s.value); });
      Err.Try([&] { item->Save(); });
    }
  } else {
    Trace(op, s.adding);
    Err.Try([&] { prop = item->UserProperties()->Add(kFlag, outlook::olText, true); });
    if (prop.IsNothing()) {
      fnPostError(s.failed);
      PostSubjectAndStart(item);
    } else {
      Trace(op, s.added);
      Err.Try([&] { prop->SetValue(s.value); });
      Err.Try([&] { item->Save(); });
    }
  }
  if (Err.Pending()) {
    PostErrorReport(s.operation, Err);
    PostSubjectAndStart(item);
  }
  Err.Clear();
  Trace(op, "Exiting Function");
  return result;
}

bool QuorvaneClass::fnSetHasBeenProcessedTrue(const Appt& item) {
  static const FlagSteps steps{"fnSetHasBeenProcessedTrue",
                               "True",
                               nullptr,
                               "HasBeenProcessedQZT = True",
                               "Setting HasBeenProcessedQZT to True",
                               "Attempting to Add HasBeenProcessedQZT Property",
                               "Added HasBeenProcessedQZT Property, Setting to True",
                               "Add HasBeenProcessedQZT Field Failed!"};
  return SetProcessedFlag(item, steps);
}

bool QuorvaneClass::fnSetHasBeenProcessedFalse(const Appt& item) {
  static const FlagSteps steps{"fnSetHasBeenProcessedFalse",
                               "False",
                               "Property HasBeenProcessedQZT Found",
                               "HasBeenProcessedQZT = False",
                               "Setting HasBeenProcessedQZT to False",
                               "Attempting to Add HasBeenProcessedQZT",
                               "Added HasBeenProcessedQZT Property, Setting to False",
                               "fnSetHasBeenProcessedFalse - Add HasBeenProcessedQZT Field Failed!"};
  return SetProcessedFlag(item, steps);
}

}  // namespace quorvane
