#include "platform/mapistore/store_errors.h"

#include "platform/com/com_error.h"

namespace mapistore {

void RaiseItemGone() { com::Raise(kErrNotFound, "The item has been moved or deleted."); }

void RaiseOffline(const std::string& storeName) {
  com::Raise(kErrNetwork, "Network problems are preventing connection to " + storeName + ".");
}

void RaiseNotFound(const std::string& what) {
  com::Raise(kErrNotFound, "The operation failed. An object could not be found (" + what + ").");
}

}  // namespace mapistore
