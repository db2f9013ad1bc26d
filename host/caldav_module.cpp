#include "host/caldav_module.h"

#include <stdexcept>

#include "host/program_library.h"
#include "platform/caldav/caldav_store.h"

namespace host {

std::shared_ptr<mapistore::Store> OpenCalDavStore(const caldav::Account& account, const std::string& replicaPath,
                                                  const mapistore::DbServices& services, bool cached) {
  static std::string why;  // the library is looked for once
  static auto open = reinterpret_cast<decltype(&QuorvaneOpenCalDavStore)>(
      ProgramLibraryEntry("libQuorvaneCalDav.so", "QuorvaneOpenCalDavStore", why));
  if (!open) throw std::runtime_error("the public folders on a server cannot be used: " + why);
  return open(account, replicaPath, services, cached);
}

}  // namespace host
