#pragma once
// QuorvaneClass: the add-in object the host creates by class name. It carries the settings,
// the host objects in use and the flags that keep passes, timer and shutdown apart.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "addin/registry_cmds.h"
#include "addin/timer_class.h"
#include "platform/com/com_object.h"
#include "platform/com/err_object.h"
#include "platform/com/extensibility.h"
#include "platform/com/ref.h"
#include "platform/com/subscription.h"
#include "platform/outlook/application.h"
#include "platform/outlook/items.h"
#include "platform/win32/environment.h"

namespace quorvane {

class PrintCalForm;
class FolderBrowserForm;
class ApptOptionsForm;

extern const char* const kProgId;  // "QuorvaneDLL.QuorvaneClass"
extern const char* const kAppTitle;  // the library's own title, used for untitled boxes

class QuorvaneClass : public com::DispatchObject, public com::IDTExtensibility2 {
 public:
  // Takes the process's environment (registry, user interface, clock, message loop).
  QuorvaneClass();
  explicit QuorvaneClass(win32::Environment& env);
  ~QuorvaneClass() override;

  // ---- Host interface
  void OnConnection(const com::ObjectPtr& application, int connectMode, const com::ObjectPtr& addInInst,
                    com::Args& custom) override;
  void OnStartupComplete(com::Args& custom) override;
  void OnAddInsUpdate(com::Args& custom) override;
  void OnBeginShutdown(com::Args& custom) override;
  void OnDisconnection(int removeMode, com::Args& custom) override;

  // ---- Settings
  void CheckRegistryValues();
  void SetRegistryValues(const com::Variant& vCalToolbar, const com::Variant& vGlobalCalendar,
                         const com::Variant& vLocalCalendar, const com::Variant& vRefreshRate,
                         const com::Variant& vNoOfDays, const com::Variant& vUpdBoth,
                         const com::Variant& vUpdGlobalOnly, const com::Variant& vUpdLocalOnly,
                         const com::Variant& vPromptDelete, const com::Variant& vGlobalOwner,
                         const com::Variant& vPromptErrors, const com::Variant& vSyncAccepted,
                         const com::Variant& vShowOwner);
  com::ObjectPtr oNameSpace() const { return oNS.get(); }
  // Copies the settings into the options page's preference properties.
  void fnSetPagePrefs();

  // ---- Error log
  com::Variant fnCreateErrorLog();
  com::Variant fnPostError(const std::string& text);

  // ---- Sync markers
  using Appt = com::Ref<outlook::AppointmentItem>;
  using Folder = com::Ref<outlook::MAPIFolder>;
  Appt fnGetTestMessageInFolder(const Folder& folder);
  bool fnCheckOrigEntryIdExistsInFolder(const Folder& folder);
  bool fnAddOrigEntryIdToFolder(const Folder& folder);
  bool fnCheckProcFlagExistsInFolder(const Folder& folder);
  bool fnAddProcFlagToFolder(const Folder& folder);
  // False when the link could not be written: the failure is reported here, no error is left pending.
  bool fnSetOrigEntryId(const Appt& target, const Appt& source);
  bool fnSetCopyOrigEntryId(const Appt& objItem1, const Appt& objItem2);
  bool fnCheckForBlankOrigEntryId(const Appt& item);
  bool fnCheckForLocalMaster(const Appt& item);
  bool fnGetHasBeenProcessed(const Appt& item);
  bool fnSetHasBeenProcessedTrue(const Appt& item);
  bool fnSetHasBeenProcessedFalse(const Appt& item);

  // ---- Matching, change detection and copying
  bool fnIsFolderOnline(const Folder& folder);
  Appt fnGetLocalMatchByOrigEntryId(const Appt& item);
  Appt fnGetGlobalMatchByOrigEntryId(const Appt& item);
  Appt fnGetLocalMatchBySubject(const Appt& item);
  Appt fnGetGlobalMatchBySubject(const Appt& item);
  bool fnAppointmentsDiffer(const Appt& item1, const Appt& item2);
  // The processed appointment replaces its counterpart only when strictly newer.
  static bool fnIsNewer(const Appt& item, const Appt& counterpart);
  // A copy of item moved into destination; a copy that cannot be moved is deleted again.
  // False (with the error pending) when it failed.
  bool CopyToFolder(const Appt& item, const Folder& destination);
  // A fresh copy of item takes its counterpart's place in destination. In the Global Calendar
  // the counterpart is deleted only once the copy stands there (if it cannot be deleted the
  // copy goes again); in the Local Calendar it is deleted first, and a copy that then fails
  // is made by the next global pass.
  bool ReplaceInFolder(const Appt& item, const Appt& counterpart, const Folder& destination);
  void oLocalItems_ItemAdd(const Appt& item);
  void oGlobalItems_ItemAdd(const Appt& item);
  void oLocalItems_ItemChange(const Appt& item);
  void oGlobalItems_ItemChange(const Appt& item);
  // ---- The passes
  void oProcessGlobalFolders();
  void oProcessLocalFolders();
  void oCheckLocVsGlbDels();

