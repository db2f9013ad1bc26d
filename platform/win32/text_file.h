#pragma once
// The host's sequential file statements (Open ... For Output / For Append, Print #, Close):
// failures raise the host's file errors (76 path not found, 75 access error).
#include <string>

#include "platform/win32/clock.h"

namespace win32 {

// Open For Output: replaces the file's content with text.
void WriteTextFile(const std::string& path, const std::string& text);
// Open For Append: adds text at the end, creating the file when needed. The file stays open
// between calls; the clock's ticks time how often its name is looked at again.
void AppendTextFile(const std::string& path, const std::string& text, Clock& clock);

}  // namespace win32
