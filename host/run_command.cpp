// run: the mail client at work, with the add-in's timer running; click: one toolbar button.
#include <pthread.h>
#include <signal.h>

#include <iostream>
#include <limits>
#include <optional>
#include <thread>

#include "host/commands.h"
#include "host/folder_path.h"
#include "host/input_lines.h"
#include "host/usage_error.h"
#include "platform/com/utf8.h"
#include "platform/com/com_error.h"
#include "platform/com/text.h"

namespace host {
namespace {

const int64_t kMaxMinutes = 366 * 24 * 60;  // a year: the deadline stays far from overflowing

com::Ref<office::CommandBarButton> FindButton(Session& session, const std::string& caption) {
  auto bars = session.explorer().CommandBars();
  for (const auto& bar : bars->bars()) {
    for (const auto& button : bar->controls()) {
      if (button->caption == caption || com::EqualsNoCase(button->caption, caption)) return button;
    }
  }
  return nullptr;
}

void Select(Session& session, const std::string& folderPath, const Words& ids) {
  if (!folderPath.empty()) session.explorer().SwitchFolder(FindFolder(session.ns(), folderPath));
  std::vector<com::Ref<outlook::AppointmentItem>> items;
  for (const auto& id : ids) {
    try {
      items.push_back(session.ns().GetItemFromID(id));
    } catch (const com::ComError&) {
      throw UsageError("no appointment with entry ID " + id);
    }
  }
  session.explorer().SetSelection(items);
}

// One line typed while the host runs.
void Perform(Session& session, const std::string& line) {
  const std::string text = com::Trim(line);
  const size_t space = text.find(' ');
  const std::string verb = com::ToLower(text.substr(0, space));
  const std::string rest = space == std::string::npos ? "" : com::Trim(text.substr(space + 1));
  try {
    if (verb.empty()) return;
    if (const std::string fault = com::Utf8Fault(text); !fault.empty()) {
      throw UsageError("the line typed is not valid UTF-8 (" + fault + ")");
    }
    if (verb == "quit" || verb == "exit") {
      session.loop().Quit();
    } else if (verb == "click") {
      auto button = FindButton(session, rest);
      if (!button) throw UsageError("no toolbar button '" + rest + "'");
      button->Execute();
    } else if (verb == "folder") {
      session.explorer().SwitchFolder(FindFolder(session.ns(), rest));
      std::cout << "Showing " << rest << "\n";
    } else {
      std::cout << "commands: click CAPTION | folder PATH | quit\n";
    }
  } catch (const std::exception& e) {
    std::cout << "quorvane: " << e.what() << "\n";
  }
}

// Runs the loop to the deadline or a quit; a failure that escapes at its turn ends the run,
// reported (false), and the host still closes in order.
bool RunLoop(win32::MessageLoop& loop, int64_t deadline) {
  try {
    loop.RunUntil(deadline);
    return true;
  } catch (const com::ComError& e) {
    std::cerr << "quorvane: " << e.description() << std::endl;
  } catch (const std::exception& e) {
    std::cerr << "quorvane: " << e.what() << std::endl;
  }
  return false;
}

}  // namespace

int CmdRun(const Words& args, const GlobalOptions& global) {
  int64_t minutes = 0;
  GlobalOptions g = global;
  for (size_t i = 0; i < args.size(); ++i) {
    auto number = [&](const std::string& option, int64_t high) {
      if (i + 1 >= args.size()) throw UsageError(option + " needs a number");
      return WholeNumber(option, args[++i], 1, high);
    };
    if (args[i] == "--minutes") minutes = number("--minutes", kMaxMinutes);
    else if (args[i] == "--minute-ms") g.session.minuteMs = number("--minute-ms", 60000);
    else throw UsageError("run [--minutes N] [--minute-ms MS]");
  }

  Session session(RequireProfile(g), g.session, Access::Write);
  // Signals are taken by a thread of their own and turned into a quit; blocked only now, so
  // Ctrl-C still ends a wait for the profile, and before any thread starts, so all inherit it.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  win32::MessageLoop& loop = session.loop();
  // Typed lines are taken at the loop's turn once the host has started; the end of input
  // closes it. Boxes shown meanwhile take their answers from the same lines.
  bool takingCommands = false;
  std::optional<InputLines> input;
  auto takeInput = [&] {
    if (!takingCommands) return;
    while (!loop.QuitRequested()) {
      if (auto line = input->TryNext()) Perform(session, *line);
      else break;
    }
    if (input->Finished()) loop.Quit();
  };
  if (g.readInput) {
    input.emplace(0, [&] { loop.Post(takeInput); });
    session.ui().AnswerFrom([&] { return input->Next(); });
  }
  // Boxes the session shows as it ends, after the reader is gone, read standard input again.
  struct AnswersFromInput {
    ConsoleUi& ui;
    ~AnswersFromInput() { ui.AnswerFrom(nullptr); }
  } answers{session.ui()};
  std::jthread signalWatch([&](std::stop_token stop) {
    timespec wait{0, 100 * 1000 * 1000};
    while (!stop.stop_requested()) {
      if (sigtimedwait(&signals, nullptr, &wait) <= 0) continue;
      loop.Quit();
      if (input) input->Close();  // a box waiting for an answer takes its default
    }
  });

  if (!session.ConnectAddIn()) return 1;
  session.StartAddIn();
  std::cout << "Quorvane is running on " << session.profile().dir()
            << (minutes > 0 ? " for " + std::to_string(minutes) + " minutes" : std::string()) << std::endl;
  takingCommands = true;
  if (input) loop.Post(takeInput);

  const int64_t deadline = minutes > 0 ? session.clock().TickMs() + minutes * 60000 : std::numeric_limits<int64_t>::max();
  const bool failed = !RunLoop(loop, deadline);
  takingCommands = false;
  loop.DoEvents();
  session.Close();
  if (failed) return 1;
  std::cout << "Quorvane closed" << std::endl;
  return 0;
}

int CmdClick(const Words& args, const GlobalOptions& global) {
  if (args.empty()) throw UsageError("click CAPTION [--folder PATH] [--select ENTRYID...] [--do ACTION]...");
  const std::string caption = args[0];
  std::string folderPath;
  Words ids;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--folder" && i + 1 < args.size()) folderPath = args[++i];
    else if (args[i] == "--select") {
      while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) ids.push_back(args[++i]);
    } else if (args[i] == "--do" && i + 1 < args.size() && global.session.actions) {
      // Actions for the form the button opens, as after any other command.
      global.session.actions->given = true;
      global.session.actions->pending.push_back(args[++i]);
    } else {
      throw UsageError("click CAPTION [--folder PATH] [--select ENTRYID...] [--do ACTION]...");
    }
  }
  Session session(RequireProfile(global), global.session, Access::Write);
  if (!session.ConnectAddIn()) return 1;
  session.StartAddIn();
  Select(session, folderPath, ids);
  auto button = FindButton(session, caption);
  if (!button) {
    session.Close();
    throw UsageError("no toolbar button '" + caption + "' (is the Orbitra toolbar there? CalToolbar=1)");
  }
  button->Execute();
  session.loop().DoEvents();
  session.Close();
  return 0;
}

}  // namespace host
