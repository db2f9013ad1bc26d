// The window with the add-in inside: its toolbar, its dialogs and the views that follow the store.
#include <filesystem>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "host/window/status_line.h"
#include "platform/com/com_object.h"
#include "platform/outlook/items.h"
#include "tests/window/window_fixture.h"

#include <gmock/gmock.h>

namespace window_testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST_F(WindowTest, ToolbarClickRunsThePassAndTheListFollowsTheStore) {
  AddAppt("Alice", kGlobal, "Team meeting", 9);
  auto gui = Open("Alice");
  window::MainWindow& w = gui->window();
  QAction* sync = w.commandBars().Action("Sync From &Global Calendar");
  ASSERT_NE(sync, nullptr) << "the Orbitra toolbar is drawn";
  EXPECT_EQ(sync->shortcut(), QKeySequence("Alt+G"));
  EXPECT_EQ(sync->text().toStdString(), "Sync From &Global Calendar");
  EXPECT_THAT(ListSubjects(w.list()), Not(HasSubstr("Team meeting")));

  sync->trigger();
  EXPECT_THAT(ListSubjects(w.list()), HasSubstr("Team meeting")) << "the pass copied it into Alice's calendar";

  // A change to the shown calendar made elsewhere arrives as the store's item event.
  auto item = gui->session().application()->CreateItem(1);
  item->SetSubject("Lunch");
  item->SetStart(com::Date::FromParts(2030, 1, 2, 12, 0));
  item->SetEnd(com::Date::FromParts(2030, 1, 2, 13, 0));
  item->Save();
  EXPECT_TRUE(WaitUntil([&] { return ListSubjects(w.list()).find("Lunch") != std::string::npos; }));
  EXPECT_EQ(gui->ui().boxesShown.size(), 1u) << "only the toolbar question";
}

TEST_F(WindowTest, TheAddInsTimerRunsItsPassesOnTheWindowsLoop) {
  AddAppt("Alice", kGlobal, "Team meeting", 9);
  ::testing::internal::CaptureStdout();
  host::CmdSettings({"RefreshRate=1"}, Member("Alice"));
  ::testing::internal::GetCapturedStdout();
  host::GlobalOptions fast = Member("Alice");
  fast.session.minuteMs = 40;  // a timer minute lasts 40 ms: a timed run every 80 ms
  window::Gui gui(fast);
  gui.ui().OnNextBox([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
  ASSERT_TRUE(gui.Start());
  EXPECT_THAT(ListSubjects(gui.window().list()), Not(HasSubstr("Team meeting")));
  EXPECT_TRUE(WaitUntil([&] { return ListSubjects(gui.window().list()).find("Team meeting") != std::string::npos; }))
      << "a timed run copied it, and its item event refreshed the list";
  auto* runs = gui.window().status().findChild<QLabel*>("TimedRuns");
  EXPECT_TRUE(WaitUntil([&] { return !runs->text().contains("none yet"); })) << runs->text().toStdString();
}

TEST_F(WindowTest, ConfirmDeletionIsAnsweredThroughItsWidgets) {
  const std::string globalId = AddAppt("Alice", kGlobal, "Team meeting", 9);
  auto gui = Open("Alice");
  window::MainWindow& w = gui->window();
  QAction* sync = w.commandBars().Action("Sync From &Global Calendar");
  ASSERT_NE(sync, nullptr);
  sync->trigger();
  ASSERT_THAT(ListSubjects(w.list()), HasSubstr("Team meeting"));
  gui->session().ns().GetItemFromID(globalId)->Delete();

  std::string prompt;
  bool checkedBefore = true;
  gui->ui().OnNextForm([&](window::FormDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Confirm Deletion");
    prompt = d.findChild<QLabel*>("Label1")->text().toStdString();
    auto* dontAsk = d.findChild<QCheckBox*>("Check1");
    checkedBefore = dontAsk->isChecked();
    dontAsk->click();
    d.findChild<QPushButton*>("OKButton")->click();
  });
  sync->trigger();
  EXPECT_THAT(prompt, HasSubstr("Appointment (Team meeting)\nHas been removed from the Global Calendar"));
  EXPECT_FALSE(checkedBefore);
  EXPECT_THAT(ListSubjects(w.list()), Not(HasSubstr("Team meeting"))) << "OK deleted the local copy";
  EXPECT_THAT(Registry("Alice"), HasSubstr("\"PromptDelete\"=dword:00000001")) << "the tick was kept";
}

TEST_F(WindowTest, OptionsDialogAppliesASettingToTheRegistryFile) {
  auto gui = Open("Alice");
  bool applyEnabledAfterEdit = false, applyEnabledAfterApply = true;
  std::string registryAfterApply;
  gui->ui().OnNextForm([&](window::FormDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Options");
    auto* rate = d.findChild<QLineEdit*>("Text3");
    ASSERT_NE(rate, nullptr) << "the add-in's page is in the dialog";
    rate->selectAll();
    QTest::keyClicks(rate, "7");
    auto* apply = d.findChild<QPushButton*>("Apply");
    applyEnabledAfterEdit = apply->isEnabled();
    apply->click();
    applyEnabledAfterApply = apply->isEnabled();
    registryAfterApply = Registry("Alice");
    QTest::keyClick(&d, Qt::Key_Escape);  // Cancel: what was applied stays
  });
  gui->window().OpenOptions();
  EXPECT_TRUE(applyEnabledAfterEdit);
  EXPECT_FALSE(applyEnabledAfterApply);
  EXPECT_THAT(registryAfterApply, HasSubstr("\"RefreshRate\"=dword:00000007"));
  EXPECT_THAT(Registry("Alice"), HasSubstr("\"RefreshRate\"=dword:00000007"));
}

TEST_F(WindowTest, BrowserCancelStopsALoadThatIsStillRunning) {
  // Enough folders that the tree is still loading when Cancel is pressed.
  ::testing::internal::CaptureStdout();
  for (int i = 1; i <= 12; ++i) {
    const std::string project = "Public Folders|All Public Folders|Project " + std::to_string(i);
    host::CmdFolder({"add", project}, Member("Alice"));
    host::CmdFolder({"add", project + "|Notes"}, Member("Alice"));
  }
  ::testing::internal::GetCapturedStdout();
  auto gui = Open("Alice");
  const std::string before = Registry("Alice");

  int nodesAtCancel = -1;
  bool closed = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* d = dynamic_cast<window::FormDialog*>(top);
      if (!d || d->form().name() != "Form2" || nodesAtCancel >= 0) continue;
      auto* bar = d->findChild<QProgressBar*>("ProgressBar1");
      auto* tree = d->findChild<QTreeWidget*>("TreeView1");
      if (!bar->isVisible() || tree->topLevelItemCount() == 0) continue;
      QObject::connect(d, &QDialog::finished, [&] { closed = true; });
      nodesAtCancel = d->form()["TreeView1"].nodes->Count();
      d->findChild<QPushButton*>("Command2")->click();
    }
  });
  watch.start(0);
  com::CallMethod(gui->session().AddIn(), "BrowsePublicFolders");
  watch.stop();

  EXPECT_GT(nodesAtCancel, 0) << "Cancel came while the tree loaded";
  EXPECT_LT(nodesAtCancel, 2 + 2 + 1 + 24) << "and the load had not finished";
  EXPECT_TRUE(closed);
  EXPECT_EQ(Registry("Alice"), before) << "Cancel chose no calendar";
}

