#pragma once
// One of the program's own libraries, next to it, loaded the first time a command needs it and
// kept for the rest of the process (the toolkits they bring keep state of their own).
#include <string>

namespace host {

// The library's entry named symbol; nullptr when the library or the entry cannot be found,
// with the reason in why.
void* ProgramLibraryEntry(const std::string& fileName, const char* symbol, std::string& why);

}  // namespace host
