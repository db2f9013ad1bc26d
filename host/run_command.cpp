// run: the mail client at work, with the add-in's timer running; click: one toolbar button.
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <iostream>
#include <limits>
#include <thread>

#include "host/commands.h"
#include "host/folder_path.h"
#include "host/usage_error.h"
#include "platform/com/com_error.h"
#include "platform/com/text.h"

namespace host {
namespace {

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

}  // namespace

int CmdRun(const Words& args, const GlobalOptions& global) {
  int64_t minutes = -1;
  GlobalOptions g = global;
  for (size_t i = 0; i < args.size(); ++i) {
    auto number = [&](const std::string& option) {
      if (i + 1 >= args.size()) throw UsageError(option + " needs a number");
      try {
        const long long v = std::stoll(args[++i]);
        if (v > 0) return static_cast<int64_t>(v);
      } catch (const std::exception&) {
      }
      throw UsageError(option + " takes a whole number above 0");
    };
    if (args[i] == "--minutes") minutes = number("--minutes");
    else if (args[i] == "--minute-ms") g.session.minuteMs = number("--minute-ms");
    else throw UsageError("run [--minutes N] [--minute-ms MS]");
  }

  // Signals are taken by a thread of their own and turned into a quit.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  Session session(RequireProfile(g), g.session);
  if (!session.ConnectAddIn()) return 1;
  session.StartAddIn();
  std::cout << "Quorvane is running on " << session.profile().dir()
            << (minutes > 0 ? " for " + std::to_string(minutes) + " minutes" : std::string()) << std::endl;

  std::atomic<bool> done{false};
  std::thread signalWatch([&] {
    timespec wait{0, 200 * 1000 * 1000};
    while (!done) {
      if (sigtimedwait(&signals, nullptr, &wait) > 0) session.loop().Quit();
    }
  });
  // Lines typed are acted on between the loop's messages; the end of input closes the host.
  const bool readInput = minutes <= 0 || g.session.interactive;
  std::thread input([&] {
    if (!readInput) return;
    std::string line;
    while (!done) {
      pollfd p{0, POLLIN, 0};
      if (::poll(&p, 1, 200) <= 0) continue;
      char c;
      const ssize_t n = ::read(0, &c, 1);
      if (n <= 0) {
        session.loop().Post([&] { session.loop().Quit(); });
        return;
      }
      if (c != '\n') {
        line += c;
        continue;
      }
      session.loop().Post([&session, l = line] { Perform(session, l); });
      line.clear();
    }
  });

  const int64_t deadline =
      minutes > 0 ? session.clock().TickMs() + minutes * 60000 : std::numeric_limits<int64_t>::max();
  session.loop().RunUntil(deadline);
  done = true;
  signalWatch.join();
  input.join();
  session.loop().DoEvents();
  session.Close();
  std::cout << "Quorvane closed" << std::endl;
  return 0;
}

int CmdClick(const Words& args, const GlobalOptions& global) {
  if (args.empty()) throw UsageError("click CAPTION [--folder PATH] [--select ENTRYID...]");
  const std::string caption = args[0];
  std::string folderPath;
  Words ids;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--folder" && i + 1 < args.size()) folderPath = args[++i];
    else if (args[i] == "--select") {
      while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) ids.push_back(args[++i]);
    } else {
      throw UsageError("click CAPTION [--folder PATH] [--select ENTRYID...]");
    }
  }
  Session session(RequireProfile(global), global.session);
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
