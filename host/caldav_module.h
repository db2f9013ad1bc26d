#pragma once
// The CalDAV store's library, loaded when a profile's public folders are on a server: HTTP and
// TLS are large, and a profile whose public folders are a file never needs them.
#include <memory>
#include <string>

#include "platform/caldav/http_client.h"
#include "platform/mapistore/store.h"
#include "platform/mapistore/sqlite_db.h"

namespace host {

// See CalDavStore::Open (cached: CalDavStore::OpenCached).
std::shared_ptr<mapistore::Store> OpenCalDavStore(const caldav::Account& account, const std::string& replicaPath,
                                                  const mapistore::DbServices& services, bool cached);

}  // namespace host
