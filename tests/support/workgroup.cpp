#include "tests/support/workgroup.h"

#include <algorithm>
#include <filesystem>

#include "platform/outlook/items.h"

namespace testing_support {

Workgroup::Workgroup(const std::string& parentDir)
    : dir(parentDir), clock(com::Date::FromParts(2026, 3, 10, 9, 30, 0)), loop(clock) {
  auto pub = mapistore::SqliteStore::Create(dir / "public.store", "Public Folders", clock);
  auto all = pub->AddFolder(pub->Root().id, "All Public Folders", 0);
  pub->AddFolder(all.id, "Team", 1);
}

Workgroup::Workgroup(const std::string& parentDir, PublicStoreOpener opener)
    : dir(parentDir), clock(com::Date::FromParts(2026, 3, 10, 9, 30, 0)), loop(clock), openPublic(std::move(opener)) {}

Workgroup::Workgroup(const std::string& parentDir, Workgroup& left)
    : dir(parentDir), clock(left.clock.Now()), loop(clock) {
  std::filesystem::copy(left.dir.path(), dir.path(), std::filesystem::copy_options::recursive);
}

Workgroup::~Workgroup() { Leave(); }

void Workgroup::Leave() {
  for (auto& m : members) {
    if (m->addin->tcTimer) m->addin->tcTimer->SetEnable(false);  // before the loop goes
  }
  members.clear();
  win32::SetEnv(nullptr);  // it was the last member's
}

Member& Workgroup::Join(const std::string& name, bool owner) {
  members.push_back(std::make_unique<Member>(*this, name, owner));
  return *members.back();
}

Member& Workgroup::Rejoin(const std::string& name, bool owner) {
  members.push_back(std::make_unique<Member>(*this, name, owner, true));
  return *members.back();
}

std::vector<std::string> Workgroup::Subjects(const com::Ref<outlook::MAPIFolder>& folder) {
  std::vector<std::string> out;
  auto items = folder->Items();
  for (auto item = items->GetFirst(); item; item = items->GetNext()) out.push_back(item->Subject());
  std::sort(out.begin(), out.end());
  return out;
}

Member::Member(Workgroup& group, const std::string& who, bool owner, bool returning)
    : name(who), dir(group.dir / who), registry(group.dir / (who + "/registry.reg")) {
  std::filesystem::create_directories(dir + "/WINDOWS/TEMP");
  env = std::make_unique<win32::Environment>(win32::Environment{registry, ui, group.clock, group.loop, dir + "/WINDOWS"});
  const mapistore::DbServices services{group.clock, &group.loop};
  if (returning) {
    mailboxFile = mapistore::SqliteStore::Open(dir + "/mailbox.store", services);
  } else {
    mailboxFile = mapistore::SqliteStore::Create(dir + "/mailbox.store", "Mailbox - " + who, services);
    mailboxFile->AddFolder(mailboxFile->Root().id, "Calendar", 1);
  }
  if (group.openPublic) {
    publicFile = group.openPublic(dir, services);
    const int64_t all = publicFile->SubFolders(publicFile->Root().id).at(0).id;
    if (publicFile->SubFolders(all).empty()) publicFile->AddFolder(all, "Team", 1);
  } else {
    publicFile = mapistore::SqliteStore::Open(group.dir / "public.store", services);
  }
  mailbox = std::make_shared<mapistore::FaultyStore>(mailboxFile);
  publicFolders = std::make_shared<mapistore::FaultyStore>(publicFile);
  ns = std::make_shared<mapistore::MapiSession>(&group.loop);
  ns->AddStore(mailbox);
  ns->AddStore(publicFolders);
  ns->SetDefaultCalendar(mailbox, mailboxFile->SubFolders(mailboxFile->Root().id).at(0).id);
  app = std::make_shared<mapistore::MapiApplication>(ns, std::make_shared<mapistore::MapiExplorer>());
  local = ns->Folders()->Item("Mailbox - " + who)->Folders()->Item("Calendar");
  global = ns->Folders()->Item("Public Folders")->Folders()->Item("All Public Folders")->Folders()->Item("Team");

  addin = std::make_shared<quorvane::QuorvaneClass>(*env);
  win32::SetEnv(env.get());
  com::Args custom;
  addin->OnConnection(app, 0, nullptr, custom);
  if (!returning) addin->CheckRegistryValues();  // the defaults written at the first start
  addin->oNS = ns;
  addin->GlobalOwner = owner ? 1 : 0;
  addin->PromptDelete = 1;  // "Don't ask me again": deletions carry over without a prompt
  Direction(1, 0, 0);
  if (returning) {
    // Recorded and prepared before: only the folders are opened again.
    addin->oGlobalCalendar = global;
    addin->oLocalCalendar = local;
    return;
  }
  // As the folder browser's OK does: resolve, record and prepare each calendar.
  addin->SetGlobalFolderPath("Public Folders|All Public Folders|Team");
  addin->SetLocalFolderPath("Mailbox - " + who + "|Calendar");
}

void Member::Direction(int updBoth, int updGlobalOnly, int updLocalOnly) {
  addin->UpdBoth = static_cast<int16_t>(updBoth);
  addin->UpdGlobalOnly = static_cast<int16_t>(updGlobalOnly);
  addin->UpdLocalOnly = static_cast<int16_t>(updLocalOnly);
}

com::Ref<outlook::AppointmentItem> Member::Add(const std::string& subject, com::Date start, com::Date end,
                                               const std::string& body) {
  auto item = app->CreateItem(1);
  item->SetSubject(subject);
  item->SetStart(start);
  item->SetEnd(end);
  item->SetBody(body);
  item->Save();
  return item;
}

static com::Ref<outlook::AppointmentItem> FindIn(const com::Ref<outlook::MAPIFolder>& folder,
                                                 const std::string& subject) {
  auto items = folder->Items();
  for (auto item = items->GetFirst(); item; item = items->GetNext()) {
    if (item->Subject() == subject) return item;
  }
  return nullptr;
}

com::Ref<outlook::AppointmentItem> Member::FindLocal(const std::string& subject) { return FindIn(local, subject); }
com::Ref<outlook::AppointmentItem> Member::FindGlobal(const std::string& subject) { return FindIn(global, subject); }
std::vector<std::string> Member::LocalSubjects() { return Workgroup::Subjects(local); }
std::vector<std::string> Member::GlobalSubjects() { return Workgroup::Subjects(global); }
std::string Member::Log() const { return ReadFile(dir + "/WINDOWS/TEMP/QZTErrLog.txt"); }

}  // namespace testing_support
