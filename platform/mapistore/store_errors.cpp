#include "platform/mapistore/store_errors.h"

#include "platform/com/com_error.h"

namespace mapistore {

void RaiseItemGone() { com::Raise(kErrNotFound, "The item has been moved or deleted."); }

void RaiseChanged() {
  com::Raise(kErrObjectChanged,
             "The item has been changed by someone else since it was opened; open it again to see the changes.");
}

void RaiseOffline(const std::string& storeName) {
  com::Raise(kErrNetwork, "Network problems are preventing connection to " + storeName + ".");
}

void RaiseNotFound(const std::string& what) {
  com::Raise(kErrNotFound, "The operation failed. An object could not be found (" + what + ").");
}

}  // namespace mapistore
