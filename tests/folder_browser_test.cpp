// The folder browser: the tree it loads, the path it hands the add-in, and Cancel mid-load.
#include <gtest/gtest.h>

#include "folders/folder_browser_form.h"
#include "platform/com/com_error.h"
#include "platform/mapistore/faulty_store.h"
#include "platform/outlook/outlook_enums.h"
#include "tests/support/sync_fixture.h"

using namespace testing_support;

namespace {

// A profile of many stores, each with one folder, held in memory.
class MemoryFolders;
class MemoryFolder : public outlook::MAPIFolder {
 public:
  MemoryFolder(std::string name, std::string entryId) : name_(std::move(name)), entryId_(std::move(entryId)) {}
  std::string Name() override { return name_; }
  std::string EntryID() override { return entryId_; }
  std::string StoreID() override { return ""; }
  int DefaultItemType() override { return outlook::olAppointmentItem; }
  com::Ref<outlook::Items> Items() override { com::Raise(com::kErrInvalidCall); }
  com::Ref<outlook::Folders> Folders() override;
  bool HasField(const std::string&) override { return false; }
  std::shared_ptr<MemoryFolders> children = std::make_shared<MemoryFolders>();

 private:
  std::string name_, entryId_;
};

class MemoryFolders : public outlook::Folders {
 public:
  int Count() override { return static_cast<int>(list.size()); }
  com::Ref<outlook::MAPIFolder> Item(int index) override { return list.at(static_cast<size_t>(index - 1)); }
  com::Ref<outlook::MAPIFolder> Item(const std::string&) override { com::Raise(com::kErrInvalidCall); }
  com::Ref<outlook::MAPIFolder> Add(const std::string& name, int) override {
    static int next = 0;  // entry IDs are unique in the profile
    list.push_back(std::make_shared<MemoryFolder>(name, "E" + std::to_string(++next)));
    return list.back();
  }
  std::vector<std::shared_ptr<MemoryFolder>> list;
};

com::Ref<outlook::Folders> MemoryFolder::Folders() { return com::Ref<outlook::Folders>(children); }

class MemoryNameSpace : public outlook::NameSpace {
 public:
  com::Subscription OnOptionsPagesAdd(outlook::FolderPagesAddHandler) override { return {}; }
  com::Ref<outlook::Folders> Folders() override { return com::Ref<outlook::Folders>(roots); }
  com::Ref<outlook::MAPIFolder> GetFolderFromID(const std::string&, const std::string&) override { return nullptr; }
  com::Ref<outlook::MAPIFolder> GetDefaultFolder(int) override { return nullptr; }
  com::Ref<outlook::AppointmentItem> GetItemFromID(const std::string&) override { return nullptr; }
  com::Ref<outlook::AddressLists> AddressLists() override { return nullptr; }
  std::shared_ptr<MemoryFolders> roots = std::make_shared<MemoryFolders>();
};

class FolderBrowserTest : public SyncFixture {
 protected:
  FolderBrowserTest() {
    Connect();
    addin->oApplication = world.app;
    addin->oNS = world.ns;
    addin->oRootFolders = world.ns->Folders();
    addin->UpdBoth = 1;
    mailbox = world.ns->Folders()->Item("Mailbox - Ann");
  }
  com::Ref<outlook::MAPIFolder> AddFolder(const com::Ref<outlook::MAPIFolder>& parent, const std::string& name) {
    return parent->Folders()->Add(name, outlook::olAppointmentItem);
  }
  // Acts on the next form shown, once it is loaded and active.
  void OnBrowser(std::function<void(forms::Form&)> act) { ui.OnNextForm(std::move(act)); }
  static std::vector<std::string> Tree(forms::Form& form) { return form["TreeView1"].nodes->Lines(); }
  std::string Stored(const std::string& name) {
    win32::DWORD type = 0;
    win32::Bytes data;
    if (!StoredValue(name, &type, &data)) return "<none>";
    return std::string(data.begin(), data.end());
  }

