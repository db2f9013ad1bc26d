#pragma once
// Folders: a store's tree of named folders, each with its items.
#include <string>

#include "platform/com/com_object.h"
#include "platform/com/ref.h"

namespace outlook {

using com::Ref;
class Items;
class Folders;

class MAPIFolder : public com::ComObject {
 public:
  virtual std::string Name() = 0;
  virtual std::string EntryID() = 0;
  virtual std::string StoreID() = 0;
  virtual int DefaultItemType() = 0;
  virtual Ref<outlook::Items> Items() = 0;
  virtual Ref<outlook::Folders> Folders() = 0;
  // Whether the folder knows a user-defined field of that name.
  virtual bool HasField(const std::string& name) = 0;
};

class Folders : public com::ComObject {
 public:
  virtual int Count() = 0;
  virtual Ref<MAPIFolder> Item(int index) = 0;  // 1-based
  // By name; raises when there is none.
  virtual Ref<MAPIFolder> Item(const std::string& name) = 0;
  virtual Ref<MAPIFolder> Add(const std::string& name, int itemType = 1) = 0;
};

}  // namespace outlook
