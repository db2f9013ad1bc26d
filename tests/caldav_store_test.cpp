// The public folders on a CalDAV server (a Radicale of the test's own): members on profiles of
// their own, as on machines of their own, meet only through the server.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>

#include <sqlite3.h>

#include "platform/caldav/caldav_store.h"
#include "platform/mapistore/mapi_appointment.h"
#include "platform/caldav/event_record.h"
#include "platform/com/com_error.h"
#include "platform/mapistore/store_errors.h"
#include "platform/outlook/outlook_enums.h"
#include "tests/support/radicale_server.h"
#include "tests/support/run_program.h"
#include "tests/support/sync_property.h"

using namespace testing_support;

namespace {

// Stops the server just before the k-th write reaches the store: the connection lost in the
// middle of a pass.
class StopsServer : public mapistore::StoreWrapper {
 public:
  StopsServer(std::shared_ptr<mapistore::Store> target, RadicaleServer& server, int atWrite)
      : StoreWrapper(std::move(target)), server_(server), left_(atWrite) {}
  mapistore::ItemRecord ImportItem(const mapistore::ItemRecord& item, int64_t folderId) override {
    Count();
    return StoreWrapper::ImportItem(item, folderId);
  }
  void SaveItem(mapistore::ItemRecord& item) override {
    Count();
    StoreWrapper::SaveItem(item);
  }

 private:
  void Count() {
    if (--left_ == 0) server_.Stop();
  }
  RadicaleServer& server_;
  int left_;
};

class CalDavStoreTest : public ::testing::Test {
 protected:
  PublicStoreOpener Opener(int stopAtWrite = 0) {
    return [this, stopAtWrite](const std::string& dir, const mapistore::DbServices& services) {
      std::shared_ptr<mapistore::Store> store = caldav::CalDavStore::Open(account, dir + "/public.replica", services);
      if (stopAtWrite) store = std::make_shared<StopsServer>(store, server, stopAtWrite);
      return store;
    };
  }
  // Every member in turn, a minute apart, until nothing changes.
  static void Settle(Workgroup& group) {
    for (int round = 0; round < 3; ++round) {
      for (auto& m : group.members) {
        group.clock.Advance(60000);
        m->SyncBoth();
      }
    }
  }

