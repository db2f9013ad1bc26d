#pragma once
// Replaces a file's content so that a crash at any moment leaves the old or the new file.
#include <string>

namespace win32 {

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string& error);

}  // namespace win32
