#pragma once
// A workgroup of two members sharing the public folders, each with both calendars chosen, the
// toolbar wanted and no timed runs, and the window opened on a member's profile.
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "host/window/gui.h"
#include "tests/support/temp_dir.h"

class QTreeWidget;

namespace window_testing {

extern const char* const kGlobal;  // the Global Calendar's path

class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  host::GlobalOptions Member(const std::string& user) const;
  // The window on the member's profile, started; the toolbar question is answered Yes. A box
  // that a test does not answer is closed with its default button and fails the test.
  std::unique_ptr<window::Gui> Open(const std::string& user);
  // An appointment tomorrow at hour, through the command line's 'appt add'; its entry ID.
  std::string AddAppt(const std::string& user, const std::string& path, const std::string& subject, int hour);
  std::string Registry(const std::string& user) const;

  testing_support::TempDir dir_;

 private:
  std::unique_ptr<class BoxWatch> watch_;
};

// Runs Qt's loop until done() holds or ms pass; whether it held.
bool WaitUntil(const std::function<bool()>& done, int ms = 5000);
// The subjects in a list view's third column, one line each.
std::string ListSubjects(QTreeWidget& list);

}  // namespace window_testing
