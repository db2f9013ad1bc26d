// The "Orbitra" command bar: set up at start-up, kept present at every folder switch.
#include "addin/quorvane_class.h"

namespace quorvane {

namespace {

const char* const kBar = "Orbitra";

struct ButtonSpec {
  const char* caption;
  int faceId;
};
const ButtonSpec kButtons[4] = {{"Sync From &Global Calendar", 609},
                                {"Sync From &Local Calendar", 607},
                                {"Sync &Delete from Calendar", 607},
                                {"&Print Calendar", 607}};

com::Ref<office::CommandBars> BarsOf(const com::Ref<outlook::Application>& app) {
  return app->ActiveExplorer()->CommandBars();
}

}  // namespace

void QuorvaneClass::EnableToolbar(com::ResumeNext& run) {
  run([&] { BarsOf(oApplication)->Item(kBar)->enabled = true; });
}

void QuorvaneClass::BindButtons(const com::Ref<office::CommandBar>& bar) {
  Button* holders[4] = {&oSyncFromGlobalBHandler, &oSyncFromLocalBHandler, &oSyncDeleteBHandler,
                        &oPrintCalendarBHandler};
  using Handler = void (QuorvaneClass::*)(const Button&, bool&);
  const Handler handlers[4] = {&QuorvaneClass::oSyncFromGlobalBHandler_Click,
                               &QuorvaneClass::oSyncFromLocalBHandler_Click, nullptr,
                               &QuorvaneClass::oPrintCalendarBHandler_Click};
  for (int i = 0; i < 4; ++i) {
    *holders[i] = bar->Control(i + 1);
    const Handler h = handlers[i];
    buttonClicks_[i] = (*holders[i])->OnClick([this, h](const Button& ctrl, bool& cancel) {
      if (h) (this->*h)(ctrl, cancel);
      else oSyncDeleteBHandler_Click(ctrl.get(), &cancel);
    });
  }
}

void QuorvaneClass::ReleaseButtons() {
  for (auto& click : buttonClicks_) click.Reset();
  oSyncFromGlobalBHandler.Release();
  oSyncFromLocalBHandler.Release();
  oSyncDeleteBHandler.Release();
  oPrintCalendarBHandler.Release();
}

void QuorvaneClass::SetUpToolbar(bool atStartup) {
  com::ErrObject err;
  if (CalToolbar != 1) {
    if (atStartup) fnPostError("Disabling Toolbar");
    err.Try([&] { BarsOf(oApplication)->Item(kBar)->enabled = false; });
  } else if (!err.Try([&] {
               com::Ref<office::CommandBars> bars = BarsOf(oApplication);
               bool found = false;
               for (int i = 1; i <= bars->Count(); ++i) {
                 if (bars->Item(i)->Name() == kBar) {  // exact comparison
                   found = true;
                   oCalToolbar = bars->Item(i);
                 }
               }
               if (atStartup && found && TBUpgraded < 2) {
                 // A bar from an older version is rebuilt once in the current form.
                 fnPostError("Upgrading Toolbar");
                 bars->Delete(kBar);
                 oCalToolbar.Release();
                 found = false;
                 TBUpgraded = 2;
               }
               if (!found) {
                 const int answer =
                     MsgBox("The Orbitra application can create a toolbar with the most commonly used commands.  Do "
                            "you want to have the application create the toolbar and display it?",
                            win32::vbYesNo | win32::vbQuestion, "Orbitra");
                 if (answer == win32::vbYes) {
                   if (atStartup) fnPostError("Creating Toolbar");
                   oCalToolbar = bars->Add(kBar, office::msoBarTop, false);
                   for (const ButtonSpec& wanted : kButtons) {
                     Button button = oCalToolbar->AddControl(office::msoControlButton, false);
                     button->caption = wanted.caption;
                     button->faceId = wanted.faceId;
                     button->style = office::msoButtonIconAndCaption;
                   }
                   BindButtons(oCalToolbar);
                   oCalToolbar->visible = true;
                   oCalToolbar->position = office::msoBarTop;
                 }
               } else {
                 if (atStartup) fnPostError("Enabling Toolbar");
                 if (!oCalToolbar->enabled) oCalToolbar->enabled = true;
                 if (!oCalToolbar->visible) oCalToolbar->visible = true;
                 BindButtons(oCalToolbar);
               }
             })) {
    // A failure ends the set-up.
    PostErrorReport("SetUpToolbar", err);
  }
  if (atStartup) err.Try([&] { reg_.fnRegSetValue("TBUpgraded", win32::REG_DWORD, TBUpgraded); });
  oCalToolbar.Release();
}

void QuorvaneClass::oExplorer_BeforeFolderSwitch(const Folder& NewFolder, bool&) {
  if (CalToolbar != 1) return;
  if (NewFolder.IsNothing()) {
    com::ErrObject err;
    err.Try([&] { BarsOf(oApplication)->Item(kBar)->enabled = false; });
    return;
  }
  SetUpToolbar(false);
}

void QuorvaneClass::oExplorer_Close() { bShuttingDown = true; }

void QuorvaneClass::WatchExplorer() {
  explorerClose_.Reset();
  explorerFolderSwitch_.Reset();
  if (oExplorer.IsNothing()) return;
  explorerClose_ = oExplorer->OnClose([this] { oExplorer_Close(); });
  explorerFolderSwitch_ = oExplorer->OnBeforeFolderSwitch(
      [this](const Folder& folder, bool& cancel) { oExplorer_BeforeFolderSwitch(folder, cancel); });
}

}  // namespace quorvane
