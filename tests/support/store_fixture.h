#pragma once
// Two stores as a member sees them: a mailbox with its "Calendar", and the public folders
// with "All Public Folders|Team". Both can fail on demand; the clock stands at 10 March 2026.
#include <memory>

#include <gtest/gtest.h>

#include "platform/mapistore/faulty_store.h"
#include "platform/mapistore/mapi_application.h"
#include "platform/mapistore/mapi_session.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/outlook/items.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

class StoreFixture : public ::testing::Test {
 protected:
  StoreFixture();

  com::Date At(int month, int day, int hour = 0, int minute = 0) const {
    return com::Date::FromParts(2026, month, day, hour, minute, 0);
  }
  // A saved appointment in folder.
  com::Ref<outlook::AppointmentItem> AddAppt(const com::Ref<outlook::MAPIFolder>& folder, const std::string& subject,
                                             com::Date start, com::Date end);
  std::vector<std::string> Subjects(const com::Ref<outlook::Items>& items);

  TempDir dir;
  win32::VirtualClock clock;
  win32::MessageLoop loop;
  std::shared_ptr<mapistore::SqliteStore> mailboxFile, publicFile;
  std::shared_ptr<mapistore::FaultyStore> mailbox, publicFolders;
  std::shared_ptr<mapistore::MapiSession> ns;
  std::shared_ptr<mapistore::MapiExplorer> explorer;
  std::shared_ptr<mapistore::MapiApplication> app;
  com::Ref<outlook::MAPIFolder> calendar, team;
};

}  // namespace testing_support
