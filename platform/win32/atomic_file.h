#pragma once
// Replaces a file's content so that a crash at any moment leaves the old or the new file.
#include <string>

namespace win32 {

// Refuses a read-only file or folder (ReplaceRefusal) before it writes anything. The new
// file keeps the old one's permissions.
bool WriteFileAtomically(const std::string& path, const std::string& content, std::string& error);

// Why the file or folder at path may not be changed ("... is read-only (Permission denied)"),
// or empty when it may (or does not exist). One without its owner's write permission counts as
// read-only for root too: whoever made it so meant it, though root could write it.
std::string ReadOnlyReason(const std::string& path);
// The same for replacing the file at path: it or its folder read-only.
std::string ReplaceRefusal(const std::string& path);

}  // namespace win32