  RadicaleServer server;
  caldav::Account account = server.AccountOf("team");
};

TEST_F(CalDavStoreTest, AnAppointmentTravelsBetweenTwoMembersThroughTheServer) {
  Workgroup group("/tmp", Opener());
  Member& ann = group.Join("Ann", true);
  Member& bob = group.Join("Bob");
  ann.Add("Budget review", group.At(3, 12, 10), group.At(3, 12, 11), "bring figures");
  ann.SyncBoth();
  group.clock.Advance(60000);
  bob.SyncBoth();
  auto bobs = bob.FindLocal("Budget review");
  ASSERT_TRUE(bobs) << "Bob's local calendar: " << ::testing::PrintToString(bob.LocalSubjects());
  EXPECT_EQ(bobs->Body(), "bring figures");
  EXPECT_EQ(bobs->Start(), group.At(3, 12, 10));

  bobs->SetLocation("Room 4");
  bobs->Save();
  group.clock.Advance(60000);
  bob.SyncBoth();
  group.clock.Advance(60000);
  ann.SyncBoth();
  EXPECT_EQ(ann.FindLocal("Budget review")->Location(), "Room 4");
  // The global copy is one event: the same entry ID and modification time for both members.
  auto a = ann.FindGlobal("Budget review"), b = bob.FindGlobal("Budget review");
  EXPECT_EQ(a->EntryID(), b->EntryID());
  EXPECT_EQ(a->LastModificationTime(), b->LastModificationTime());
  EXPECT_EQ(ann.GlobalSubjects(), std::vector<std::string>{"Budget review"});
  EXPECT_EQ(bob.LocalSubjects(), std::vector<std::string>{"Budget review"});
}

TEST_F(CalDavStoreTest, ThreeMembersRandomWorkSettlesOverCalDav) {
  for (unsigned seed : {3u, 11u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RadicaleServer fresh;  // each seed on an empty server
    account = fresh.AccountOf("team");
    Workgroup group("/tmp", Opener());
    CheckCalendarsAgreeOnceThePassesSettle(group, seed, 30);
  }
}

TEST_F(CalDavStoreTest, AnotherClientsEventReachesEveryMemberAndOursReadBackElsewhere) {
  Workgroup group("/tmp", Opener());
  Member& ann = group.Join("Ann", true);
  Member& bob = group.Join("Bob");
  const std::string calendar = caldav::CalDavClient(account).Calendars(account.url).at(0).href;
  const std::string ics =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//other//EN\r\nBEGIN:VEVENT\r\nUID:other-1@example\r\n"
      "DTSTAMP:20260301T000000Z\r\nDTSTART:20260314T090000\r\nDTEND:20260314T100000\r\n"
      "SUMMARY:Made elsewhere\r\nLOCATION:Hall\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
  ASSERT_EQ(PlainRequest(account, "PUT", calendar + "other-1.ics", ics).status, 201) << calendar;
  ann.Add("Made here", group.At(3, 15, 14), group.At(3, 15, 15), "line one\nline two; with, marks");
  Settle(group);
  for (Member* m : {&ann, &bob}) {
    auto item = m->FindLocal("Made elsewhere");
    ASSERT_TRUE(item) << m->name << " has " << ::testing::PrintToString(m->LocalSubjects()) << ", global "
                      << ::testing::PrintToString(m->GlobalSubjects()) << "\n" << m->Log();
    EXPECT_EQ(item->Location(), "Hall");
    EXPECT_EQ(item->Start(), group.At(3, 14, 9));
    EXPECT_TRUE(m->FindLocal("Made here")) << m->name;
  }
  // A sync token the server does not know (its history lost): everything is listed again, and
  // what the replica holds is neither doubled nor lost.
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((bob.dir + "/public.replica").c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "UPDATE caldav_collections SET sync_token = 'http://radicale.org/ns/sync/0'", nullptr,
                           nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }
  ASSERT_EQ(PlainRequest(account, "PUT", calendar + "other-2.ics",
                         std::regex_replace(ics, std::regex("other-1|Made elsewhere"), "$& again")).status, 201);
  group.clock.Advance(60000);
  EXPECT_EQ(bob.GlobalSubjects(), (std::vector<std::string>{"Made elsewhere", "Made elsewhere again", "Made here"}));

  // python3-caldav reads what we wrote as any calendar program would.
  const std::string script = std::string(QUORVANE_SOURCE_DIR) + "/tests/caldav_second_client.py";
  const std::string cmd = "/usr/bin/python3 " + script + " " + account.url + " " + account.user + " " + account.password;
  FILE* p = ::popen(cmd.c_str(), "r");
  std::string out;
  char buf[512];
  while (p && std::fgets(buf, sizeof buf, p)) out += buf;
  ASSERT_EQ(p ? ::pclose(p) : -1, 0) << out;
  EXPECT_NE(out.find("Made here|2026-03-15 14:00:00|2026-03-15 15:00:00|line one\nline two; with, marks|"),
            std::string::npos) << out;
  EXPECT_NE(out.find("Made elsewhere|2026-03-14 09:00:00"), std::string::npos) << out;
  // The link every member's add-in reads travels with the event.
  EXPECT_NE(out.find("|" + ann.FindLocal("Made here")->UserProperties()->Find("OrigEntryId")->Value().ToString()),
            std::string::npos) << out;
}

TEST_F(CalDavStoreTest, ServerStoppedInThePassAndRestartedLosesAndDoublesNothing) {
  Workgroup group("/tmp", Opener(3));
  Member& ann = group.Join("Ann", true);
  for (int i = 1; i <= 5; ++i) ann.Add("A" + std::to_string(i), group.At(3, 11 + i, 9), group.At(3, 11 + i, 10));
  ann.SyncBoth();  // the server goes at the third write
  // Offline: the count fails, naming the server, and the passes change nothing.
  group.clock.Advance(60000);
  try {
    ann.global->Items()->Count();
    ADD_FAILURE() << "counted while the server is down";
  } catch (const com::ComError& e) {
    EXPECT_EQ(e.number(), mapistore::kErrNetwork);
    EXPECT_NE(e.description().find(server.Origin()), std::string::npos) << e.description();
  }
  ann.SyncBoth();
  EXPECT_EQ(ann.LocalSubjects().size(), 5u);

  server.Start();
  Member& bob = group.Join("Bob");
  Settle(group);
  const std::vector<std::string> all = {"A1", "A2", "A3", "A4", "A5"};
  EXPECT_EQ(ann.GlobalSubjects(), all);
  EXPECT_EQ(ann.LocalSubjects(), all);
  EXPECT_EQ(bob.LocalSubjects(), all);
  EXPECT_EQ(bob.GlobalSubjects(), all);
}

TEST_F(CalDavStoreTest, TwoMembersChangingOneAppointmentIsAConflictNotALoss) {
  Workgroup group("/tmp", Opener());
  Member& ann = group.Join("Ann", true);
  Member& bob = group.Join("Bob");
  ann.Add("Offsite", group.At(3, 20, 9), group.At(3, 20, 17));
  Settle(group);
  auto annsCopy = ann.FindGlobal("Offsite");
  auto bobsCopy = bob.FindGlobal("Offsite");
  annsCopy->SetLocation("Lakeside");
  annsCopy->Save();
  bobsCopy->SetLocation("Mountain hut");
  try {
    bobsCopy->Save();
    ADD_FAILURE() << "Bob's stale save went through";
  } catch (const com::ComError& e) {
    EXPECT_EQ(e.number(), mapistore::kErrObjectChanged);
  }
  group.clock.Advance(60000);
  EXPECT_EQ(bob.FindGlobal("Offsite")->Location(), "Lakeside");
  EXPECT_EQ(ann.FindGlobal("Offsite")->Location(), "Lakeside");
}

TEST_F(CalDavStoreTest, AnEditOfAnAppointmentFoundByAWalkKeepsItsLongBody) {
  Workgroup group("/tmp", Opener());
  Member& ann = group.Join("Ann", true);
  Member& bob = group.Join("Bob");
  const std::string minutes = "Minutes: " + std::string(600, 'm') + " end";
  ann.Add("Board meeting", group.At(3, 23, 9), group.At(3, 23, 12), minutes);
  Settle(group);
  auto bobsCopy = bob.FindGlobal("Board meeting");
  ASSERT_TRUE(bobsCopy);
  // As a walk over a calendar that is not in memory reads it: the body cut to its head.
  auto& record = std::dynamic_pointer_cast<mapistore::MapiAppointment>(bobsCopy.get())->Edit();
  record.fields.Set(outlook::ApptField::Body, com::Variant(minutes.substr(0, 255)));
  record.bodyCut = true;
  bobsCopy->SetLocation("Boardroom");
  bobsCopy->Save();
  group.clock.Advance(60000);
  auto annsCopy = ann.FindGlobal("Board meeting");
  EXPECT_EQ(annsCopy->Location(), "Boardroom");
  EXPECT_EQ(annsCopy->Body(), minutes);
}

TEST(CalDavEventTest, TheWholeAppointmentRoundTrips) {
  mapistore::ItemRecord r;
  r.entryId = "00000000ABCDEF";
  r.createdMs = 1'700'000'000'123;
  r.modifiedMs = 1'700'000'100'456;
  using outlook::ApptField;
  r.fields.Set(ApptField::Subject, com::Variant("Weekly; sync, \"all\""));
  r.fields.Set(ApptField::Body, com::Variant("two\nlines"));
  r.fields.Set(ApptField::Start, com::Variant(com::Date::FromParts(2026, 3, 10, 9, 0, 0)));
  r.fields.Set(ApptField::End, com::Variant(com::Date::FromParts(2026, 3, 10, 9, 30, 0)));
  r.fields.Set(ApptField::Categories, com::Variant("Red,Blue"));
  r.fields.Set(ApptField::Importance, com::Variant(int32_t{2}));
  r.fields.Set(ApptField::BillingInformation, com::Variant("cost centre 7; 50%"));
  r.fields.Set(ApptField::ReminderSet, com::Variant::Boolean(true));
  r.fields.Set(ApptField::ReminderMinutesBeforeStart, com::Variant(int32_t{25}));
  r.fields.Set(ApptField::ReplyTime, com::Variant(com::Date::FromParts(2026, 3, 1, 8, 0, 0)));
  r.fields.Set(ApptField::GlobalAppointmentID, com::Variant("g-1@quorvane"));
  r.fields.Set(ApptField::Sensitivity, com::Variant(int32_t{outlook::olPrivate}));
  r.fields.Set(ApptField::BusyStatus, com::Variant(int32_t{outlook::olTentative}));
  r.userProps = {{"OrigEntryId", outlook::olText, com::Variant("0000FACE")},
                 {"HasBeenProcessedQZT", outlook::olText, com::Variant("True")},
                 {"Custom name", outlook::olText, com::Variant("x;y")}};
  r.attachments = {{"plan.pdf", "The plan"}};
  r.recipients = {{"Bob", "bob@workgroup"}};
  r.links = {"Contact; one"};
  mapistore::RecurrenceRecord rec;
  rec.type = outlook::olRecursWeekly;
  rec.dayOfWeekMask = outlook::olTuesday;
  rec.patternStart = com::Date::FromParts(2026, 3, 10);
  rec.patternEnd = com::Date::FromParts(2026, 4, 28);
  outlook::OccurrenceChange moved;
  moved.originalDate = com::Date::FromParts(2026, 3, 17, 9, 0, 0);
  moved.start = com::Date::FromParts(2026, 3, 18, 10, 0, 0);
  moved.end = com::Date::FromParts(2026, 3, 18, 10, 30, 0);
  moved.subject = "Moved once";
  outlook::OccurrenceChange gone;
  gone.originalDate = com::Date::FromParts(2026, 3, 24, 9, 0, 0);
  gone.deleted = true;
  rec.exceptions = {moved, gone};
  r.recurrence = rec;

  const caldav::ServerEvent back = caldav::ReadServerEvent(caldav::EventText(r, "uid-1"), "/team/x.ics");
  EXPECT_EQ(back.uid, "uid-1");
  EXPECT_EQ(back.modifiedMs, r.modifiedMs);
  const mapistore::ItemRecord& b = back.item;
  EXPECT_EQ(b.entryId, r.entryId);
  EXPECT_EQ(b.createdMs, r.createdMs);
  for (const outlook::FieldInfo& f : outlook::StoredFields()) {
    EXPECT_EQ(b.Field(f.id).ToString(), r.Field(f.id).ToString()) << f.name;
  }
  ASSERT_EQ(b.userProps.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(b.userProps[i].name, r.userProps[i].name);
    EXPECT_EQ(b.userProps[i].value.ToString(), r.userProps[i].value.ToString());
  }
  ASSERT_EQ(b.attachments.size(), 1u);
  EXPECT_EQ(b.attachments[0].displayName, "The plan");
  EXPECT_EQ(b.recipients.at(0).address, "bob@workgroup");
  EXPECT_EQ(b.links, r.links);
  ASSERT_TRUE(b.recurrence);
  EXPECT_EQ(b.recurrence->dayOfWeekMask, rec.dayOfWeekMask);
  EXPECT_EQ(b.recurrence->patternEnd, rec.patternEnd);
  EXPECT_EQ(b.recurrence->exceptions, rec.exceptions);
}

}  // namespace

namespace {

// The program: profiles pointed at the server, a calendar made there, and back to a file.
TEST_F(CalDavStoreTest, ProfilesOnTheServerShareTheCalendarsMadeThere) {
  TempDir dir;
  WriteFile(dir / "password", account.password + "\n");
  auto init = [&](const std::string& who) {
    return RunQuorvane({"--profile", dir / who, "init", "--user", who, "--public-url", account.url, "--public-user",
                        account.user, "--public-password-file", dir / "password"});
  };
  ASSERT_EQ(init("Ann").status, 0) << init("Ann").err;
  const std::string team = "Public Folders|All Public Folders|Team Calendar";
  auto added = RunQuorvane({"--profile", dir / "Ann", "folder", "add", team});
  ASSERT_EQ(added.status, 0) << added.err;
  ASSERT_EQ(init("Bob").status, 0);
  EXPECT_NE(RunQuorvane({"--profile", dir / "Bob", "folder", "list"}).out.find(team + "  (0 appointments)"),
            std::string::npos);
  // The registry names the password's file, never the password; a URL holding one is refused.
  auto inUrl = RunQuorvane({"--profile", dir / "Dan", "init", "--user", "Dan", "--public-url",
                            "http://team:" + account.password + "@" + server.Origin().substr(7) + "/team/"});
  EXPECT_EQ(inUrl.status, 2) << inUrl.err;
  const std::string registry = ReadFile(dir / "Bob/registry.reg");
  EXPECT_EQ(registry.find(account.password), std::string::npos);
  EXPECT_NE(registry.find("\"PublicUrl\"=\"" + account.url + "\""), std::string::npos) << registry;

  // A server that does not answer refuses a new profile whole; a switch to no store changes nothing.
  server.Stop();
  auto refused = init("Cy");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find(server.Origin()), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "Cy"));
  ASSERT_EQ(RunQuorvane({"--profile", dir / "Bob", "public-folders", "--file", dir / "shared.store"}).status, 1);
  EXPECT_EQ(ReadFile(dir / "Bob/registry.reg"), registry);
  server.Start();
  ASSERT_EQ(RunQuorvane({"--profile", dir / "Cy", "init", "--user", "Cy", "--public", dir / "shared.store"}).status, 0);
  auto moved = RunQuorvane({"--profile", dir / "Bob", "public-folders", "--file", dir / "shared.store"});
  ASSERT_EQ(moved.status, 0) << moved.err;
  EXPECT_EQ(ReadFile(dir / "Bob/registry.reg").find("PublicUrl"), std::string::npos);
}

}  // namespace
