#pragma once
// Folders named by "|" paths from the top level down, as a person types them.
#include <string>
#include <vector>

#include "platform/outlook/application.h"

namespace host {

std::vector<std::string> SplitPath(const std::string& path);
// Raises UsageError naming the first element that is missing.
com::Ref<outlook::MAPIFolder> FindFolder(outlook::NameSpace& ns, const std::string& path);

}  // namespace host