  // ---- Timed runs
  void tcTimer_TimerCB();

  // ---- Toolbar, commands and host events
  using Button = com::Ref<office::CommandBarButton>;
  void oExplorer_BeforeFolderSwitch(const Folder& NewFolder, bool& Cancel);
  void oExplorer_Close();
  void oSyncFromGlobalBHandler_Click(const Button& Ctrl, bool& CancelDefault);
  void oSyncFromLocalBHandler_Click(const Button& Ctrl, bool& CancelDefault);
  void oPrintCalendarBHandler_Click(const Button& Ctrl, bool& CancelDefault);
  void oSetApptSettingsBHandler_Click(const Button& Ctrl, bool& CancelDefault);
  void oApplication_OptionsPagesAdd(const com::Ref<outlook::PropertyPages>& Pages);
  void oNS_OptionsPagesAdd(const com::Ref<outlook::PropertyPages>& Pages, const Folder& Folder);

  // ---- Deleting on the user's word
  void oSyncDeleteBHandler_Click(const com::ObjectPtr& ctrl = nullptr, bool* cancelDefault = nullptr);
  void SyncDeleteFromGlobal(const Appt& item);
  void SyncDeleteFromLocal(const Appt& item);
  void SetPromptDeleteRetVal(int16_t value);
  void SetPromptDelete(int16_t value);

  // ---- Choosing and preparing the calendars
  void ResolveGlobalCalendar();
  void ResolveLocalCalendar();
  void BrowsePublicFolders();
  void BrowseLocalFolders();
  void UpgradeGlobalCalendar();
  void UpgradeLocalCalendar();
  void SetGlobalFolderPath(const std::string& path);
  void SetLocalFolderPath(const std::string& path);
  std::array<std::string, 27> strGlobalPath;  // the path's elements, one slot each
  std::array<std::string, 6> strLocalPath;

  // Keeps the calendars' item collections and listens to their events (WithEvents).
  void SetLocalItems(com::Ref<outlook::Items> items);
  void SetGlobalItems(com::Ref<outlook::Items> items);

  // ---- Settings, one field per registry value
  int16_t CalToolbar = 0, PromptDelete = 0, SyncAccepted = 0, ShowOwner = 0, PromptErrors = 0, GlobalOwner = 0;
  std::string GlobalCalendar, GlobalCalEntryID, GStoreEntryID;
  std::string LocalCalendar, LocalCalEntryID, LStoreEntryID;
  int16_t RefreshRate = 0, NoOfDays = 0, UpdBoth = 0, UpdGlobalOnly = 0, UpdLocalOnly = 0;
  int16_t GUpgraded = 0, LUpgraded = 0, LUpgraded2 = 0, TBUpgraded = 0;

  // ---- Shared state
  int16_t iSyncDirection = 0;  // 1 both, 2 global to local, 3 local to global, 0 none
  bool bBusy = false, bShuttingDown = false, bTimerBusy = false, bIgnoreItemAdd = false, bSkipUntilOwner = false;
  int32_t lTickCount = 0;
  int16_t iPromptDeleteRetVal = 0;
  int16_t iErrorCount = 0, iSameEntryIdCount = 0;  // of the pass that runs
  std::string strVersion;
  std::string strLogFolder;
  std::string oSelectedAddress;

  // ---- Host objects held from start-up to shutdown
  com::Ref<outlook::Application> oApplication;
  com::Ref<outlook::NameSpace> oNS;
  com::Ref<outlook::Folders> oRootFolders;
  Folder oGlobalCalendar, oLocalCalendar;
  com::Ref<outlook::Items> oGlobalItems, oLocalItems;
  com::Ref<outlook::Explorer> oExplorer;
  com::ObjectPtr oAdminPage;
  std::shared_ptr<FolderBrowserForm> Form2;  // the folder browser, once it has been opened
  std::shared_ptr<TimerClass> tcTimer;
  com::Ref<office::CommandBar> oCalToolbar;  // only while the toolbar is being set up
  Button oSyncFromGlobalBHandler, oSyncFromLocalBHandler, oSyncDeleteBHandler, oPrintCalendarBHandler;
  std::shared_ptr<PrintCalForm> dlgPrintCal;  // shown without waiting; open until it unloads
  std::shared_ptr<ApptOptionsForm> dlgApptOptions;  // likewise

