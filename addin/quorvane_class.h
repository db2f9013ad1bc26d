#pragma once
// QuorvaneClass: the add-in object the host creates by class name. It carries the settings,
// the host objects in use and the flags that keep passes, timer and shutdown apart.
#include <cstdint>
#include <string>

#include "addin/registry_cmds.h"
#include "platform/com/com_object.h"
#include "platform/com/err_object.h"
#include "platform/com/extensibility.h"
#include "platform/com/ref.h"
#include "platform/win32/environment.h"

namespace quorvane {

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
  com::ObjectPtr oNameSpace() const { return oNS; }
  // Copies the settings into the options page's preference properties.
  void fnSetPagePrefs();

  // ---- Error log
  com::Variant fnCreateErrorLog();
  com::Variant fnPostError(const std::string& text);

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
  std::string strVersion;
  std::string strLogFolder;
  std::string oSelectedAddress;

  // ---- Host objects held from start-up to shutdown
  com::ObjectPtr oApplication;
  com::ObjectPtr oNS;
  com::ObjectPtr oAdminPage;

  com::ErrObject Err;

 private:
  void DeclareMembers();
  void ResetState();
  void ReleaseHostObjects();
  int MsgBox(const std::string& prompt, unsigned style = win32::vbOKOnly, const std::string& title = "");
  std::string NowDateText() const;
  std::string NowTimeText() const;
  std::string LogPath() const;

  win32::Environment& env_;
  RegistryCmds reg_;
};

}  // namespace quorvane
