#pragma once
// One run of the mail-client stand-in on a profile: the platform services installed for
// the process, the class libraries registered, and the add-in loaded by class name.
#include <memory>
#include <optional>

#include "host/console_ui.h"
#include "host/profile.h"
#include "host/profile_lock.h"
#include "platform/com/extensibility.h"
#include "platform/mapistore/mapi_application.h"
#include "host/printer_module.h"
#include "platform/win32/environment.h"
#include "platform/win32/file_registry.h"

namespace host {

struct SessionOptions {
  std::optional<int> answer;
  bool interactive = false;
  int64_t minuteMs = 0;  // 0: real minutes; else one timer minute lasts this long
  std::string holder;      // the command, shown to a process that waits for the profile
  int lockWaitSeconds = 30;
  std::shared_ptr<FormActions> actions;  // --do
  win32::Ui* ui = nullptr;  // boxes and forms go here instead of the terminal (the window's)
};

// Write: the session runs the add-in or changes the profile, so it takes the profile first.
enum class Access { Read, Write };

class Session {
 public:
  Session(Profile profile, const SessionOptions& options, Access access);
  ~Session();

  const Profile& profile() const { return profile_; }
  win32::FileRegistry& registry() { return registry_; }
  ConsoleUi& ui() { return ui_; }
  win32::Environment& env() { return env_; }
  win32::Clock& clock() { return *clock_; }
  win32::MessageLoop& loop() { return loop_; }
  mapistore::MapiSession& ns() { return *ns_; }
  mapistore::MapiExplorer& explorer() { return *explorer_; }
  const std::shared_ptr<mapistore::MapiApplication>& application() { return application_; }
  // Why the public folders could not be opened; empty when they are open.
  const std::string& storeProblem() const { return storeProblem_; }
  PrinterModule& printers() { return printers_; }

  // Creates "QuorvaneDLL.QuorvaneClass" and connects it; false (with a line on stderr) when
  // the add-in cannot be created.
  bool ConnectAddIn();
  // The host has finished starting: the add-in finds its calendars.
  void StartAddIn();
  // Begin shutdown and disconnection, in the host's order.
  void DisconnectAddIn();
  // The host's window closes: the explorer's Close, then shutdown and disconnection.
  void Close();
  const com::ObjectPtr& AddIn() const { return addIn_; }

 private:
  Profile profile_;
  std::unique_ptr<ProfileLock> lock_;  // held until every store and file is closed
  win32::FileRegistry registry_;
  ConsoleUi ui_;
  std::unique_ptr<win32::Clock> clock_;
  win32::MessageLoop loop_;
  win32::Environment env_;
  std::string storeProblem_;
  std::shared_ptr<mapistore::MapiSession> ns_;
  std::shared_ptr<mapistore::MapiExplorer> explorer_;
  std::shared_ptr<mapistore::MapiApplication> application_;
  PrinterModule printers_;  // loaded when first asked for
  com::ObjectPtr addIn_;
};

extern const char* const kAddInKey;  // where the profile registers the add-in
// Registers QuorvaneDLL.QuorvaneClass in the profile, to be loaded at start.
void RegisterAddIn(win32::Registry& registry);

// The folder that holds this program and its class libraries.
std::string ProgramDirectory();
void RegisterClassLibraries();

}  // namespace host
