// The address lists of the stores, the Find Address dialog and the Appointment Options dialog.
#include <sqlite3.h>

#include <gtest/gtest.h>

#include "dialogs/appt_options_form.h"
#include "dialogs/find_address_form.h"
#include "platform/mapistore/mapi_address_lists.h"
#include "tests/support/sync_fixture.h"

namespace {

using mapistore::AddressRecord;
using mapistore::kContactsList;
using mapistore::kGlobalAddressList;

class AddressDialogsTest : public testing_support::SyncFixture {
 protected:
  AddressDialogsTest() {
    addin->GlobalCalEntryID = "G";
    addin->LocalCalEntryID = "L";
  }
  void Gal(const std::string& name, int displayType = 0) {
    world.publicFolders->AddAddress(AddressRecord{kGlobalAddressList, name, Lower(name) + "@x.org", "SMTP", displayType});
  }
  void Contact(const std::string& name, int displayType = 0) {
    world.mailbox->AddAddress(AddressRecord{kContactsList, name, Lower(name) + "@home", "EX", displayType});
  }
  static std::string Lower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
  }
  // Each list's name and its entries' names, as the namespace gives them.
  std::vector<std::string> Lists() {
    std::vector<std::string> out;
    auto lists = world.ns->AddressLists();
    for (int i = 1; i <= lists->Count(); ++i) {
      auto list = lists->Item(i);
      std::string line = std::to_string(list->Index()) + " " + list->Name() + ":";
      auto entries = list->AddressEntries();
      for (int k = 1; k <= entries->Count(); ++k) {
        auto e = entries->Item(k);
        line += " " + e->Name() + "<" + e->Address() + "," + e->Type() + "," + std::to_string(e->DisplayType()) + ">";
      }
      out.push_back(line);
    }
    return out;
  }
  std::unique_ptr<quorvane::FindAddressForm> OpenFind() {
    auto form = std::make_unique<quorvane::FindAddressForm>(*env);
    form->oCalAdmCls = addin;
    form->Load();
    return form;
  }
  static std::vector<std::string> Rows(forms::Form& f) { return f["ListView1"].rows->Lines(); }
  static int Selected(forms::Form& f) { return f["ListView1"].rows->selected; }
  // The texts of the four boxes of an Appointment Options dialog.
  static std::vector<std::string> Boxes(forms::Form& f) {
    return {f["Text1"].caption, f["Text2"].caption, f["Text3"].caption, f["Text4"].caption};
  }
};

TEST_F(AddressDialogsTest, ListsComeFromTheirStoresInNameOrderAndEntriesAreReplacedOrDeletedByName) {
  Gal("Sales Team", 1);
  Gal("alice");
  Contact("Zed");
  world.publicFolders->AddAddress(AddressRecord{kGlobalAddressList, "Alice", "new@x.org", "SMTP", 0});
  EXPECT_EQ((std::vector<std::string>{"1 Global Address List: Alice<new@x.org,SMTP,0> Sales Team<sales team@x.org,SMTP,1>",
                                      "2 Contacts: Zed<zed@home,EX,0>"}),
            Lists());
  EXPECT_FALSE(world.publicFolders->DeleteAddress(kContactsList, "Alice")) << "another list's entry";
  EXPECT_TRUE(world.publicFolders->DeleteAddress(kGlobalAddressList, "ALICE"));
  EXPECT_FALSE(world.publicFolders->DeleteAddress(kGlobalAddressList, "Alice"));
  EXPECT_EQ("1 Global Address List: Sales Team<sales team@x.org,SMTP,1>", Lists().at(0));
  // A list of another name that a store keeps follows the two.
  world.mailbox->AddAddress(AddressRecord{"Partners", "Pat", "pat@p", "SMTP", 0});
  EXPECT_EQ("3 Partners: Pat<pat@p,SMTP,0>", Lists().at(2));
  EXPECT_THROW(world.ns->AddressLists()->Item(4), com::ComError);
}

