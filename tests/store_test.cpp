// The calendar store: identity and time rules, copies and moves, filters, events and faults.
#include <gtest/gtest.h>

#include "platform/com/com_error.h"
#include "platform/com/err_object.h"
#include "platform/mapistore/filter.h"
#include "platform/mapistore/mapi_appointment.h"
#include "platform/mapistore/mapi_folder.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/mapistore/store_errors.h"
#include "platform/outlook/outlook_enums.h"
#include "tests/support/store_fixture.h"

using namespace testing_support;
using mapistore::StoreOp;

namespace {

using Strings = std::vector<std::string>;

long ErrorOf(const std::function<void()>& f) {
  com::ErrObject err;
  err.Try(f);
  return err.Number();
}

std::string DescriptionOf(const std::function<void()>& f) {
  com::ErrObject err;
  err.Try(f);
  return err.Description();
}

class StoreTest : public StoreFixture {};

TEST_F(StoreTest, CopyIsANewItemInTheSameFolderWithEveryProperty) {
  auto item = AddAppt(calendar, "Planning", At(3, 11, 9), At(3, 11, 10));
  item->SetBody("Agenda");
  item->Attachments()->Add("/tmp/notes.txt");
  item->UserProperties()->Add("OrigEntryId", outlook::olText, true)->SetValue(item->EntryID());
  item->Save();

  auto copy = item->Copy();
  EXPECT_NE(item->EntryID(), copy->EntryID());
  EXPECT_EQ(calendar->EntryID(), copy->Parent()->EntryID());
  EXPECT_EQ("Agenda", copy->Body());
  EXPECT_EQ("notes.txt", copy->Attachments()->Item(1)->FileName());
  ASSERT_TRUE(copy->UserProperties()->Find("origentryid"));
  EXPECT_EQ(item->EntryID(), copy->UserProperties()->Find("OrigEntryId")->Value().ToString());
  EXPECT_EQ(2, calendar->Items()->Count());
}

// An item the store remembers whole (read by its ID, or just saved) is found by a lookup as
// well as the ones the lookup reads: missed, a pass would take it for gone and copy it again.
TEST_F(StoreTest, ALookupFindsItemsTheStoreRememberedBefore) {
  std::vector<std::string> ids;
  for (int i = 0; i < 40; ++i) {
    auto item = AddAppt(team, "Planning " + std::to_string(i), At(3, 11, 9), At(3, 11, 10));
    item->UserProperties()->Add("OrigEntryId", outlook::olText, true)->SetValue("link-" + std::to_string(i));
    item->SetBody(std::string(300, 'x'));  // read in part by a lookup, whole by its ID
    item->Save();
    ids.push_back(item->EntryID());
  }
  loop.RunFor(0);
  for (int i = 0; i < 40; i += 2) ns->GetItemFromID(ids[static_cast<size_t>(i)]);
  for (int i = 0; i < 40; ++i) {
    auto found = team->Items()->Restrict("[OrigEntryId] = \"link-" + std::to_string(i) + "\"")->GetFirst();
    ASSERT_TRUE(found) << i;
    EXPECT_EQ(ids[static_cast<size_t>(i)], found->EntryID());
  }
}

// A pass's lookups share the items the store remembers: what one found item is changed to, and
// not saved, no other lookup of it sees, nor what the store then saves.
TEST_F(StoreTest, ItemsFoundByALookupAreTheirOwnOnceChanged) {
  auto item = AddAppt(team, "Planning", At(3, 11, 9), At(3, 11, 10));
  item->UserProperties()->Add("OrigEntryId", outlook::olText, true)->SetValue("link-1");
  item->Save();
  auto lookUp = [&] { return team->Items()->Restrict("[OrigEntryId] = \"link-1\"")->GetFirst(); };
  auto first = lookUp();
  ASSERT_TRUE(first);
  first->SetSubject("Changed, not saved");
  first->UserProperties()->Find("OrigEntryId")->SetValue("link-2");
  first->Attachments()->Add("/tmp/notes.txt");
  first->GetRecurrencePattern()->SetInterval(2);

  auto second = lookUp();
  ASSERT_TRUE(second) << "the remembered link is unchanged";
  EXPECT_EQ("Planning", second->Subject());
  EXPECT_EQ("link-1", second->UserProperties()->Find("OrigEntryId")->Value().ToString());
  EXPECT_EQ(0, second->Attachments()->Count());
  EXPECT_FALSE(second->IsRecurring());

  second->SetLocation("Room 2");
  second->Save();
  EXPECT_EQ("Changed, not saved", first->Subject()) << "the other object keeps its own changes";
  EXPECT_EQ("", first->Location());
  auto third = lookUp();
  EXPECT_EQ("Room 2", third->Location());
  EXPECT_EQ("Planning", third->Subject());
}

// A copy waits in memory until its store is looked at or the loop turns; nobody may notice.
TEST_F(StoreTest, AWaitingCopyIsThereForWhoeverLooksAndStoredAtTheLoopsTurn) {
  auto item = AddAppt(calendar, "Planning", At(3, 11, 9), At(3, 11, 10));
  auto copy = item->Copy();
  copy->UserProperties()->Add("HasBeenProcessedQZT", outlook::olText, true)->SetValue("True");
  copy->Save();
  auto found = ns->GetItemFromID(copy->EntryID());
  ASSERT_TRUE(found) << "looked for, it is stored first";
  EXPECT_EQ("True", found->UserProperties()->Find("HasBeenProcessedQZT")->Value().ToString());
  copy->SetLocation("Room 2");
  copy->Save();  // the object keeps working once its copy is stored
  EXPECT_EQ("Room 2", ns->GetItemFromID(copy->EntryID())->Location());

  auto unmoved = item->Copy();
  mapistore::ItemQuery q;
  q.folderId = mailboxFile->SubFolders(mailboxFile->Root().id).at(0).id;
  EXPECT_EQ(2u, mailboxFile->QueryItems(q).size()) << "the file has not seen the new copy yet";
  loop.DoEvents();
  EXPECT_EQ(3u, mailboxFile->QueryItems(q).size());
  EXPECT_EQ(unmoved->Subject(), ns->GetItemFromID(unmoved->EntryID())->Subject());

  // Copied, saved and moved at once: the copy never touches the store it was made in.
  auto moved = item->Copy();
  moved->SetBody("Carried");
  moved->Save();
  const com::Date saved = moved->LastModificationTime();
  auto arrived = moved->Move(team);
  EXPECT_EQ("Carried", arrived->Body());
  EXPECT_EQ(saved, arrived->LastModificationTime());
  loop.DoEvents();
  EXPECT_EQ(3u, mailboxFile->QueryItems(q).size());
  EXPECT_EQ(3, calendar->Items()->Count());

  auto dropped = item->Copy();
  dropped->Delete();
  EXPECT_EQ(3, calendar->Items()->Count());
}

// A save writes only what changed; what it leaves must read back exactly as before.
TEST_F(StoreTest, SavingSomePropertiesKeepsTheOthersAndTheirOrder) {
  auto item = AddAppt(calendar, "Props", At(3, 11, 9), At(3, 11, 10));
  for (const char* name : {"A", "B", "C"}) item->UserProperties()->Add(name, outlook::olText, false)->SetValue(name);
  item->Attachments()->Add("/tmp/one.txt");
  item->Save();
  item->UserProperties()->Find("B")->SetValue("b2");
  item->UserProperties()->Add("D", outlook::olText, false)->SetValue("d");
  item->Save();
  auto read = [&] {
    std::string out;
    auto fresh = ns->GetItemFromID(item->EntryID());
    for (int i = 1; i <= fresh->UserProperties()->Count(); ++i) {
      out += fresh->UserProperties()->Item(i)->Name() + "=" + fresh->UserProperties()->Item(i)->Value().ToString() + " ";
    }
    return out + fresh->Attachments()->Item(1)->FileName();
  };
  EXPECT_EQ("A=A B=b2 C=C D=d one.txt", read());
  item->UserProperties()->Remove(1);
  item->Save();
  EXPECT_EQ("B=b2 C=C D=d one.txt", read());
}

// A part's place is its own, not the order its table keeps rows in (user properties by name).
TEST_F(StoreTest, PartsComeBackInTheOrderTheyWereAddedHoweverTheItemIsRead) {
  auto item = AddAppt(calendar, "Parts", At(3, 11, 9), At(3, 11, 10));
  for (const char* name : {"Zeta", "Alpha", "Mid"}) item->UserProperties()->Add(name, outlook::olText, true)->SetValue(name);
  for (const char* file : {"/tmp/z.txt", "/tmp/a.txt", "/tmp/m.txt"}) item->Attachments()->Add(file);
  item->Recipients()->Add("Zoe");
  item->Recipients()->Add("Adam");
  item->Save();
  loop.RunFor(0);
  auto parts = [](const mapistore::ItemRecord& r) {
    std::string out;
    for (const auto& p : r.userProps) out += p.name + "=" + p.value.ToString() + " ";
    for (const auto& a : r.attachments) out += a.fileName + " ";
    for (const auto& x : r.recipients) out += x.name + " ";
    return out;
  };
  const std::string added = "Zeta=Zeta Alpha=Alpha Mid=Mid z.txt a.txt m.txt Zoe Adam ";
  auto fresh = [&] { return mapistore::SqliteStore::Open(dir / "mailbox.store", mapistore::DbServices{clock, &loop}); };
  auto byId = fresh();
  const int64_t id = *byId->FindItem(item->EntryID());
  const auto whole = byId->LoadItem(id);
  ASSERT_TRUE(whole);
  EXPECT_EQ(added, parts(*whole));
  EXPECT_EQ(added, parts(*fresh()->LoadItemsById({id}, true).at(0))) << "as a walk reads it";
  auto lookup = fresh();
  mapistore::ItemQuery q;
  q.folderId = whole->folderId;
  q.filters.push_back(mapistore::ParseFilter("[Mid] = \"Mid\""));
  const std::vector<int64_t> found = lookup->QueryItems(q);
  ASSERT_EQ(std::vector<int64_t>{id}, found);
  EXPECT_EQ(added, parts(*lookup->LoadItemsById(found, true).at(0))) << "as a lookup reads it";
}

TEST_F(StoreTest, MoveToAnotherStoreGivesANewEntryIdAndLeavesNothingBehind) {
  auto item = AddAppt(calendar, "Review", At(3, 12, 14), At(3, 12, 15));
  const std::string before = item->EntryID();
  auto moved = item->Move(team);
  EXPECT_NE(before, moved->EntryID());
  EXPECT_EQ(team->EntryID(), moved->Parent()->EntryID());
  EXPECT_EQ(0, calendar->Items()->Count());
  EXPECT_EQ(mapistore::kErrNotFound, ErrorOf([&] { item->Subject(); })) << "the old object is gone";

  auto other = ns->Folders()->Item("Mailbox - Ann")->Folders()->Add("Archive", 1);
  auto second = AddAppt(calendar, "Local move", At(3, 12), At(3, 12, 1));
  EXPECT_EQ(second->EntryID(), second->Move(other)->EntryID()) << "within one store the ID stays";
}

TEST_F(StoreTest, EverySaveMovesTheModificationTimeStrictlyForward) {
  auto item = AddAppt(calendar, "Twice", At(3, 11), At(3, 11, 1));
  const com::Date first = item->LastModificationTime();
  item->SetLocation("Room 1");
  item->Save();  // the virtual clock has not moved
  const com::Date second = item->LastModificationTime();
  EXPECT_LT(first, second);
  clock.Advance(5000);
  item->Save();
  EXPECT_EQ(clock.Now(), item->LastModificationTime());
  auto fresh = ns->GetItemFromID(item->EntryID());
  EXPECT_EQ(item->LastModificationTime(), fresh->LastModificationTime()) << "kept at sub-second precision";
}

TEST_F(StoreTest, UserPropertiesBecomeFolderFieldsAndOnlyThoseCanBeFiltered) {
  auto item = AddAppt(team, "Linked", At(3, 11), At(3, 11, 1));
  EXPECT_TRUE(item->UserProperties()->Find("OrigEntryId").IsNothing());
  const long unknown = ErrorOf([&] { team->Items()->Restrict("[OrigEntryId] = \"X\""); });
  EXPECT_EQ(mapistore::kErrBadCondition, unknown) << "not a folder field yet";

  item->UserProperties()->Add("OrigEntryId", outlook::olText, true)->SetValue("ABC");
  item->Save();
  EXPECT_TRUE(team->HasField("OrigEntryId"));
  EXPECT_EQ(1, team->Items()->Restrict("[OrigEntryId] = \"abc\"")->Count());
  EXPECT_EQ(0, team->Items()->Restrict("[OrigEntryId] = \"ABD\"")->Count());

  // A field added without the folder option stays the item's own.
  item->UserProperties()->Add("Private", outlook::olText, false)->SetValue("x");
  item->Save();
  EXPECT_FALSE(team->HasField("Private"));
}

TEST_F(StoreTest, LookupByFolderFieldUsesAnIndex) {
  mapistore::ItemQuery q;
  q.folderId = publicFile->SubFolders(publicFile->SubFolders(publicFile->Root().id)[0].id)[0].id;
  publicFile->AddUserProperty(q.folderId, "OrigEntryId", 1, true);
  q.filters.push_back(mapistore::ParseFilter("[OrigEntryId] = \"0000ABC\""));
  const std::string plan = publicFile->ExplainQuery(q);
  EXPECT_NE(std::string::npos, plan.find("user_props_by_value")) << plan;
  EXPECT_EQ(std::string::npos, plan.find("SCAN")) << plan;
  EXPECT_NE(std::string::npos, plan.find("SEARCH items USING INTEGER PRIMARY KEY")) << plan;
}

TEST_F(StoreTest, TheDateWindowOfThePassesKeepsItsEdges) {
  // NoOfDays 30 on 10 March: from 9 March to 9 April, both given as short dates.
  AddAppt(calendar, "ends on the last day", At(4, 8, 23), At(4, 9, 0));
  AddAppt(calendar, "ends the evening before", At(4, 8, 22), At(4, 8, 23));
  AddAppt(calendar, "ends on the first day", At(3, 8, 23), At(3, 9, 0));
  AddAppt(calendar, "ends just after the first day began", At(3, 9, 0), At(3, 9, 0, 30));
  AddAppt(calendar, "far away", At(6, 1, 9), At(6, 1, 10));
  auto series = AddAppt(calendar, "weekly since last year", com::Date::FromParts(2025, 1, 6, 9, 0, 0),
                        com::Date::FromParts(2025, 1, 6, 10, 0, 0));
  series->GetRecurrencePattern()->SetRecurrenceType(outlook::olRecursWeekly);
  series->Save();

  auto level1 = calendar->Items()->Restrict("[End] < \"4/9/2026\" Or [Recurrence] <> \"(none)\" ");
  auto level2 = level1->Restrict("[End] > \"3/9/2026\" Or [Recurrence] <> \"(none)\"");
  level2->Sort("[Start]");
  EXPECT_EQ((Strings{"weekly since last year", "ends just after the first day began", "ends the evening before"}),
            Subjects(level2));
  EXPECT_EQ(3, level2->Count());
}

TEST_F(StoreTest, FiltersCombineAndReportWhereTheyFail) {
  AddAppt(calendar, "QZT 2.2.0.5", At(3, 10), At(3, 10));
  AddAppt(calendar, "Other", At(3, 11), At(3, 11, 1));
  EXPECT_EQ(1, calendar->Items()->Restrict("[Subject] = \"qzt 2.2.0.5\"")->Count());
  EXPECT_EQ(2, calendar->Items()->Restrict("([Subject] = \"Other\" Or [Sensitivity] = 0) And Not [AllDayEvent] = True")->Count());

  const std::string bad = DescriptionOf([&] { calendar->Items()->Restrict("[End] < \"3/10/2026\" Or [Start] >"); });
  EXPECT_NE(std::string::npos, bad.find("position 33")) << bad;
  EXPECT_NE(std::string::npos, DescriptionOf([&] { calendar->Items()->Restrict("[End] < \"13/45/2026\""); })
                                   .find("not a date"));
  EXPECT_EQ(mapistore::kErrBadCondition, ErrorOf([&] { calendar->Items()->Restrict("[Nonsense] = \"1\""); }));
}

TEST_F(StoreTest, EnumerationSurvivesDeletionsAndAdditions) {
  for (int i = 1; i <= 4; ++i) AddAppt(calendar, "A" + std::to_string(i), At(3, 10 + i), At(3, 10 + i, 1));
  auto items = calendar->Items();
  items->Sort("[Start]");
  Strings seen;
  for (auto item = items->GetFirst(); item; item = items->GetNext()) {
    seen.push_back(item->Subject());
    if (item->Subject() == "A1") {
      items->Item(2)->Delete();  // A2 goes while the walk is on
      AddAppt(calendar, "A0", At(3, 1), At(3, 1, 1));
      item->Copy();
    }
  }
  EXPECT_EQ((Strings{"A1", "A3", "A4"}), seen);
}

TEST_F(StoreTest, EventsArriveThroughTheMessageLoopAfterTheOperation) {
  Strings added, changed;
  auto addSub = team->Items()->OnItemAdd([&](const com::Ref<outlook::AppointmentItem>& i) { added.push_back(i->Subject()); });
  auto changeSub =
      team->Items()->OnItemChange([&](const com::Ref<outlook::AppointmentItem>& i) { changed.push_back(i->Subject()); });
  auto item = AddAppt(team, "Arrives", At(3, 11), At(3, 11, 1));
  item->SetLocation("Hall");
  item->Save();
  EXPECT_TRUE(added.empty()) << "never inside the Move or Save";
  loop.DoEvents();
  EXPECT_EQ((Strings{"Arrives"}), added);
  EXPECT_EQ((Strings{"Arrives"}), changed);

  addSub.Reset();
  AddAppt(team, "Unheard", At(3, 11), At(3, 11, 1));
  loop.DoEvents();
  EXPECT_EQ(1u, added.size());
}

TEST_F(StoreTest, InjectedFaultsFailTheirOperationOnly) {
  auto item = AddAppt(calendar, "Fragile", At(3, 11), At(3, 11, 1));

  publicFolders->SetOffline(true);
  EXPECT_EQ(mapistore::kErrNetwork, ErrorOf([&] { team->Items()->Count(); }));
  EXPECT_EQ(0, ErrorOf([&] { calendar->Items()->Count(); })) << "the other store is still there";
  publicFolders->SetOffline(false);

  publicFolders->Fail(StoreOp::Move);
  EXPECT_NE(0, ErrorOf([&] { item->Move(team); }));
  EXPECT_EQ(1, calendar->Items()->Count()) << "a failed move leaves the item where it was";
  EXPECT_EQ(0, team->Items()->Count());

  mailbox->Fail(StoreOp::Delete);
  EXPECT_NE(0, ErrorOf([&] { item->Move(team); }));
  EXPECT_EQ(1, calendar->Items()->Count()) << "a move that cannot leave the source is undone";
  EXPECT_EQ(0, team->Items()->Count());

  mailbox->Fail(StoreOp::Save);
  item->SetSubject("Changed");
  EXPECT_NE(0, ErrorOf([&] { item->Save(); }));
  EXPECT_EQ("Fragile", ns->GetItemFromID(item->EntryID())->Subject());

  mailbox->Fail(StoreOp::AddUserProperty);
  EXPECT_NE(0, ErrorOf([&] { item->UserProperties()->Add("OrigEntryId", 1, true); }));
  EXPECT_TRUE(item->UserProperties()->Find("OrigEntryId").IsNothing());

  mailbox->Fail(StoreOp::Delete);
  EXPECT_NE(0, ErrorOf([&] { item->Delete(); }));
  EXPECT_EQ(1, calendar->Items()->Count());
}

TEST_F(StoreTest, AFaultCanBeArmedForTheKthCallOrOperation) {
  auto item = AddAppt(calendar, "Counted", At(3, 11), At(3, 11, 1));
  auto save = [&](const std::string& subject) {
    return ErrorOf([&] {
      item->SetSubject(subject);
      item->Save();
    });
  };
  mailbox->FailAt(StoreOp::Save, 2);
  EXPECT_EQ(0, save("first"));
  EXPECT_NE(0, save("second")) << "only the second save from now fails";
  EXPECT_EQ(0, save("third"));
  mailbox->FailAt(StoreOp::Save, 1);
  mailbox->Heal(StoreOp::Save);
  EXPECT_EQ(0, save("healed")) << "Heal disarms it too";

  const int before = mailbox->Operations();
  calendar->Items()->Count();
  EXPECT_LT(before, mailbox->Operations());
  mailbox->OfflineFrom(2);
  EXPECT_EQ(0, ErrorOf([&] { calendar->Items()->Count(); }));
  EXPECT_EQ(mapistore::kErrNetwork, ErrorOf([&] { calendar->Items()->Count(); })) << "offline from the second";
  EXPECT_EQ(mapistore::kErrNetwork, save("while offline")) << "and for every operation after";
  mailbox->SetOffline(false);
  EXPECT_EQ(0, save("back"));
  EXPECT_EQ("back", ns->GetItemFromID(item->EntryID())->Subject());
}

TEST_F(StoreTest, ACollectionCanBeMadeToRepeatAnItem) {
  AddAppt(calendar, "One", At(3, 11), At(3, 11, 1));
  AddAppt(calendar, "Two", At(3, 12), At(3, 12, 1));
  mailbox->RepeatItemAt(0, 4);
  auto items = calendar->Items();
  items->Sort("[Start]");
  EXPECT_EQ((Strings{"One", "One", "One", "One", "Two"}), Subjects(items));
}

}  // namespace

