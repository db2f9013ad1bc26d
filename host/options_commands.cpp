// options, folder properties PATH: the host's two dialogs of property pages, with the
// add-in's page, driven by a person or by --do actions.
#include <iostream>

#include "host/commands.h"
#include "host/folder_path.h"
#include "host/property_dialog.h"
#include "host/usage_error.h"

namespace host {
namespace {

void ShowDialog(Session& session, const std::string& caption, const DialogPages& pages) {
  PropertyDialog dialog(caption, pages);
  dialog.Load();
  session.loop().BeforeUserWait();
  session.ui().ShowModal(dialog);
}

}  // namespace

int CmdOptions(const Words& args, const GlobalOptions& global) {
  if (!args.empty()) throw UsageError("options [--do ACTION]...");
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
  const Words& rest = args;
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
