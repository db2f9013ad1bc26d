#include "platform/mapistore/mapi_address_lists.h"

#include <map>

#include "platform/com/com_error.h"
#include "platform/com/text.h"

namespace mapistore {
namespace {

class Entry : public outlook::AddressEntry {
 public:
  explicit Entry(AddressRecord r) : r_(std::move(r)) {}
  std::string Name() override { return r_.name; }
  std::string Address() override { return r_.address; }
  std::string Type() override { return "SMTP"; }
  int DisplayType() override { return 0; }

 private:
  AddressRecord r_;
};

class Entries : public outlook::AddressEntries {
 public:
  explicit Entries(std::vector<AddressRecord> list) : list_(std::move(list)) {}
  int Count() override { return static_cast<int>(list_.size()); }
  Ref<outlook::AddressEntry> Item(int index) override {
    if (index < 1 || index > Count()) com::Raise(com::kErrSubscriptOutOfRange);
    return std::make_shared<Entry>(list_[static_cast<size_t>(index - 1)]);
  }

 private:
  std::vector<AddressRecord> list_;
};

class GlobalList : public outlook::AddressList {
 public:
  explicit GlobalList(std::shared_ptr<MapiSession> session) : session_(std::move(session)) {}
  std::string Name() override { return "Global Address List"; }
  int Index() override { return 1; }
  Ref<outlook::AddressEntries> AddressEntries() override {
    std::map<std::string, AddressRecord, com::NoCaseLess> all;
    for (const auto& s : session_->stores()) {
      for (auto& a : s->Addresses()) all.emplace(a.name, a);
    }
    std::vector<AddressRecord> list;
    for (auto& [name, a] : all) list.push_back(a);
    return std::make_shared<Entries>(std::move(list));
  }

 private:
  std::shared_ptr<MapiSession> session_;
};

}  // namespace

Ref<outlook::AddressList> MapiAddressLists::Item(int index) {
  if (index != 1) com::Raise(com::kErrSubscriptOutOfRange);
  return std::make_shared<GlobalList>(session_);
}

}  // namespace mapistore