  com::Ref<outlook::MAPIFolder> mailbox;
};

TEST_F(FolderBrowserTest, TheTreeHoldsThreeLevelsBelowTheStoresFoldersAndNoNewsgroups) {
  auto l1 = AddFolder(mailbox, "L1");
  AddFolder(AddFolder(AddFolder(AddFolder(l1, "L2"), "L3"), "L4"), "L5");
  auto all = world.ns->Folders()->Item("Public Folders")->Folders()->Item("All Public Folders");
  AddFolder(all, "Internet Newsgroups");
  AddFolder(all, "Zeta");
  std::vector<std::string> tree;
  std::string caption;
  bool progressShown = true;
  int progress = 0;
  OnBrowser([&](forms::Form& f) {
    tree = Tree(f);
    caption = f.caption();
    progressShown = f["ProgressBar1"].visible;
    progress = f["ProgressBar1"].value;
  });
  addin->BrowsePublicFolders();
  EXPECT_EQ("Browse Global Folders", caption);
  EXPECT_FALSE(progressShown) << "hidden once loaded";
  EXPECT_EQ(90, progress) << "the last store's folders all loaded";
  EXPECT_EQ((std::vector<std::string>{"Mailbox - Ann", "  Calendar", "  L1", "    L2", "      L3", "        L4",
                                      "Public Folders", "  All Public Folders", "    Team", "    Zeta"}),
            tree);
}

TEST_F(FolderBrowserTest, ALocalBrowseLeavesOutPublicFoldersThatComeFirst) {
  // A profile whose first store is the public folders.
  auto ns = std::make_shared<mapistore::MapiSession>(&loop);
  ns->AddStore(world.publicFolders);
  ns->AddStore(world.mailbox);
  addin->oNS = ns;
  addin->oRootFolders = ns->Folders();
  std::vector<std::string> local, global;
  std::string key;
  OnBrowser([&](forms::Form& f) {
    local = Tree(f);
    key = f["TreeView1"].nodes->Item(2).key;
  });
  addin->BrowseLocalFolders();
  EXPECT_EQ((std::vector<std::string>{"Mailbox - Ann", "  Calendar"}), local);
  EXPECT_EQ("B" + world.calendar->EntryID(), key) << "the letter of the store's place in the profile";
  OnBrowser([&](forms::Form& f) { global = Tree(f); });
  addin->BrowsePublicFolders();
  EXPECT_EQ("Public Folders", global.at(0)) << "the global browse shows them";
}

TEST_F(FolderBrowserTest, OkHandsTheChosenPathToTheAddIn) {
  OnBrowser([&](forms::Form& f) {
    ASSERT_TRUE(f.Select("TreeView1", "Public Folders|All Public Folders|Team"));
    f.Click("Command1");
  });
  addin->BrowsePublicFolders();
  EXPECT_EQ("Team", addin->GlobalCalendar);
  EXPECT_EQ(world.team->EntryID(), Stored("GlobalCalEntryID"));
  EXPECT_FALSE(addin->Form2->loaded());
  EXPECT_TRUE(addin->Form2->oCalAdmCls.IsNothing()) << "the form lets go of the add-in";

  OnBrowser([&](forms::Form& f) {
    f.Select("TreeView1", "Mailbox - Ann");
    f.Click("Command1");
  });
  addin->BrowseLocalFolders();
  EXPECT_EQ("Mailbox - Ann", addin->oLocalCalendar->Name()) << "a store's node names the store alone";
}

TEST_F(FolderBrowserTest, OkWithoutAChoiceSetsAnEmptyPathAndCancelSetsNothing) {
  addin->SetGlobalFolderPath("Public Folders|All Public Folders|Team");
  const std::string entryId = Stored("GlobalCalEntryID");
  OnBrowser([](forms::Form& f) { f.Click("Command2"); });
  addin->BrowsePublicFolders();
  EXPECT_EQ("Team", addin->GlobalCalendar) << "Cancel";

  OnBrowser([](forms::Form& f) { f.Click("Command1"); });
  addin->BrowsePublicFolders();
  EXPECT_EQ("", addin->GlobalCalendar);
  EXPECT_EQ(world.team->EntryID(), addin->oGlobalCalendar->EntryID()) << "the folder set before stays";
  EXPECT_EQ(entryId, Stored("GlobalCalEntryID"));
}

TEST_F(FolderBrowserTest, CancelWhileLoadingStopsAtTheNextFolderAndSetsNothing) {
  auto projects = AddFolder(mailbox, "Projects");
  for (const char* name : {"P1", "P2", "P3"}) AddFolder(projects, name);
  // The click waits in the message queue, as a click made while the tree loads does.
  loop.Post([&] { addin->Form2->Click("Command2"); });
  std::vector<std::string> tree;
  bool acted = false;
  OnBrowser([&](forms::Form& f) {
    tree = Tree(f);
    acted = true;
  });
  addin->BrowsePublicFolders();
  EXPECT_EQ((std::vector<std::string>{"Mailbox - Ann", "  Calendar", "  Projects", "    P1"}), tree);
  EXPECT_TRUE(acted);
  EXPECT_FALSE(addin->Form2->loaded());
  EXPECT_TRUE(addin->Form2->oCalAdmCls.IsNothing());
  EXPECT_EQ("", Stored("GlobalCalEntryID")) << "no setter ran";
}

TEST_F(FolderBrowserTest, LoadReloadsWithTheLevelsTypedAndAnotherActivationAddsNothing) {
  AddFolder(AddFolder(mailbox, "L1"), "L2");
  std::vector<std::string> reloaded, reactivated;
  std::string publicKey;
  OnBrowser([&](forms::Form& f) {
    f.Activate();  // back from another window
    reactivated = Tree(f);
    f.Type("Text1", "0");
    f.Click("Command3");
    reloaded = Tree(f);
    publicKey = f["TreeView1"].nodes->Item(f["TreeView1"].nodes->FindPath("Public Folders|All Public Folders")).key;
  });
  addin->BrowsePublicFolders();
  EXPECT_EQ(7u, reactivated.size());
  EXPECT_EQ((std::vector<std::string>{"Mailbox - Ann", "  Calendar", "  L1", "Public Folders",
                                      "  All Public Folders"}),
            reloaded)
      << "no level below the stores' folders";
  EXPECT_EQ("S1_", publicKey.substr(0, 3)) << "a store past the level limit still gets keys";
  EXPECT_EQ(std::string::npos, Log().find("Error Detected")) << Log();
}

TEST_F(FolderBrowserTest, StoresPastTheLettersGetKeysOfTheirOwnAndTheTreeStopsAt101) {
  auto ns = std::make_shared<MemoryNameSpace>();
  for (int i = 0; i < 103; ++i) {
    auto store = std::dynamic_pointer_cast<MemoryFolder>(ns->roots->Add("Store " + std::to_string(i), 0).get());
    store->children->Add("Calendar", 1);
  }
  addin->oNS = ns;
  addin->oRootFolders = ns->Folders();
  std::vector<std::string> keys;
  size_t stores = 0;
  OnBrowser([&](forms::Form& f) {
    const forms::TreeNodes& nodes = *f["TreeView1"].nodes;
    for (int i = 1; i <= nodes.Count(); ++i) {
      if (nodes.Item(i).parent == 0) ++stores;
      else keys.push_back(nodes.Item(i).key);
    }
  });
  addin->BrowsePublicFolders();
  EXPECT_EQ(quorvane::FolderBrowserForm::kMaxStores, stores);
  ASSERT_EQ(stores, keys.size()) << "every store's folder is shown";
  EXPECT_EQ("A", keys[0].substr(0, 1));
  EXPECT_EQ("D", keys[3].substr(0, 1)) << "the letters go as far as the level limit";
  EXPECT_EQ("S4_", keys[4].substr(0, 3));
  EXPECT_EQ("S100_", keys[100].substr(0, 5));
  EXPECT_EQ(std::string::npos, Log().find("Error Detected")) << Log();
}

TEST_F(FolderBrowserTest, TracesWhileDebugMessagesAreOn) {
  AddFolder(AddFolder(mailbox, "L1"), "L2");
  addin->PromptErrors = 1;
  addin->BrowseLocalFolders();
  const std::string log = Log();
  EXPECT_NE(std::string::npos, log.find("fnLoadTree Processing Store [Mailbox - Ann]"));
  EXPECT_NE(std::string::npos, log.find("fnLoadTree Processing SubFolders for Folder [L1]"));
  EXPECT_NE(std::string::npos, log.find("ListSubFolders - Processing Level [1]"));
  EXPECT_NE(std::string::npos, log.find("ListSubFolders - Processing Folder [L2]"));
  EXPECT_NE(std::string::npos, log.find("ListSubFolders - End of Function"));
}

TEST_F(FolderBrowserTest, AStoreThatFailsIsLoggedAndTheOthersStay) {
  world.publicFolders->SetOffline(true);
  std::vector<std::string> tree;
  OnBrowser([&](forms::Form& f) { tree = Tree(f); });
  addin->BrowsePublicFolders();
  EXPECT_NE(std::string::npos, Log().find("Error Detected in fnLoadTree processing [Public Folders]")) << Log();
  EXPECT_EQ("Mailbox - Ann", tree.at(0));
}

TEST_F(FolderBrowserTest, AStoreLostPartWayIsLoggedWhereItWasLostAndTheTreeKeepsWhatItHas) {
  // The public folders go offline at their k-th operation, for every k the loading makes.
  bool lostInsideAFolder = false;
  for (int k = 1; k <= 12; ++k) {
    world.publicFolders->SetOffline(false);
    world.publicFolders->OfflineFrom(k);
    const size_t logBefore = Log().size();
    std::vector<std::string> tree;
    OnBrowser([&](forms::Form& f) { tree = Tree(f); });
    addin->BrowsePublicFolders();
    const std::string log = Log().substr(logBefore);
    lostInsideAFolder =
        lostInsideAFolder || log.find("Error Detected in ListSubFolders Processing [All Public Folders]") != std::string::npos;
    ASSERT_GE(tree.size(), 2u) << k;
    EXPECT_EQ("Mailbox - Ann", tree[0]) << k;
    EXPECT_EQ("  Calendar", tree[1]) << k;
  }
  EXPECT_TRUE(lostInsideAFolder) << Log();
}

TEST_F(FolderBrowserTest, WithoutANamespaceTheFormSaysSo) {
  addin->oNS.Release();
  addin->BrowsePublicFolders();
  const auto boxes = BoxTexts();
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Error (91) Encountered in Form_Load\r\nDesc: Object variable or With block variable not set", boxes[0]);
  EXPECT_EQ("No Folder Tree detected!", boxes[1]);
}

TEST_F(FolderBrowserTest, ShutdownClosesTheBrowser) {
  bool loadedAfter = true;
  OnBrowser([&](forms::Form& f) {
    com::Args custom;
    addin->OnBeginShutdown(custom);
    loadedAfter = f.loaded();
  });
  addin->BrowsePublicFolders();
  EXPECT_FALSE(loadedAfter);
  EXPECT_TRUE(addin->Form2->oCalAdmCls.IsNothing());
}

}  // namespace
