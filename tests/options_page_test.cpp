// The options page, loaded from its library by class name, talking to an add-in by name only.
#include <gtest/gtest.h>

#include "platform/com/class_registry.h"
#include "platform/forms/user_control.h"
#include "platform/outlook/property_page.h"
#include "tests/support/addin_fixture.h"

using namespace testing_support;

namespace {

// Whatever answers the page's calls by name: here a recorder.
class RecordingAddIn : public com::DispatchObject {
 public:
  RecordingAddIn() {
    auto record = [this](const char* name) {
      DeclareMethod(name, [this, name](com::Args& a) {
        calls.push_back(name);
        if (calls.back() == "SetRegistryValues") values = a;
        if (calls.back() == "BrowsePublicFolders" && page) com::PutProperty(page, "prefGlobalCalendar", "Team");
        return com::Variant();
      });
    };
    for (const char* name : {"SetRegistryValues", "CheckRegistryValues", "BrowsePublicFolders", "BrowseLocalFolders",
                             "UpgradeGlobalCalendar", "UpgradeLocalCalendar"}) {
      record(name);
    }
  }
  std::vector<std::string> calls;
  com::Args values;
  com::ObjectPtr page;
};

class CountingSite : public outlook::PropertyPageSite {
 public:
  void OnStatusChange() override { ++changes; }
  int changes = 0;
};

class OptionsPageTest : public AddinFixture {
 protected:
  OptionsPageTest() {
    com::ClassRegistry::Instance().RegisterLibrary("Pagorin.UCAdminPage", QUORVANE_BIN_DIR "/Pagorin.so");
    page = com::CreateObject("Pagorin.UCAdminPage");
    form = dynamic_cast<forms::UserControl*>(page.get());
    protocol = dynamic_cast<outlook::PropertyPage*>(page.get());
    fake->page = page;
  }
  ~OptionsPageTest() override { fake->page.reset(); }  // the page holds the add-in, as it holds the page
  void Put(const std::string& name, const com::Variant& v) { com::PutProperty(page, name, v); }
  int16_t Get(const std::string& name) { return com::GetProperty(page, name).ToInteger(); }
  // The add-in fills the page, the dialog takes it in, the user comes to it.
  void Enter() {
    Put("oAdminDLL", fake);
    form->Site(site);
    form->EnterFocus();
  }

  com::ObjectPtr page;
  forms::UserControl* form = nullptr;
  outlook::PropertyPage* protocol = nullptr;
  std::shared_ptr<RecordingAddIn> fake = std::make_shared<RecordingAddIn>();
  std::shared_ptr<CountingSite> site = std::make_shared<CountingSite>();
};

TEST_F(OptionsPageTest, ThePageAsTheDialogFindsIt) {
  ASSERT_TRUE(form);
  ASSERT_TRUE(protocol);
  EXPECT_EQ("Orbitra", com::GetProperty(page, "Caption").ToString());
  std::string helpFile;
  int32_t context = 0;
  protocol->GetPageInfo(helpFile, context);
  EXPECT_EQ("quorvane.hlp", helpFile);
  EXPECT_EQ(102, context);
  Put("oAdminDLL", fake);
  EXPECT_TRUE(com::GetProperty(page, "oAdminDLL").IsEmpty()) << "write-only";

  forms::Control& days = (*form)["Text6"];
  EXPECT_EQ("Frame1", days.container);
  EXPECT_EQ(1920, days.pos.left);
  EXPECT_EQ(1800, days.pos.top);
  EXPECT_EQ("Frame4", (*form)["Option5"].container);
  EXPECT_EQ("Global -> Local Only", (*form)["Label14"].caption);
  EXPECT_EQ("Version 2.2.0.5", (*form)["lblVersion"].caption);
  EXPECT_LT((*form)["CheckToolbar"].tabIndex, (*form)["Text6"].tabIndex);
}

TEST_F(OptionsPageTest, DaysAreKeptBetweenOneAnd365) {
  Put("prefNoDays", int16_t{30});
  Enter();
  form->Type("Text6", "400");
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("# of Days Cannot Exceed 365 Days", ui.shown[0].text);
  EXPECT_EQ(365, Get("prefNoDays"));
  EXPECT_EQ("400", (*form)["Text6"].caption) << "the box keeps what was typed";
  form->Type("Text6", "");
  EXPECT_EQ(1, Get("prefNoDays"));
  form->Type("Text6", "60");
  EXPECT_EQ(60, Get("prefNoDays"));
  form->Type("Text6", "60.5");
  EXPECT_EQ(60, Get("prefNoDays")) << "rounded to the even neighbour";
  form->Type("Text6", "sixty");
  ASSERT_EQ(2u, ui.shown.size());
  EXPECT_EQ("Run-time error '13':\r\n\r\nType mismatch", ui.shown[1].text) << "the container shows it";
  EXPECT_EQ(60, Get("prefNoDays")) << "nothing taken from it";
}

TEST_F(OptionsPageTest, AnEmptyRefreshRateIsZeroAndAFractionIsCut) {
  Put("prefRefreshRate", int16_t{5});
  Enter();
  form->Type("Text3", "");
  EXPECT_EQ(0, Get("prefRefreshRate"));
  form->Type("Text3", "7.9");
  EXPECT_EQ(7, Get("prefRefreshRate"));
}

TEST_F(OptionsPageTest, ApplyHandsTheThirteenValuesInOrderThenReloads) {
  Put("prefEnableAcctToolbar", int16_t{1});
  Put("prefGlobalCalendar", "Team");
  Put("prefLocalCalendar", "Calendar");
  Put("prefRefreshRate", int16_t{5});
  Put("prefNoDays", int16_t{30});
  Put("prefUpdBoth", int16_t{1});
  Enter();
  form->Click("Option5");
  form->Click("Check2");
  form->Click("Check5");
  form->Type("Text6", "60");
  EXPECT_TRUE(protocol->Dirty());
  protocol->Apply();
  EXPECT_FALSE(protocol->Dirty());
  ASSERT_EQ((std::vector<std::string>{"SetRegistryValues", "CheckRegistryValues"}), fake->calls);
  const com::Args expected = {int16_t{1}, "Team",     "Calendar", int16_t{5}, int16_t{60}, int16_t{0}, int16_t{1},
                              int16_t{0}, int16_t{0}, int16_t{1}, int16_t{0}, int16_t{0},  int16_t{1}};
  ASSERT_EQ(expected.size(), fake->values.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].ToString(), fake->values[i].ToString()) << "value " << i;
  }
}

