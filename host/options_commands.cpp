// options, folder properties PATH: the host's two dialogs of property pages, with the
// add-in's page, driven by a person or by --do actions.
#include <iostream>

#include "host/commands.h"
#include "host/folder_path.h"
#include "host/property_dialog.h"
#include "host/usage_error.h"

namespace host {
namespace {

// The words that are not --do ACTION; the actions join those given before the command.
Words TakeActions(const Words& args, const GlobalOptions& global) {
  Words rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--do") {
      rest.push_back(args[i]);
      continue;
    }
    if (i + 1 >= args.size()) throw UsageError("--do needs an action (click NAME, set NAME TEXT, select NAME ITEM)");
    if (!global.session.actions) throw UsageError("--do cannot be used here");
    global.session.actions->given = true;
    global.session.actions->pending.push_back(args[++i]);
  }
  return rest;
}

void ShowDialog(Session& session, const std::string& caption, const DialogPages& pages) {
  PropertyDialog dialog(caption, pages);
  dialog.Load();
  session.loop().BeforeUserWait();
  session.ui().ShowModal(dialog);
}

}  // namespace

int CmdOptions(const Words& args, const GlobalOptions& global) {
  if (!TakeActions(args, global).empty()) throw UsageError("options [--do ACTION]...");
  Session session(RequireProfile(global), global.session, Access::Write);
  if (!session.ConnectAddIn()) return 1;
  session.StartAddIn();
  auto pages = std::make_shared<DialogPages>();
  session.application()->BuildOptionsDialog(pages);
  ShowDialog(session, "Options", *pages);
  session.Close();
  return 0;
}

int CmdFolderProperties(const Words& args, const GlobalOptions& global) {
  const Words rest = TakeActions(args, global);
  if (rest.size() != 1) throw UsageError("folder properties PATH [--do ACTION]...");
  Session session(RequireProfile(global), global.session, Access::Write);
  auto folder = FindFolder(session.ns(), rest[0]);
  if (!session.ConnectAddIn()) return 1;
  session.StartAddIn();
  auto pages = std::make_shared<DialogPages>();
  session.ns().BuildFolderProperties(pages, folder);
  ShowDialog(session, folder->Name() + " Properties", *pages);
  session.Close();
  return 0;
}

}  // namespace host
