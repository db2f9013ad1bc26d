#include "host/folder_path.h"

#include "host/usage_error.h"
#include "platform/com/com_error.h"
#include "platform/com/text.h"
#include "platform/outlook/folder.h"

namespace host {

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t bar = path.find('|', start);
    parts.push_back(path.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return parts;
}

com::Ref<outlook::MAPIFolder> FindFolder(outlook::NameSpace& ns, const std::string& path) {
  com::Ref<outlook::Folders> level = ns.Folders();
  com::Ref<outlook::MAPIFolder> folder;
  std::string walked;
  for (const std::string& name : SplitPath(path)) {
    walked += (walked.empty() ? "" : "|") + name;
    try {
      folder = level->Item(name);
    } catch (const com::ComError&) {
      throw UsageError("no folder '" + walked + "'");
    }
    level = folder->Folders();
  }
  return folder;
}

}  // namespace host