TEST_F(OptionsPageTest, EnteringThePageAfterItWasFilledMarksItChanged) {
  Put("prefNoDays", int16_t{30});
  Put("prefGlobalCalendar", "Team");
  form->Site(site);
  EXPECT_FALSE(protocol->Dirty()) << "filling is no edit";
  form->EnterFocus();
  EXPECT_TRUE(protocol->Dirty());
  EXPECT_GT(site->changes, 0);
  EXPECT_EQ("Team", (*form)["Text1"].caption);
}

TEST_F(OptionsPageTest, WithoutTheAddInOnlyTheFlagIsCleared) {
  form->Site(site);
  form->EnterFocus();
  form->Click("Check1");
  EXPECT_EQ(1, Get("prefPromptDelete"));
  form->Click("Command1");  // Browse does nothing either
  protocol->Apply();
  EXPECT_FALSE(protocol->Dirty());
  EXPECT_TRUE(fake->calls.empty());
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(OptionsPageTest, BrowseShowsTheCalendarTheAddInChose) {
  Enter();
  const int before = site->changes;
  form->Click("Command1");
  EXPECT_EQ("Team", (*form)["Text1"].caption);
  EXPECT_GT(site->changes, before);
  form->Click("Command3");
  form->Click("Command4");
  form->Click("Command5");
  EXPECT_EQ((std::vector<std::string>{"BrowsePublicFolders", "BrowseLocalFolders", "UpgradeGlobalCalendar",
                                      "UpgradeLocalCalendar"}),
            fake->calls);
}

TEST_F(OptionsPageTest, ApplyReportsWhatTheAddInRaised) {
  class Failing : public com::DispatchObject {};  // answers nothing: 438
  Put("oAdminDLL", std::make_shared<Failing>());
  protocol->Apply();
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("Error in PropertyPage_Apply.  Err# 438 and Err Description: Object doesn't support this property or "
            "method",
            ui.shown[0].text);
  EXPECT_EQ(0u, ui.shown[0].style);
}

// The real add-in, reached by name, behind the page.
TEST_F(OptionsPageTest, GlobalToLocalOnlyAppliedMakesTheAddInSyncThatWay) {
  Connect();
  addin->UpdBoth = 1;
  addin->oAdminPage = page;
  addin->fnSetPagePrefs();
  Put("oAdminDLL", addin);
  form->Site(site);
  form->EnterFocus();
  form->Click("Option5");
  EXPECT_EQ(0, Get("prefUpdBoth"));
  EXPECT_EQ(1, Get("prefUpdGlobalOnly"));
  EXPECT_EQ(0, Get("prefUpdLocalOnly"));
  protocol->Apply();
  EXPECT_EQ(2, addin->iSyncDirection);
  EXPECT_EQ(1, addin->UpdGlobalOnly);
  addin->oAdminPage.reset();  // as shutdown does: each holds the other
}

}  // namespace
