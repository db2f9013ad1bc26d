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
  kErrObjectChanged = -2147221239,      // 0x80040109
};

[[noreturn]] void RaiseItemGone();
// A save of an item that someone else saved since it was read.
[[noreturn]] void RaiseChanged();
[[noreturn]] void RaiseOffline(const std::string& storeName);
[[noreturn]] void RaiseNotFound(const std::string& what);

}  // namespace mapistore
