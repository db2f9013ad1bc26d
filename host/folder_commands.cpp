// folder add PATH, folder list
#include <iostream>

#include "host/commands.h"
#include "host/folder_path.h"
#include "host/usage_error.h"
#include "platform/outlook/folder.h"
#include "platform/outlook/items.h"

namespace host {
namespace {

void ListFolders(const com::Ref<outlook::Folders>& folders, const std::string& prefix) {
  for (int i = 1; i <= folders->Count(); ++i) {
    auto f = folders->Item(i);
    const std::string path = prefix.empty() ? f->Name() : prefix + "|" + f->Name();
    std::cout << path;
    if (f->DefaultItemType() == 1) std::cout << "  (" << f->Items()->Count() << " appointments)";
    std::cout << "\n";
    ListFolders(f->Folders(), path);
  }
}

}  // namespace

int CmdFolder(const Words& args, const GlobalOptions& global) {
  if (!args.empty() && args[0] == "properties") return CmdFolderProperties(Words(args.begin() + 1, args.end()), global);
  const bool list = args.size() == 1 && args[0] == "list", add = args.size() == 2 && args[0] == "add";
  if (!list && !add) throw UsageError("folder needs 'add PATH', 'list' or 'properties PATH'");
  Session session(RequireProfile(global), global.session, list ? Access::Read : Access::Write);
  if (list) {
    ListFolders(session.ns().Folders(), "");
    return 0;
  }
  std::vector<std::string> parts = SplitPath(args[1]);
  if (parts.size() < 2) throw UsageError("a new folder goes below a top-level folder: PARENT|NAME");
  const std::string name = parts.back();
  if (name.empty()) throw UsageError("the new folder needs a name");
  parts.pop_back();
  std::string parentPath = parts[0];
  for (size_t i = 1; i < parts.size(); ++i) parentPath += "|" + parts[i];
  auto parent = FindFolder(session.ns(), parentPath);
  for (int i = 1; i <= parent->Folders()->Count(); ++i) {
    if (com::EqualsNoCase(parent->Folders()->Item(i)->Name(), name)) {
      throw UsageError("folder '" + args[1] + "' exists already");
    }
  }
  parent->Folders()->Add(name, 1);
  session.ns().Settle();
  std::cout << "Added folder " << args[1] << "\n";
  return 0;
}

}  // namespace host
