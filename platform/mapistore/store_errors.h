#pragma once
// The store's own error numbers, as the object model reports them.
#include <string>

namespace mapistore {

enum StoreError : long {
  kErrCallFailed = -2147467259,         // 0x80004005
  kErrNotFound = -2147221233,           // 0x8004010F
  kErrNetwork = -2147221219,            // 0x8004011D
  kErrCorruptStore = -2147221221,       // 0x8004011B
  kErrBadCondition = -2147352567,       // 0x80020009
};

[[noreturn]] void RaiseItemGone();
[[noreturn]] void RaiseOffline(const std::string& storeName);
[[noreturn]] void RaiseNotFound(const std::string& what);

}  // namespace mapistore
