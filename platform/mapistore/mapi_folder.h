#pragma once
// Folders of a store, and the top-level folders of the namespace.
#include <memory>

#include "platform/mapistore/mapi_session.h"
#include "platform/outlook/folder.h"

namespace mapistore {

class MapiFolder : public outlook::MAPIFolder {
 public:
  MapiFolder(std::shared_ptr<MapiSession> session, std::shared_ptr<Store> store, FolderRecord folder)
      : session_(std::move(session)), store_(std::move(store)), folder_(std::move(folder)) {}

  std::string Name() override { return folder_.name; }
  std::string EntryID() override { return folder_.entryId; }
  std::string StoreID() override { return store_->StoreId(); }
  int DefaultItemType() override { return folder_.itemType; }
  Ref<outlook::Items> Items() override;
  Ref<outlook::Folders> Folders() override;
  bool HasField(const std::string& name) override;

  const std::shared_ptr<Store>& store() const { return store_; }
  const FolderRecord& record() const { return folder_; }
  com::Variant Invoke(const std::string& member, com::CallType type, com::Args& args) override;

 private:
  std::shared_ptr<MapiSession> session_;
  std::shared_ptr<Store> store_;
  FolderRecord folder_;
};

// The subfolders of one folder, or (without a store) the namespace's top-level folders.
class MapiFolders : public outlook::Folders {
 public:
  explicit MapiFolders(std::shared_ptr<MapiSession> session) : session_(std::move(session)) {}
  MapiFolders(std::shared_ptr<MapiSession> session, std::shared_ptr<Store> store, int64_t parentId)
      : session_(std::move(session)), store_(std::move(store)), parentId_(parentId) {}

  int Count() override;
  Ref<outlook::MAPIFolder> Item(int index) override;
  Ref<outlook::MAPIFolder> Item(const std::string& name) override;
  Ref<outlook::MAPIFolder> Add(const std::string& name, int itemType) override;

 private:
  std::vector<Ref<outlook::MAPIFolder>> List();

  std::shared_ptr<MapiSession> session_;
  std::shared_ptr<Store> store_;
  int64_t parentId_ = 0;
};

}  // namespace mapistore