TEST_F(AddressDialogsTest, AStoreOfTheOlderAddressTableKeepsItsMembersAsTheGlobalList) {
  const std::string path = world.publicFile->Path();
  auto exec = [&](const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql, nullptr, nullptr, nullptr)) << sqlite3_errmsg(db);
    sqlite3_close(db);
  };
  exec("DROP TABLE address_entries;"
       "CREATE TABLE addresses(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE COLLATE NOCASE, "
       "address TEXT NOT NULL);"
       "INSERT INTO addresses(name, address) VALUES('Bob', 'bob@workgroup'), ('Dan', 'dan@workgroup');");
  auto store = mapistore::SqliteStore::Open(path, mapistore::DbServices{clock, &loop});
  auto names = [&] {
    std::string out;
    for (const auto& a : store->Addresses()) out += a.list + ":" + a.name + "<" + a.address + "," + a.type + "> ";
    return out;
  };
  EXPECT_EQ("Global Address List:Bob<bob@workgroup,SMTP> Global Address List:Dan<dan@workgroup,SMTP> ", names());
  store->AddAddress(AddressRecord{kGlobalAddressList, "Carol", "c@x"});
  store->AddAddress(AddressRecord{kGlobalAddressList, "dan", "new@x", "EX"});
  // An older program sharing the file adds its member where it always did.
  exec("INSERT INTO addresses(name, address) VALUES('Eve', 'eve@workgroup')");
  EXPECT_EQ(
      "Global Address List:Bob<bob@workgroup,SMTP> Global Address List:Carol<c@x,SMTP> Global Address List:dan<new@x,EX> "
      "Global Address List:Eve<eve@workgroup,SMTP> ",
      names());
  EXPECT_TRUE(store->DeleteAddress(kGlobalAddressList, "Dan"));
  EXPECT_TRUE(store->DeleteAddress(kGlobalAddressList, "Bob"));
  EXPECT_EQ("Global Address List:Carol<c@x,SMTP> Global Address List:Eve<eve@workgroup,SMTP> ", names());
}

TEST_F(AddressDialogsTest, LoadChoosesTheFirstListAndEachListTakesTheLayoutOfItsFirstEntry) {
  Gal("Front Desk");
  Gal("Sales Team", 1);
  Contact("Dist", 1);
  Contact("Eve");
  auto f = OpenFind();
  const forms::Control& combo = (*f)["Combo1"];
  EXPECT_EQ((std::vector<std::string>{kGlobalAddressList, kContactsList}), combo.items);
  EXPECT_EQ((std::vector<long>{1, 2}), combo.itemData);
  EXPECT_EQ(kGlobalAddressList, combo.caption);
  EXPECT_EQ(1, f->iListIndex);
  EXPECT_EQ((std::vector<std::string>{"Name | Email Address | EmailType", "Front Desk | front desk@x.org | SMTP",
                                      "Sales Team | sales team@x.org | SMTP"}),
            Rows(*f));
  f->Select("ListView1", "Sales Team");
  ASSERT_TRUE(f->Select("Combo1", kContactsList));
  EXPECT_EQ(2, f->iListIndex);
  EXPECT_EQ((std::vector<std::string>{"Name | EmailType | EmailAddress", "Dist | EX | dist@home", "Eve | EX | eve@home"}),
            Rows(*f));
  EXPECT_EQ(0, Selected(*f)) << "the refill clears the selection";
  // An empty list has no first entry to ask: it takes the first layout's other form.
  world.mailbox->DeleteAddress(kContactsList, "Dist");
  world.mailbox->DeleteAddress(kContactsList, "Eve");
  f->Select("Combo1", kContactsList);
  EXPECT_EQ((std::vector<std::string>{"Name | EmailType | EmailAddress"}), Rows(*f));
  EXPECT_FALSE(f->Type("Combo1", "Somewhere")) << "a drop-down list takes no typing";
}

TEST_F(AddressDialogsTest, TypingFindsTheFirstNameWithThatBeginningAndScrollsItIntoView) {
  for (const char* n : {"Ann", "Bea", "Cid", "Dan", "Eli", "Fay", "Gus", "Hal", "Ida", "Jo", "Kim", "Lea", "Max"}) {
    Gal(n);
  }
  Gal("Frank");
  auto f = OpenFind();
  ASSERT_TRUE(f->Type("Text1", "fr"));
  EXPECT_EQ(7, Selected(*f)) << "Frank, not Fay";
  f->Type("Text1", "MA");
  EXPECT_EQ(14, Selected(*f)) << "without regard to case";
  const forms::ListItems& rows = *(*f)["ListView1"].rows;
  const int inView = (2895 - 255) / 255;
  EXPECT_LE(rows.top, 14);
  EXPECT_GT(rows.top + inView, 14);
  EXPECT_GT(rows.top, 1) << "scrolled";
  f->Type("Text1", "Zq");
  EXPECT_EQ(14, Selected(*f)) << "no match keeps the selection";
  f->Type("Text1", "a");
  EXPECT_EQ(1, Selected(*f));
  EXPECT_EQ(1, rows.top);
}

