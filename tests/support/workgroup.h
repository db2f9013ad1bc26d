#pragma once
// A workgroup in one process: every member with a profile of their own (registry file, log,
// mailbox store) and an add-in, all sharing one public-folders store file, on one clock.
#include <functional>
#include <memory>
#include <vector>

#include "addin/quorvane_class.h"
#include "platform/mapistore/faulty_store.h"
#include "platform/mapistore/mapi_application.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/win32/file_registry.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

class Workgroup;

class Member {
 public:
  // Both calendars chosen, both directions, not asked before deletions (PromptDelete 1).
  // A returning member finds their stores and settings as they left them.
  Member(Workgroup& group, const std::string& name, bool owner, bool returning = false);

  // The settings as the options page would leave them, with both calendars chosen.
  void Direction(int updBoth, int updGlobalOnly, int updLocalOnly);
  void LocalPass() { addin->oProcessLocalFolders(); }
  void GlobalPass() { addin->oProcessGlobalFolders(); }
  void SyncBoth() {
    LocalPass();
    GlobalPass();
  }

  com::Ref<outlook::AppointmentItem> Add(const std::string& subject, com::Date start, com::Date end,
                                         const std::string& body = "");
  // The member's view of an appointment by subject (Nothing when absent).
  com::Ref<outlook::AppointmentItem> FindLocal(const std::string& subject);
  com::Ref<outlook::AppointmentItem> FindGlobal(const std::string& subject);
  std::vector<std::string> LocalSubjects();
  std::vector<std::string> GlobalSubjects();
  std::string Log() const;

  std::string name, dir;
  win32::FileRegistry registry;
  win32::ScriptedUi ui;
  std::unique_ptr<win32::Environment> env;
  std::shared_ptr<mapistore::SqliteStore> mailboxFile;
  std::shared_ptr<mapistore::Store> publicFile;
  std::shared_ptr<mapistore::FaultyStore> mailbox, publicFolders;
  std::shared_ptr<mapistore::MapiSession> ns;
  std::shared_ptr<mapistore::MapiApplication> app;
  com::Ref<outlook::MAPIFolder> local, global;
  std::shared_ptr<quorvane::QuorvaneClass> addin;
};

// How a member opens the public folders, given the member's profile folder.
using PublicStoreOpener =
    std::function<std::shared_ptr<mapistore::Store>(const std::string& memberDir, const mapistore::DbServices&)>;

class Workgroup {
 public:
  explicit Workgroup(const std::string& parentDir = "/tmp");
  // Members open the public folders with opener instead of the shared store file, which the
  // first to join finds without a "Team" calendar and makes it.
  Workgroup(const std::string& parentDir, PublicStoreOpener opener);
  // A copy of a workgroup that everyone has left, its clock where that one's stopped: one
  // prepared state to start from again and again.
  Workgroup(const std::string& parentDir, Workgroup& left);
  ~Workgroup();
  Member& Join(const std::string& name, bool owner = false);
  Member& Rejoin(const std::string& name, bool owner = false);
  void Leave();  // every member closes their stores

  com::Date At(int month, int day, int hour = 0, int minute = 0) const {
    return com::Date::FromParts(2026, month, day, hour, minute, 0);
  }
  static std::vector<std::string> Subjects(const com::Ref<outlook::MAPIFolder>& folder);

  TempDir dir;
  win32::VirtualClock clock;
  win32::MessageLoop loop;
  std::vector<std::unique_ptr<Member>> members;
  PublicStoreOpener openPublic;
};

}  // namespace testing_support