TEST_F(WindowTest, CalendarChosenInTheBrowsersTreeReachesThePageAndTheRegistry) {
  ::testing::internal::CaptureStdout();
  host::CmdFolder({"add", "Public Folders|All Public Folders|Other Calendar"}, Member("Alice"));
  ::testing::internal::GetCapturedStdout();
  auto gui = Open("Alice");
  std::string pageShows;
  gui->ui().OnNextForm([&](window::FormDialog& options) {
    gui->ui().OnNextForm([&](window::FormDialog& browser) {
      auto* tree = browser.findChild<QTreeWidget*>("TreeView1");
      const auto found = tree->findItems("Other Calendar", Qt::MatchExactly | Qt::MatchRecursive);
      ASSERT_EQ(found.size(), 1);
      tree->setFocus();
      tree->setCurrentItem(found[0]);  // as the arrow keys or a click make it current
      browser.findChild<QPushButton*>("Command1")->click();
    });
    options.findChild<QPushButton*>("Command1")->click();  // the page's first Browse
    pageShows = options.findChild<QLineEdit*>("Text1")->text().toStdString();
    options.reject();
  });
  gui->window().OpenOptions();
  EXPECT_THAT(pageShows, HasSubstr("Other Calendar")) << "the page shows the new calendar at once";
  EXPECT_THAT(Registry("Alice"), HasSubstr("Other Calendar"));
}

TEST_F(WindowTest, PrintDialogPrintsToThePdfPrinter) {
  AddAppt("Alice", kGlobal, "Team meeting", 9);
  auto gui = Open("Alice");
  QAction* print = gui->window().commandBars().Action("&Print Calendar");
  ASSERT_NE(print, nullptr);
  gui->ui().OnNextForm([&](window::FormDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Print Calendar");
    auto* printers = d.findChild<QComboBox*>("Combo1");
    const int pdf = printers->findText("Quorvane PDF");
    ASSERT_GE(pdf, 0);
    printers->setCurrentIndex(pdf);
    emit printers->activated(pdf);
    d.findChild<QPushButton*>("OKButton")->click();
  });
  print->trigger();
  const std::filesystem::path printed = dir_ / "Alice/Printed";
  std::string pdf;
  ASSERT_TRUE(WaitUntil([&] {
    std::error_code ec;
    for (const auto& f : std::filesystem::directory_iterator(printed, ec)) pdf = f.path().string();
    return !pdf.empty();
  }));
  EXPECT_EQ(testing_support::ReadFile(pdf).substr(0, 5), "%PDF-");
  gui->window().status().Update();
  EXPECT_EQ(gui->window().status().findChild<QLabel*>("Printed")->text().toStdString(), "Printed: " + pdf)
      << "the status line says where the page went";
  EXPECT_TRUE(WaitUntil([&] { return gui->ui().OpenForms().empty(); })) << "OK closed the dialog";
}