namespace {

// Another connection to the calendar's file: it has read nothing yet, as a new process.
struct FreshReader {
  explicit FreshReader(const std::string& path, win32::Clock& clock)
      : store(mapistore::SqliteStore::Open(path, clock)) {}
  std::vector<mapistore::ItemRecord> Walk(int64_t folderId) {
    mapistore::ItemQuery q;
    q.folderId = folderId;
    q.lean = true;
    return store->LoadItems(q);
  }
  std::shared_ptr<mapistore::SqliteStore> store;
};

}  // namespace

// A walk reads what a pass reads of every item (subject, times, sensitivity, the head of the
// body, the parts); the object model reads the rest of the version read when asked, and a save
// of what a walk read keeps what it did not read.
// A listing or an export reads every field of every item it walks: once one item was wanted
// whole, the rest come whole, read as they are when the walk gets to them.
TEST_F(StoreTest, OnceOneItemOfAWalkIsReadWholeTheRestComeWholeAsTheyAreNow) {
  std::vector<int64_t> ids;
  for (int day = 11; day <= 13; ++day) {
    auto added = AddAppt(calendar, "Day " + std::to_string(day), At(3, day, 9), At(3, day, 10));
    added->SetLocation("Room " + std::to_string(day));
    added->Save();
    ids.push_back(dynamic_cast<mapistore::MapiAppointment&>(*added.get()).record().id);
  }
  const int64_t folderId = std::dynamic_pointer_cast<mapistore::MapiFolder>(calendar.get())->record().id;
  auto record = [](const com::Ref<outlook::AppointmentItem>& a) -> const mapistore::ItemRecord& {
    return dynamic_cast<mapistore::MapiAppointment&>(*a.get()).record();
  };
  FreshReader reader(mailboxFile->Path(), clock);
  auto items = ns->FolderObject(reader.store, *reader.store->FolderById(folderId))->Items();
  items->Sort("[Start]");
  auto first = items->GetFirst();
  EXPECT_TRUE(record(first).partial) << "a walk reads what a pass reads";
  FreshReader writer(mailboxFile->Path(), clock);
  mapistore::ItemRecord later = *writer.store->LoadItem(ids[2]);
  later.fields.Set(outlook::ApptField::Location, com::Variant("Room 33"));
  writer.store->SaveItem(later);

  EXPECT_EQ("Room 11", first->Location());
  auto second = items->GetNext();
  EXPECT_FALSE(record(second).partial);
  EXPECT_EQ("Room 12", second->Location());
  auto third = items->GetNext();
  EXPECT_EQ("Room 33", third->Location()) << "as it is now, not as when the walk began";
  EXPECT_FALSE(items->GetNext());
}

