#include "platform/mapistore/mapi_address_lists.h"

#include <map>
#include <set>

#include "platform/com/com_error.h"
#include "platform/com/text.h"

namespace mapistore {
namespace {

class Entry : public outlook::AddressEntry {
 public:
  explicit Entry(AddressRecord r) : r_(std::move(r)) {}
  std::string Name() override { return r_.name; }
  std::string Address() override { return r_.address; }
  std::string Type() override { return r_.type; }
  int DisplayType() override { return r_.displayType; }

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

class List : public outlook::AddressList {
 public:
  List(std::shared_ptr<MapiSession> session, std::string name, int index)
      : session_(std::move(session)), name_(std::move(name)), index_(index) {}
  std::string Name() override { return name_; }
  int Index() override { return index_; }
  // Read when asked, so a list shows what the stores hold now. An entry two stores hold is
  // taken from the first.
  Ref<outlook::AddressEntries> AddressEntries() override {
    std::map<std::string, AddressRecord, com::NoCaseLess> byName;
    for (const auto& s : session_->stores()) {
      for (auto& a : s->Addresses()) {
        if (com::EqualsNoCase(a.list, name_)) byName.emplace(a.name, a);
      }
    }
    std::vector<AddressRecord> list;
    for (auto& entry : byName) list.push_back(std::move(entry.second));
    return std::make_shared<Entries>(std::move(list));
  }

 private:
  std::shared_ptr<MapiSession> session_;
  std::string name_;
  int index_;
};

}  // namespace

MapiAddressLists::MapiAddressLists(std::shared_ptr<MapiSession> session)
    : session_(std::move(session)), names_{kGlobalAddressList, kContactsList} {
  std::set<std::string, com::NoCaseLess> others;
  for (const auto& s : session_->stores()) {
    for (const auto& a : s->Addresses()) {
      if (!com::EqualsNoCase(a.list, kGlobalAddressList) && !com::EqualsNoCase(a.list, kContactsList)) {
        others.insert(a.list);
      }
    }
  }
  names_.insert(names_.end(), others.begin(), others.end());
}

Ref<outlook::AddressList> MapiAddressLists::Item(int index) {
  if (index < 1 || index > Count()) com::Raise(com::kErrSubscriptOutOfRange);
  return std::make_shared<List>(session_, names_[static_cast<size_t>(index - 1)], index);
}

}  // namespace mapistore
