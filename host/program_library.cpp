#include "host/program_library.h"

#include <dlfcn.h>

#include "host/session.h"

namespace host {

void* ProgramLibraryEntry(const std::string& fileName, const char* symbol, std::string& why) {
  const std::string path = ProgramDirectory() + "/" + fileName;
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  void* entry = library ? dlsym(library, symbol) : nullptr;
  if (!entry) {
    const char* error = dlerror();
    why = error ? error : path;
  }
  return entry;
}

}  // namespace host
