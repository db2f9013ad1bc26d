#pragma once
// The address lists: one "Global Address List" of every member known to the profile's stores.
#include <memory>

#include "platform/mapistore/mapi_session.h"

namespace mapistore {

class MapiAddressLists : public outlook::AddressLists {
 public:
  explicit MapiAddressLists(std::shared_ptr<MapiSession> session) : session_(std::move(session)) {}
  int Count() override { return 1; }
  Ref<outlook::AddressList> Item(int index) override;

 private:
  std::shared_ptr<MapiSession> session_;
};

}  // namespace mapistore
