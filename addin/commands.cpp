// What the toolbar's buttons do, and the pages the add-in gives the host's dialogs.
#include "addin/quorvane_class.h"
#include "dialogs/appt_options_form.h"
#include "platform/com/class_registry.h"
#include "platform/com/text.h"
#include "print/print_cal_form.h"

namespace quorvane {

namespace {
bool Blank(const std::string& s) { return com::Trim(s).empty(); }
}  // namespace

void QuorvaneClass::oSyncFromGlobalBHandler_Click(const Button&, bool&) {
  com::ErrObject err;
  err.Try([&] {
    if (UpdBoth != 1 && UpdGlobalOnly != 1 && UpdLocalOnly == 1) {
      MsgBox("Cannot Update Global Calendar to Local Calendar with your current settings");
      return;
    }
    if (Blank(GlobalCalEntryID) || Blank(LocalCalEntryID)) return;
    if (UpdBoth == 1 && !bShuttingDown) oCheckLocVsGlbDels();
    else if (UpdGlobalOnly == 1 && !bShuttingDown) oCheckLocVsGlbDels();
    if (!bShuttingDown) oProcessGlobalFolders();
  });
}

void QuorvaneClass::oSyncFromLocalBHandler_Click(const Button&, bool&) {
  com::ErrObject err;
  err.Try([&] {
    if (UpdBoth != 1 && UpdGlobalOnly == 1) {
      MsgBox("Cannot Update Local Calendar to Global Calendar with your current settings");
      return;
    }
    if (Blank(GlobalCalEntryID) || Blank(LocalCalEntryID)) return;
    if (!bShuttingDown) oProcessLocalFolders();
  });
}

void QuorvaneClass::oPrintCalendarBHandler_Click(const Button&, bool&) {
  if (Blank(GlobalCalEntryID) || Blank(LocalCalEntryID)) return;
  com::ErrObject err;
  const bool shown = err.Try([&] {
    // A dialog still open is brought to the front with the current settings.
    const bool open = dlgPrintCal && dlgPrintCal->loaded();
    if (!open) dlgPrintCal = std::make_shared<PrintCalForm>(env_, printer::ThePrinters());
    dlgPrintCal->oCalAdmCls = shared_from_this();
    dlgPrintCal->oprefGlobalCalendar = GlobalCalendar;
    dlgPrintCal->oprefLocalCalendar = LocalCalendar;
    dlgPrintCal->oGlobalCalendar = oGlobalCalendar;
    dlgPrintCal->oLocalCalendar = oLocalCalendar;
    if (!open) dlgPrintCal->Load();
    env_.ui.Show(dlgPrintCal);
  });
  if (!shown) PostErrorReport("oPrintCalendarBHandler_Click", err);
}

void QuorvaneClass::oSetApptSettingsBHandler_Click(const Button&, bool&) {
  if (Blank(GlobalCalEntryID) || Blank(LocalCalEntryID)) return;
  com::ErrObject err;
  const bool shown = err.Try([&] {
    // A dialog still open is brought to the front as it is.
    const bool open = dlgApptOptions && dlgApptOptions->loaded();
    if (!open) dlgApptOptions = std::make_shared<ApptOptionsForm>(env_);
    dlgApptOptions->oCalAdmCls = std::static_pointer_cast<QuorvaneClass>(shared_from_this());
    if (!open) dlgApptOptions->Load();
    env_.ui.Show(dlgApptOptions);
  });
  if (!shown) PostErrorReport("oSetApptSettingsBHandler_Click", err);
}

void QuorvaneClass::AddOptionsPage(const com::Ref<outlook::PropertyPages>& pages, const std::string& operation) {
  com::ErrObject err;
  if (!err.Try([&] {
        oAdminPage = com::CreateObject("Pagorin.UCAdminPage");
        CheckRegistryValues();
        fnSetPagePrefs();
        com::PutProperty(oAdminPage, "oAdminDLL", shared_from_this());
        pages->Add(oAdminPage, "");
      })) {
    // The page cannot be had: the dialog opens without it.
    PostErrorReport(operation, err);
  }
}

void QuorvaneClass::oApplication_OptionsPagesAdd(const com::Ref<outlook::PropertyPages>& Pages) {
  AddOptionsPage(Pages, "oApplication_OptionsPagesAdd");
}

void QuorvaneClass::oNS_OptionsPagesAdd(const com::Ref<outlook::PropertyPages>& Pages, const Folder& Folder) {
  com::ErrObject err;
  std::string name;
  err.Try([&] { name = Folder->Name(); });
  if (name == "Orbitra") AddOptionsPage(Pages, "oNS_OptionsPagesAdd");
}

}  // namespace quorvane
