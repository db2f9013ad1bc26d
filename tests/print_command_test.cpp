// The toolbar's print command: the dialog opens without waiting, once, and goes at shutdown.
#include <gtest/gtest.h>

#include "platform/printer/recording_printer.h"
#include "tests/support/sync_fixture.h"

namespace {

class PrintCommandTest : public testing_support::SyncFixture {
 protected:
  PrintCommandTest() {
    addin->GlobalCalEntryID = world.team->EntryID();
    addin->LocalCalEntryID = world.calendar->EntryID();
    addin->GlobalCalendar = "Public Folders|All Public Folders|Team";
    addin->LocalCalendar = "Mailbox - Ann|Calendar";
    auto device = std::make_unique<printer::RecordingPrinter>();
    recording = device.get();
    printers.Add(std::move(device));
    printer::SetPrinters(&printers);
  }
  ~PrintCommandTest() override { printer::SetPrinters(nullptr); }
  void ClickPrint() {
    bool cancel = false;
    addin->oPrintCalendarBHandler_Click(nullptr, cancel);
  }

  printer::PrinterList printers;
  printer::RecordingPrinter* recording;
};

TEST_F(PrintCommandTest, OpensWithoutWaitingAndOnlyOnce) {
  ClickPrint();
  ClickPrint();
  ASSERT_EQ(ui.OpenForms().size(), 1u);
  EXPECT_EQ(ui.formsShown.size(), 2u);  // the second click brings it to the front
  auto& dialog = *ui.OpenForms()[0];
  EXPECT_EQ(dialog.caption(), "Print Calendar");
  EXPECT_EQ(dialog["Combo3"].caption, "Mailbox - Ann|Calendar");
  Local("Standup", At(3, 11, 9), At(3, 11, 10));
  dialog.Click("OKButton");
  EXPECT_TRUE(ui.OpenForms().empty());
  ASSERT_EQ(recording->jobs.size(), 1u);
  // "Standup ()" loses the nine characters the time takes.
  EXPECT_EQ(recording->jobs[0].page.back().text, "S  09:00 AM");
}

TEST_F(PrintCommandTest, ShutdownClosesAnOpenDialog) {
  ClickPrint();
  ASSERT_EQ(ui.OpenForms().size(), 1u);
  com::Args custom;
  addin->OnBeginShutdown(custom);
  EXPECT_TRUE(ui.OpenForms().empty());
  EXPECT_TRUE(recording->operations.empty());
}

TEST_F(PrintCommandTest, NeedsBothCalendarsAndReportsMissingPrinters) {
  addin->LocalCalEntryID = " ";
  ClickPrint();
  EXPECT_TRUE(ui.formsShown.empty());
  addin->LocalCalEntryID = world.calendar->EntryID();
  printer::SetPrinters(nullptr);
  ClickPrint();
  EXPECT_TRUE(ui.OpenForms().empty());
  EXPECT_NE(Log().find("An Error was encountered in oPrintCalendarBHandler_Click!"), std::string::npos) << Log();
}

}  // namespace
