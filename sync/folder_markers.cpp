// Preparing a calendar folder so that it knows the sync markers as fields of its own, through
// its first item or, in an empty folder, through a temporary test appointment.
#include "addin/quorvane_class.h"
#include "platform/com/com_error.h"
#include "platform/outlook/outlook_enums.h"

namespace quorvane {

// The log lines of one folder operation's test-appointment path. Stems ending in "[" are
// completed with the folder's name and "]".
struct QuorvaneClass::TestAppointmentSteps {
  std::string operation;
  std::string marker;
  std::vector<std::string> beforeCreate;
  std::string notCreated;
  std::vector<std::string> afterCreate;
  std::string moving;
  bool settingLine = false;
  std::string failed;  // written always, whole
  std::function<void()> report;
};

namespace {

std::string Named(const std::string& stem, const std::string& folderName) {
  return !stem.empty() && stem.back() == '[' ? stem + folderName + "]" : stem;
}

std::string TestSubject(const std::string& version) { return "QZT " + version; }

}  // namespace

QuorvaneClass::Appt QuorvaneClass::fnGetTestMessageInFolder(const Folder& folder) {
  const std::string op = "fnGetTestMessageInFolder - ";
  Err.Clear();
  Trace(op, "Start of Function");
  Appt found;
  com::Ref<outlook::Items> restricted;
  Err.Try([&] { restricted = folder->Items()->Restrict("[Subject] = \"" + TestSubject(strVersion) + "\""); });
  if (restricted.IsNothing()) {
    Trace(op, "No Test Messages Found");
  } else {
    Trace(op, "Messages Found");
    Err.Try([&] { found = restricted->GetFirst(); });
  }
  if (Err.Pending()) PostErrorReport("fnGetTestMessageInFolder", Err);
  Err.Clear();
  Trace(op, "Exiting Function");
  return found;
}

// The marker added to an item; Nothing when the store will not add it (its error reported).
static com::Ref<outlook::UserProperty> AddMarker(com::ErrObject& err, const QuorvaneClass::Appt& item,
                                                 const std::string& marker, const std::function<void()>& report) {
  com::Ref<outlook::UserProperty> prop;
  if (!err.Try([&] { prop = item->UserProperties()->Add(marker, outlook::olText, true); })) {
    report();
    err.Clear();
  }
  return prop;
}

bool QuorvaneClass::PrepareEmptyFolder(const Folder& folder, const TestAppointmentSteps& steps) {
  const std::string op = steps.operation + " - ";
  const std::string name = folder->Name();
  for (const auto& line : steps.beforeCreate) Trace(op, Named(line, name));
  Appt created = oApplication->CreateItem(outlook::olAppointmentItem);
  if (created.IsNothing()) {
    if (!steps.notCreated.empty()) Trace(op, Named(steps.notCreated, name));
    return false;
  }
  for (const auto& line : steps.afterCreate) Trace(op, Named(line, name));
  const std::string subject = TestSubject(strVersion);
  const com::Date now = env_.clock.Now();
  try {
    created->SetSubject(subject);
    created->SetLocation(subject);
    created->SetBody(subject);
    created->SetStart(now);
    created->SetEnd(now);
    created->Save();
    Trace(op, Named(steps.moving, name));
    created->Move(folder);
  } catch (const com::ComError&) {
    // A test appointment that never reached its folder must not stay in the default
    // calendar, where it would be taken for a real one.
    com::ErrObject cleanup;
    cleanup.Try([&] { created->Delete(); });
    throw;
  }
  Appt test = fnGetTestMessageInFolder(folder);
  if (test.IsNothing()) return false;

  bool result = false;
  try {
    auto prop = AddMarker(Err, test, steps.marker, steps.report);
    if (prop.IsNothing()) {
      fnPostError(Named(steps.failed, name));
    } else {
      if (steps.settingLine) {
        Trace(op + "Setting OrigEntryId for Appointment [" + test->Subject() + "] Start Date [" +
              com::Variant(test->Start()).ToString() + "]");
      }
      prop->SetValue(steps.marker == "OrigEntryId" ? com::Variant(test->EntryID()) : com::Variant("False"));
      test->Save();
      result = true;
    }
  } catch (const com::ComError&) {
    com::ErrObject cleanup;
    cleanup.Try([&] { test->Delete(); });
    throw;
  }
  test->Delete();
  return result;
}

namespace {

// Runs a folder operation under its error handler: the failure is reported when it happens
// and the operation gives false; nothing is retried.
bool Guarded(com::ErrObject& err, const std::function<bool()>& body, const std::function<void()>& report) {
  err.Clear();
  bool result = false;
  if (!err.Try([&] { result = body(); })) {
    report();
    result = false;
  }
  err.Clear();
  return result;
}

}  // namespace

bool QuorvaneClass::fnCheckOrigEntryIdExistsInFolder(const Folder& folder) {
  const std::string op = "fnCheckOrigEntryIdExistsInFolder - ";
  auto report = [this] {
    fnPostError("Error Occurred in fnCheckOrigEntryIdExists");
    fnPostError("Error Detected [" + Err.Description() + "]");
  };
  Trace(op, "Start of Function");
  const bool result = Guarded(
      Err,
      [&] {
        const std::string name = folder->Name();
        if (folder->Items()->Count() > 0) {
          Trace(op, "Items Found in Folder [", name, "]");
          return !folder->Items()->GetFirst()->UserProperties()->Find("OrigEntryId").IsNothing();
        }
        Trace(op, "No Items Found in Folder [", name, "]");
        return PrepareEmptyFolder(folder, {"fnCheckOrigEntryIdExistsInFolder",
                                           "OrigEntryId",
                                           {"Creating Item in Folder ["},
                                           "Not Able to Create Item in Folder [",
                                           {"Creating Test Message to Add OrigEntryId"},
                                           "Moving Test Message to Folder [",
                                           true,
                                           op + "Failed to add OrigEntryId to Folder [",
                                           report});
      },
      report);
  Trace(op, "Exiting Function");
  return result;
}

bool QuorvaneClass::fnAddOrigEntryIdToFolder(const Folder& folder) {
  const std::string op = "fnAddOrigEntryIdToFolder - ";
  auto report = [this] {
    fnPostError("Error Occurred in fnAddOrigEntryId");
    fnPostError("Error Detected [" + Err.Description() + "]");
  };
  Trace(op, "Start of Function");
  const bool result = Guarded(
      Err,
      [&] {
        const std::string name = folder->Name();
        if (folder->Items()->Count() > 0) {
          Trace(op, "Found Items in Calendar [", name, "]");
          Appt first = folder->Items()->GetFirst();
          if (!first->UserProperties()->Find("OrigEntryId").IsNothing()) {
            Trace(op, "OrigEntryId Already Found in Calendar [", name, "]");
            return true;
          }
          Trace(op, "Adding OrigEntryId to Calendar [", name, "]");
          auto prop = AddMarker(Err, first, "OrigEntryId", report);
          if (prop.IsNothing()) {
            fnPostError(op + "Failed to add OrigEntryId to Folder [" + name + "]");
            return false;
          }
          prop->SetValue(first->EntryID());
          first->Save();
          Trace(op, "OrigEntryId Added to Calendar [", name, "]");
          return true;
        }
        Trace(op, "No Items in Calendar [", name, "]");
        return PrepareEmptyFolder(folder, {"fnAddOrigEntryIdToFolder",
                                           "OrigEntryId",
                                           {"Creating Test Message in Calendar ["},
                                           "Unable to Create Test Message in Calendar [",
                                           {},
                                           "Moving Test Message to Calendar [",
                                           true,
                                           op + "Failed to add OrigEntryId to Folder [",
                                           report});
      },
      report);
  Trace(op, "Exiting Function");
  return result;
}

bool QuorvaneClass::fnCheckProcFlagExistsInFolder(const Folder& folder) {
  const std::string op = "fnCheckProcFlagExistsInFolder - ";
  auto report = [this] { PostErrorReport("fnCheckProcFlagExists", Err); };
  Trace(op, "Start of Function");
  const bool result = Guarded(
      Err,
      [&] {
        if (folder->Items()->Count() > 0) {
          if (!folder->Items()->GetFirst()->UserProperties()->Find("HasBeenProcessedQZT").IsNothing()) return true;
          Trace(op, "HasBeenProcessedQZT Field Not Found");
          return false;
        }
        return PrepareEmptyFolder(folder, {"fnCheckProcFlagExistsInFolder",
                                           "HasBeenProcessedQZT",
                                           {"Creating Test Message"},
                                           "Unable to Create Test Message in Folder [",
                                           {},
                                           "Moving Test Message to Folder [",
                                           false,
                                           op + "Failed to add HasBeenProcessedQZT to Folder [",
                                           report});
      },
      report);
  Trace(op, "Exiting Function");
  return result;
}

bool QuorvaneClass::fnAddProcFlagToFolder(const Folder& folder) {
  const std::string op = "fnAddProcFlagToFolder - ";
  auto report = [this] { PostErrorReport("fnAddProcFlagToFolder", Err); };
  Trace(op, "Start of Function");
  const bool result = Guarded(
      Err,
      [&] {
        const std::string name = folder->Name();
        if (folder->Items()->Count() > 0) {
          Appt first = folder->Items()->GetFirst();
          if (!first->UserProperties()->Find("HasBeenProcessedQZT").IsNothing()) {
            Trace(op, "HasBeenProcessedQZT Field Exists Already");
            return true;
          }
          Trace(op, "Attempting to Add HasBeenProcessedQZT to Folder [", name, "]");
          auto prop = AddMarker(Err, first, "HasBeenProcessedQZT", report);
          if (prop.IsNothing()) {
            fnPostError(op + "Failed to add HasBeenProcessedQZT to Folder [" + name + "]");
            return false;
          }
          prop->SetValue("False");
          first->Save();
          return true;
        }
        TestAppointmentSteps steps{"fnAddProcFlagToFolder",
                                   "HasBeenProcessedQZT",
                                   {"Adding HasBeenProcessedQZT Field to Folder ["},
                                   "",
                                   {},
                                   "Moving Test message to Folder [",
                                   false,
                                   "Failed to add HasBeenProcessedQZT to Folder [" + name + "] in fnAddProcFlagToFolder",
                                   report};
        return PrepareEmptyFolder(folder, steps);
      },
      report);
  Trace(op, "Exiting Function");
  return result;
}

}  // namespace quorvane