TEST_F(StoreTest, AWalkReadsWhatAPassReadsAndNothingElseIsLost) {
  const std::string longBody = "[DEL] " + std::string(2000, 'x') + " the end";
  auto item = AddAppt(calendar, "Long", At(3, 11, 9), At(3, 11, 10));
  item->SetBody(longBody);
  item->SetLocation("Room 1");
  item->SetField(outlook::ApptField::Categories, "Planning");
  item->Save();
  AddAppt(calendar, "Short", At(3, 12, 9), At(3, 12, 10))->SetBody("brief");
  const int64_t folderId = std::dynamic_pointer_cast<mapistore::MapiFolder>(calendar.get())->record().id;

  FreshReader reader(mailboxFile->Path(), clock);
  auto walked = reader.Walk(folderId);
  ASSERT_EQ(2u, walked.size());
  EXPECT_TRUE(walked[0].partial);
  EXPECT_TRUE(walked[0].bodyCut);
  EXPECT_EQ("[DEL] xxxx", walked[0].Field(outlook::ApptField::Body).ToString().substr(0, 10));
  EXPECT_EQ("Long", walked[0].Field(outlook::ApptField::Subject).ToString());
  EXPECT_EQ("", walked[0].Field(outlook::ApptField::Location).ToString()) << "not read by a walk";
  EXPECT_FALSE(walked[1].bodyCut) << "a short body is read whole";

  // Through the object model the whole item is there when asked for.
  auto object = ns->ItemObject(reader.store, walked[0]);
  EXPECT_EQ("Room 1", object->Location());
  EXPECT_EQ(longBody, object->Body());
  EXPECT_EQ("Room 1", ns->ItemObject(reader.store, walked[0])->Location()) << "asked for first";

  // A save of a partial record keeps the stored values of what it did not read; a body that
  // was set is written.
  mapistore::ItemRecord renamed = walked[0];
  renamed.fields.Set(outlook::ApptField::Subject, com::Variant("Renamed"));
  reader.store->SaveItem(renamed);
  FreshReader again(mailboxFile->Path(), clock);
  const auto saved = again.store->LoadItem(walked[0].id);
  EXPECT_EQ(longBody, saved->Field(outlook::ApptField::Body).ToString());
  EXPECT_EQ("Renamed", saved->Field(outlook::ApptField::Subject).ToString());
  EXPECT_EQ("Room 1", saved->Field(outlook::ApptField::Location).ToString());
  EXPECT_EQ("Planning", saved->Field(outlook::ApptField::Categories).ToString());
  // Changed through the object model, a walked item is whole before the change.
  auto walkedObject = ns->ItemObject(again.store, FreshReader(mailboxFile->Path(), clock).Walk(folderId)[0]);
  walkedObject->SetSubject("Again");
  walkedObject->Save();
  EXPECT_EQ("Room 1", FreshReader(mailboxFile->Path(), clock).store->LoadItem(walked[0].id)
                          ->Field(outlook::ApptField::Location).ToString());

  // The rest belongs to the version that was read: once another saved meanwhile, the store
  // says the item changed instead of mixing two versions.
  auto stale = ns->ItemObject(reader.store, FreshReader(mailboxFile->Path(), clock).Walk(folderId)[0]);
  auto staleToo = ns->ItemObject(reader.store, FreshReader(mailboxFile->Path(), clock).Walk(folderId)[0]);
  item = ns->GetItemFromID(item->EntryID());
  item->SetLocation("Room 9");
  item->Save();
  EXPECT_EQ(mapistore::kErrObjectChanged, ErrorOf([&] { stale->Body(); }));
  EXPECT_EQ(mapistore::kErrObjectChanged, ErrorOf([&] { staleToo->Location(); }));
  EXPECT_EQ("Again", staleToo->Subject()) << "what was read stays readable";

  auto cut = ns->ItemObject(again.store, FreshReader(mailboxFile->Path(), clock).Walk(folderId)[0]);
  cut->SetBody("replaced");
  cut->Save();
  EXPECT_EQ("replaced", FreshReader(mailboxFile->Path(), clock).store->LoadItem(walked[0].id)
                            ->Field(outlook::ApptField::Body).ToString());
}