TEST_F(WindowTest, AppointmentWindowMakesEditsAndRefusesAnEndBeforeTheStart) {
  auto gui = Open("Alice");
  window::MainWindow& w = gui->window();
  auto type = [](window::FormDialog& d, const char* name, const char* text) {
    auto* edit = d.findChild<QLineEdit*>(name);
    edit->selectAll();
    QTest::keyClicks(edit, text);
  };
  gui->ui().OnNextForm([&](window::FormDialog& d) {
    type(d, "txtSubject", "Planning");
    type(d, "txtStart", "2030-03-11 09:00");
    type(d, "txtEnd", "2030-03-11 10:30");
    d.findChild<QPushButton*>("cmdSave")->click();
  });
  w.NewAppointment(com::Date::FromParts(2030, 3, 11, 9, 0));
  ASSERT_EQ(w.list().topLevelItemCount(), 1);
  EXPECT_EQ(w.list().topLevelItem(0)->text(2).toStdString(), "Planning");
  EXPECT_EQ(w.list().topLevelItem(0)->text(1).toStdString(), "2030-03-11 10:30");
  const std::string id = w.list().topLevelItem(0)->data(0, Qt::UserRole).toString().toStdString();

  // An end before the start is refused with a box, and the window stays open to be put right.
  bool stayedOpen = false;
  gui->ui().OnNextForm([&](window::FormDialog& d) {
    EXPECT_EQ(d.findChild<QLineEdit*>("txtSubject")->text().toStdString(), "Planning");
    type(d, "txtSubject", "Planning, moved");
    type(d, "txtEnd", "2030-03-11 08:00");
    gui->ui().OnNextBox([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
    d.findChild<QPushButton*>("cmdSave")->click();
    stayedOpen = d.isVisible();
    type(d, "txtEnd", "2030-03-11 11:00");
    QTest::keyClick(&d, Qt::Key_Return);  // the default button, Save
  });
  w.OpenAppointment(id);
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(gui->ui().boxesShown.size(), 2u);
  EXPECT_THAT(gui->ui().boxesShown.back().text, HasSubstr("end before it starts"));
  auto item = gui->session().ns().GetItemFromID(id);
  EXPECT_EQ(item->Subject(), "Planning, moved");
  EXPECT_EQ(item->End(), com::Date::FromParts(2030, 3, 11, 11, 0));
}

TEST_F(WindowTest, FolderPropertiesShowTheAddInsPageOnlyForAFolderNamedOrbitra) {
  ::testing::internal::CaptureStdout();
  host::CmdFolder({"add", "Public Folders|All Public Folders|Orbitra"}, Member("Alice"));
  ::testing::internal::GetCapturedStdout();
  auto gui = Open("Alice");
  auto& ns = gui->session().ns();
  auto all = ns.Folders()->Item("Public Folders")->Folders()->Item("All Public Folders")->Folders();
  std::vector<std::string> seen;
  for (const char* name : {"Orbitra", "Team Calendar"}) {
    gui->ui().OnNextForm([&](window::FormDialog& d) {
      seen.push_back(d.windowTitle().toStdString() + (d.findChild<QLineEdit*>("Text3") ? " with the page" : ""));
      d.reject();
    });
    gui->window().OpenFolderProperties(all->Item(name));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Orbitra Properties with the page", "Team Calendar Properties"}));
}

TEST_F(WindowTest, StatusLineShowsTheErrorLogsLastLine) {
  auto gui = Open("Alice");
  gui->window().status().Update();
  const std::string last = window::LastLine(host::Profile::Open(dir_ / "Alice").LogPath());
  EXPECT_FALSE(last.empty());
  EXPECT_EQ(gui->window().status().logLine(), last);
}

}  // namespace
}  // namespace window_testing

namespace {

TEST(TimedRuns, ARunFallsOnEveryRefreshRatePlusFirstTick) {
  window::TimedRuns runs;
  const int rate = 2;  // a run on every third one-minute tick
  runs.Observe(60000, 0, rate);
  EXPECT_FALSE(runs.last());
  EXPECT_EQ(runs.next(rate), 180000);
  runs.Observe(120000, 60000, rate);  // first tick
  runs.Observe(180000, 120000, rate);  // second
  EXPECT_FALSE(runs.last());
  EXPECT_EQ(runs.next(rate), 180000);
  runs.Observe(240000, 180000, rate);  // third: the run
  EXPECT_EQ(runs.last(), 180000);
  EXPECT_EQ(runs.next(rate), 360000);
  EXPECT_FALSE(runs.next(0)) << "no timed runs while the refresh rate is 0";
}

}  // namespace
