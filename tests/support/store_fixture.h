#pragma once
// Two stores as a member sees them: a mailbox with its "Calendar", and the public folders
// with "All Public Folders|Team". Both can fail on demand.
#include <memory>

#include <gtest/gtest.h>

#include "platform/mapistore/faulty_store.h"
#include "platform/mapistore/mapi_application.h"
#include "platform/mapistore/mapi_session.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/outlook/items.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

struct StoreWorld {
  StoreWorld(const std::string& dir, win32::Clock& clock, win32::MessageLoop& loop);

  // A saved appointment in folder.
  com::Ref<outlook::AppointmentItem> AddAppt(const com::Ref<outlook::MAPIFolder>& folder, const std::string& subject,
                                             com::Date start, com::Date end);
  static std::vector<std::string> Subjects(const com::Ref<outlook::Items>& items);

  std::shared_ptr<mapistore::SqliteStore> mailboxFile, publicFile;
  std::shared_ptr<mapistore::FaultyStore> mailbox, publicFolders;
  std::shared_ptr<mapistore::MapiSession> ns;
  std::shared_ptr<mapistore::MapiExplorer> explorer;
  std::shared_ptr<mapistore::MapiApplication> app;
  com::Ref<outlook::MAPIFolder> calendar, team;
};

// The stores alone, on a clock standing at 10 March 2026 09:30.
class StoreFixture : public ::testing::Test {
 protected:
  StoreFixture();

  com::Date At(int month, int day, int hour = 0, int minute = 0) const {
    return com::Date::FromParts(2026, month, day, hour, minute, 0);
  }
  com::Ref<outlook::AppointmentItem> AddAppt(const com::Ref<outlook::MAPIFolder>& folder, const std::string& subject,
                                             com::Date start, com::Date end) {
    return world.AddAppt(folder, subject, start, end);
  }
  std::vector<std::string> Subjects(const com::Ref<outlook::Items>& items) { return StoreWorld::Subjects(items); }

  TempDir dir;
  win32::VirtualClock clock;
  win32::MessageLoop loop;
  StoreWorld world;
  std::shared_ptr<mapistore::SqliteStore>& mailboxFile;
  std::shared_ptr<mapistore::SqliteStore>& publicFile;
  std::shared_ptr<mapistore::FaultyStore>& mailbox;
  std::shared_ptr<mapistore::FaultyStore>& publicFolders;
  std::shared_ptr<mapistore::MapiSession>& ns;
  std::shared_ptr<mapistore::MapiApplication>& app;
  com::Ref<outlook::MAPIFolder>& calendar;
  com::Ref<outlook::MAPIFolder>& team;
};

}  // namespace testing_support