TEST(FieldValuesTest, EveryKindOfValueComesBackAsSetAndTextsSetAgainAndAgainDoNotPileUp) {
  using outlook::ApptField;
  mapistore::FieldValues values;
  const com::Date start = com::Date::FromParts(2026, 12, 8, 9, 30, 0);
  values.Set(ApptField::Subject, com::Variant("Planning"));
  values.Set(ApptField::Start, com::Variant(start));
  values.Set(ApptField::AllDayEvent, com::Variant::Boolean(true));
  values.Set(ApptField::Importance, com::Variant(int32_t{2}));
  values.Set(ApptField::Location, com::Variant(std::string("Room\0 7", 7)));
  EXPECT_EQ(com::Variant::Type::String, values.Get(ApptField::Subject).type());
  EXPECT_EQ("Planning", values.Get(ApptField::Subject).ToString());
  EXPECT_EQ(start.serial(), values.Get(ApptField::Start).ToDate().serial()) << "a date keeps every bit";
  EXPECT_EQ(com::Variant::Boolean(true), values.Get(ApptField::AllDayEvent));
  EXPECT_EQ(com::Variant(int32_t{2}), values.Get(ApptField::Importance));
  EXPECT_EQ(std::string("Room\0 7", 7), values.Get(ApptField::Location).ToString());
  EXPECT_TRUE(values.Get(ApptField::Body).IsEmpty());

  // One item edited many times (a form, a loop filling a calendar): the old texts go, the
  // others stay as they were, and an Empty value takes the field away.
  for (int i = 0; i < 10000; ++i) values.Set(ApptField::Body, com::Variant("agenda, version " + std::to_string(i)));
  EXPECT_EQ("agenda, version 9999", values.Get(ApptField::Body).ToString());
  EXPECT_EQ("Planning", values.Get(ApptField::Subject).ToString());
  EXPECT_EQ(std::string("Room\0 7", 7), values.Get(ApptField::Location).ToString());
  mapistore::FieldValues copy = values;
  values.Set(ApptField::Subject, com::Variant());
  EXPECT_TRUE(values.Get(ApptField::Subject).IsEmpty());
  EXPECT_EQ("Planning", copy.Get(ApptField::Subject).ToString());
  EXPECT_LT(copy.TextBytes(), 200u) << "what a copy holds stays near what is in use";
}