  com::ErrObject Err;

 private:
  void DeclareMembers();
  void ResetState();
  void ReleaseHostObjects();
  // Start-up with both calendars configured: false when one of them is missing, which ends
  // start-up without timer and toolbar.
  bool StartWithCalendars(com::ResumeNext& run);
  void EnableToolbar(com::ResumeNext& run);
  void StartTimer(com::ResumeNext& run);
  // The toolbar set-up; at a folder switch without log lines, rebuild or registry write.
  void SetUpToolbar(bool atStartup);
  void BindButtons(const com::Ref<office::CommandBar>& bar);
  void ReleaseButtons();
  void AddOptionsPage(const com::Ref<outlook::PropertyPages>& pages, const std::string& operation);
  void WatchExplorer();
  int MsgBox(const std::string& prompt, unsigned style = win32::vbOKOnly, const std::string& title = "");
  void ShowModal(forms::Form& form);
  std::string NowDateText() const;
  std::string NowTimeText() const;
  std::string LogPath() const;
  // The calendar's appointments inside the passes' date window, in order of start; Nothing
  // when a restriction yields none. trailingBlank: the global pass's filter texts end in one.
  // The window's first and last day in the short date format: yesterday, today + NoOfDays.
  std::pair<std::string, std::string> WindowDates() const;
  // The offline test every pass makes between its steps: when the global store cannot be
  // reached, the pass's "Exchange Offline" line is traced and bBusy cleared. prefix: "<pass> - ".
  bool WentOffline(const std::string& prefix);
  // The handler of a pass's unexpected failures (the pass goes on with its next statement).
  std::function<void(const com::ErrObject&)> PassErrorHandler(const std::string& pass);
  com::Ref<outlook::Items> WindowedItems(const Folder& folder, bool trailingBlank,
                                         const std::function<void(const std::function<void()>&)>& run);
  // A trace line, its parts joined: written, and so built, only while "Debug Msgs" is on. A
  // pass traces a dozen lines for every appointment.
  template <typename... Parts>
  void Trace(const Parts&... parts) {
    if (PromptErrors == 0) return;
    std::string line;
    (line.append(std::string_view(parts)), ...);
    fnPostError(line);
  }
  // prefix, the value as the host shows it, "]": formatted only when the log is kept.
  void TraceValue(const std::string& prefix, const com::Variant& value);
  // Logs "An Error was encountered in <operation>!" with the error's number and text, each
  // line ended by a carriage return and line feed. A cleared error is no error: nothing is
  // written for it.
  void PostErrorReport(const std::string& operation, const com::ErrObject& error);
  void PostSubjectAndStart(const Appt& item);
  // A pass's always-written report of the pending error on one appointment; clears it.
  void ReportItemError(const std::string& subject, const Appt& item);
  struct TestAppointmentSteps;
  bool PrepareEmptyFolder(const Folder& folder, const TestAppointmentSteps& steps);
  Appt MatchByOrigEntryId(const std::string& operation, const Folder& folder, const Appt& item,
                          const std::string& foundLine);
  struct FlagSteps;
  template <size_t N>
  void ResolvePath(std::string& path, std::string& entryIdSetting, std::string& storeIdSetting, Folder& folder,
                   std::array<std::string, N>& slots, size_t limit, const char* entryIdName,
                   const char* storeIdName, const char* pathName);
  void Browse(bool global);
  bool UpgradeMarker(const Folder& folder, bool (QuorvaneClass::*check)(const Folder&),
                     bool (QuorvaneClass::*add)(const Folder&), int16_t& flag, const std::string& failure);
  bool SetProcessedFlag(const Appt& item, const FlagSteps& steps);

  win32::Environment& env_;
  RegistryCmds reg_;
  com::Subscription localItemAdd_, localItemChange_, globalItemAdd_, globalItemChange_;
  com::Subscription buttonClicks_[4];
  com::Subscription explorerClose_, explorerFolderSwitch_, applicationPagesAdd_, nsPagesAdd_;
};

}  // namespace quorvane
