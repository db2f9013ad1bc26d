#include "tests/support/store_fixture.h"

#include "platform/outlook/outlook_enums.h"

namespace testing_support {

StoreWorld::StoreWorld(const std::string& dir, win32::Clock& clock, win32::MessageLoop& loop) {
  mailboxFile = mapistore::SqliteStore::Create(dir + "/mailbox.store", "Mailbox - Ann", mapistore::DbServices{clock, &loop});
  mailboxFile->AddFolder(mailboxFile->Root().id, "Calendar", 1);
  publicFile = mapistore::SqliteStore::Create(dir + "/public.store", "Public Folders",
                                             mapistore::DbServices{clock, &loop}, outlook::olPostItem);
  auto all = publicFile->AddFolder(publicFile->Root().id, "All Public Folders", 0);
  publicFile->AddFolder(all.id, "Team", 1);
  mailbox = std::make_shared<mapistore::FaultyStore>(mailboxFile);
  publicFolders = std::make_shared<mapistore::FaultyStore>(publicFile);
  ns = std::make_shared<mapistore::MapiSession>(&loop);
  ns->AddStore(mailbox);
  ns->AddStore(publicFolders);
  ns->SetDefaultCalendar(mailbox, mailboxFile->SubFolders(mailboxFile->Root().id).at(0).id);
  explorer = std::make_shared<mapistore::MapiExplorer>();
  app = std::make_shared<mapistore::MapiApplication>(ns, explorer);
  calendar = ns->Folders()->Item("Mailbox - Ann")->Folders()->Item("Calendar");
  team = ns->Folders()->Item("Public Folders")->Folders()->Item("All Public Folders")->Folders()->Item("Team");
}

com::Ref<outlook::AppointmentItem> StoreWorld::AddAppt(const com::Ref<outlook::MAPIFolder>& folder,
                                                       const std::string& subject, com::Date start, com::Date end) {
  auto item = app->CreateItem(1);
  item->SetSubject(subject);
  item->SetStart(start);
  item->SetEnd(end);
  item->Save();
  if (folder->EntryID() != calendar->EntryID()) item = item->Move(folder);
  return item;
}

std::vector<std::string> StoreWorld::Subjects(const com::Ref<outlook::Items>& items) {
  std::vector<std::string> out;
  for (auto item = items->GetFirst(); item; item = items->GetNext()) out.push_back(item->Subject());
  return out;
}

StoreFixture::StoreFixture()
    : clock(com::Date::FromParts(2026, 3, 10, 9, 30, 0)),
      loop(clock),
      world(dir.path(), clock, loop),
      mailboxFile(world.mailboxFile),
      publicFile(world.publicFile),
      mailbox(world.mailbox),
      publicFolders(world.publicFolders),
      ns(world.ns),
      app(world.app),
      calendar(world.calendar),
      team(world.team) {}

}  // namespace testing_support
