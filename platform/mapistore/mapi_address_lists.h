#pragma once
// The namespace's address lists, read from the stores: the workgroup's "Global Address List",
// which the public folders keep so every member sees the same one, and the member's own
// "Contacts" from the mailbox. Both are always there, empty or not; a list of another name that
// a store holds follows them.
#include <memory>
#include <string>
#include <vector>

#include "platform/mapistore/mapi_session.h"

namespace mapistore {

inline constexpr const char* kGlobalAddressList = "Global Address List";
inline constexpr const char* kContactsList = "Contacts";

class MapiAddressLists : public outlook::AddressLists {
 public:
  explicit MapiAddressLists(std::shared_ptr<MapiSession> session);
  int Count() override { return static_cast<int>(names_.size()); }
  Ref<outlook::AddressList> Item(int index) override;  // index: the list's Index, 1-based

 private:
  std::shared_ptr<MapiSession> session_;
  std::vector<std::string> names_;
};

}  // namespace mapistore
