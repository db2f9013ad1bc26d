#include "tests/window/window_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "host/appt_options.h"
#include "platform/win32/clock.h"

namespace window_testing {

const char* const kGlobal = "Public Folders|All Public Folders|Team Calendar";

// Closes a box nobody answers, so a test fails instead of waiting for ever.
class BoxWatch {
 public:
  BoxWatch() {
    QObject::connect(&timer_, &QTimer::timeout, [] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible()) continue;
        ADD_FAILURE() << "a box nobody answered: " << box->text().toStdString();
        if (box->defaultButton()) box->defaultButton()->click();
      }
    });
    timer_.start(1000);
  }

 private:
  QTimer timer_;
};

WindowTest::WindowTest() : watch_(std::make_unique<BoxWatch>()) {
  const std::string publicStore = dir_ / "public.store";
  ::testing::internal::CaptureStdout();
  for (const char* user : {"Alice", "Bob"}) host::CmdInit({"--user", user, "--public", publicStore}, Member(user));
  host::CmdFolder({"add", kGlobal}, Member("Alice"));
  for (const char* user : {"Alice", "Bob"}) {
    host::CmdSetCalendar({"global", kGlobal}, Member(user));
    host::CmdSetCalendar({"local", std::string("Mailbox - ") + user + "|Calendar"}, Member(user));
    host::CmdSettings({"CalToolbar=1", "RefreshRate=0"}, Member(user));
  }
  ::testing::internal::GetCapturedStdout();
}

WindowTest::~WindowTest() = default;

host::GlobalOptions WindowTest::Member(const std::string& user) const {
  host::GlobalOptions g;
  g.profileDir = dir_ / user;
  g.session.actions = std::make_shared<host::FormActions>();
  g.readInput = false;
  return g;
}

std::unique_ptr<window::Gui> WindowTest::Open(const std::string& user) {
  auto gui = std::make_unique<window::Gui>(Member(user));
  gui->ui().OnNextBox([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
  EXPECT_TRUE(gui->Start());
  return gui;
}

std::string WindowTest::AddAppt(const std::string& user, const std::string& path, const std::string& subject, int hour) {
  win32::SystemClock clock;
  const com::Date day = clock.Now().DateOnly().AddDays(1);
  const std::string start = host::IsoText(com::Date::FromUnixMillis(day.UnixMillis() + hour * 3600000LL));
  const std::string end = host::IsoText(com::Date::FromUnixMillis(day.UnixMillis() + (hour + 1) * 3600000LL));
  ::testing::internal::CaptureStdout();
  host::CmdAppt({"add", path, "--subject", subject, "--start", start, "--end", end}, Member(user));
  std::string id = ::testing::internal::GetCapturedStdout();
  while (!id.empty() && (id.back() == '\n' || id.back() == '\r')) id.pop_back();
  return id;
}

std::string WindowTest::Registry(const std::string& user) const {
  return testing_support::ReadFile(host::Profile::Open(dir_ / user).RegistryPath());
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

std::string ListSubjects(QTreeWidget& list) {
  std::string out;
  for (int i = 0; i < list.topLevelItemCount(); ++i) out += list.topLevelItem(i)->text(2).toStdString() + "\n";
  return out;
}

}  // namespace window_testing