TEST_F(AddressDialogsTest, FindUserMovesNamesAndOkOrCancelAnswer) {
  Gal("Front Desk");
  Gal("Sales Team", 1);
  auto f = OpenFind();
  f->Click("Command1");
  EXPECT_EQ("", (*f)["Text2"].caption) << "nothing selected";
  f->Select("ListView1", "Sales Team");
  f->Click("Command1");
  f->Click("Command1");
  EXPECT_EQ("Sales Team;Sales Team", (*f)["Text2"].caption) << "no duplicate check; names, not addresses";
  f->Click("OKButton");
  EXPECT_FALSE(f->loaded());
  EXPECT_EQ("Sales Team;Sales Team", addin->oSelectedAddress);

  f = OpenFind();
  f->Type("Text2", "typed;by hand");
  f->Click("CancelButton");
  EXPECT_EQ("", addin->oSelectedAddress);

  addin->oSelectedAddress = "earlier";
  f = OpenFind();
  f->Click("OKButton");
  EXPECT_EQ("", addin->oSelectedAddress) << "OK with an empty result";

  addin->oSelectedAddress = "earlier";
  f = OpenFind();
  f->Unload();  // its close box
  EXPECT_EQ("", addin->oSelectedAddress);
  EXPECT_TRUE(f->oCalAdmCls.IsNothing()) << "lets go of the add-in";
}

TEST_F(AddressDialogsTest, WithoutANamespaceTheDialogOpensEmptyAndStillAnswers) {
  addin->oNS.Release();
  auto f = OpenFind();
  EXPECT_TRUE((*f)["Combo1"].items.empty());
  EXPECT_EQ(0, (*f)["ListView1"].rows->Count());
  EXPECT_TRUE(ui.shown.empty()) << "no box";
  f->Type("Text2", "Someone");
  f->Click("OKButton");
  EXPECT_EQ("Someone", addin->oSelectedAddress);
}

TEST_F(AddressDialogsTest, FindUserAppendsTheChosenNamesToItsOwnBoxAndReopeningShowsTheDefaults) {
  Gal("Front Desk");
  Gal("Sales Team", 1);
  std::vector<std::string> first, afterCancel, reopened;
  bool cancelDefault = false;
  ui.OnNextForm([&](forms::Form& options) {
    EXPECT_EQ("Appointment Options", options.caption());
    options.Click("Command1");  // two names at once
    first = Boxes(options);
    options.Click("Command3");  // cancelled
    afterCancel = Boxes(options);
    options.Type("Text2", "edited");
    options.Click("OKButton");
  });
  ui.OnNextForm([&](forms::Form& find) {
    find.Select("ListView1", "Sales Team");
    find.Click("Command1");
    find.Type("Text1", "fr");
    find.Click("Command1");
    find.Click("OKButton");
  });
  ui.OnNextForm([&](forms::Form& find) {
    find.Select("ListView1", "Front Desk");
    find.Click("Command1");
    find.Click("CancelButton");
  });
  addin->oSetApptSettingsBHandler_Click(nullptr, cancelDefault);
  EXPECT_EQ((std::vector<std::string>{"None;Sales Team;Front Desk", "Everyone", "None", "Everyone"}), first);
  EXPECT_EQ(first, afterCancel);
  EXPECT_FALSE(addin->dlgApptOptions->loaded());

  ui.OnNextForm([&](forms::Form& options) {
    reopened = Boxes(options);
    options.Click("CancelButton");
  });
  addin->oSetApptSettingsBHandler_Click(nullptr, cancelDefault);
  EXPECT_EQ((std::vector<std::string>{"None", "Everyone", "None", "Everyone"}), reopened);
  EXPECT_TRUE(addin->dlgApptOptions->oCalAdmCls.IsNothing()) << "an unloaded dialog lets go of the add-in";

  addin->LocalCalEntryID = "  ";
  const size_t formsBefore = ui.formsShown.size();
  addin->oSetApptSettingsBHandler_Click(nullptr, cancelDefault);
  EXPECT_EQ(formsBefore, ui.formsShown.size()) << "no dialog without both calendars";
}

TEST(ListItemsTest, SubItemsNeedTheirColumnAndRowsTheirIndex) {
  forms::ListItems rows;
  rows.columns = {"Name", "A", "B"};
  const int r = rows.Add("x");
  rows.SetSubItem(r, 2, "b");
  EXPECT_EQ((std::vector<std::string>{"x", "", "b"}), rows.Row(r));
  EXPECT_THROW(rows.SetSubItem(r, 3, "c"), com::ComError);
  EXPECT_THROW(rows.SetSubItem(2, 1, "c"), com::ComError);
  EXPECT_EQ(0, rows.FindPrefix("y"));
  EXPECT_EQ(1, rows.FindPrefix(""));
}

}  // namespace
