#include "host/caldav_module.h"

#include <dlfcn.h>

#include <stdexcept>

#include "host/session.h"
#include "platform/caldav/caldav_store.h"

namespace host {

std::shared_ptr<mapistore::Store> OpenCalDavStore(const caldav::Account& account, const std::string& replicaPath,
                                                  const mapistore::DbServices& services, bool cached) {
  static decltype(&QuorvaneOpenCalDavStore) open = [] {
    const std::string path = ProgramDirectory() + "/libQuorvaneCalDav.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);  // kept for the process
    auto found = library ? reinterpret_cast<decltype(&QuorvaneOpenCalDavStore)>(dlsym(library, "QuorvaneOpenCalDavStore"))
                         : nullptr;
    if (!found) {
      const char* why = dlerror();
      throw std::runtime_error("the public folders on a server cannot be used: " + std::string(why ? why : path));
    }
    return found;
  }();
  return open(account, replicaPath, services, cached);
}

}  // namespace host
