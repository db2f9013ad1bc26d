// The folder browser: the tree it loads, the path it hands the add-in, and Cancel mid-load.
#include <gtest/gtest.h>

#include "folders/folder_browser_form.h"
#include "platform/mapistore/faulty_store.h"
#include "platform/outlook/outlook_enums.h"
#include "tests/support/sync_fixture.h"

using namespace testing_support;

namespace {

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
  OnBrowser([&](forms::Form& f) {
    tree = Tree(f);
    caption = f.caption();
    progressShown = f["ProgressBar1"].visible;
  });
  addin->BrowsePublicFolders();
  EXPECT_EQ("Browse Global Folders", caption);
  EXPECT_FALSE(progressShown) << "hidden once loaded";
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
