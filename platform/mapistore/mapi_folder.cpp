#include "platform/mapistore/mapi_folder.h"

#include <algorithm>

#include "platform/com/com_error.h"
#include "platform/com/text.h"
#include "platform/mapistore/mapi_items.h"
#include "platform/mapistore/store_errors.h"

namespace mapistore {

Ref<outlook::Items> MapiFolder::Items() {
  ItemQuery q;
  q.folderId = folder_.id;
  return std::make_shared<MapiItems>(session_, store_, std::move(q));
}

Ref<outlook::Folders> MapiFolder::Folders() { return std::make_shared<MapiFolders>(session_, store_, folder_.id); }

bool MapiFolder::HasField(const std::string& name) {
  const auto fields = store_->FolderFields(folder_.id);
  return std::any_of(fields.begin(), fields.end(), [&](const std::string& f) { return com::EqualsNoCase(f, name); });
}

com::Variant MapiFolder::Invoke(const std::string& member, com::CallType type, com::Args& args) {
  const std::string m = com::ToLower(member);
  if (type != com::CallType::PropertyPut) {
    if (m == "name") return Name();
    if (m == "entryid") return EntryID();
    if (m == "storeid") return StoreID();
    if (m == "items") return Items().get();
    if (m == "folders") return Folders().get();
  }
  return ComObject::Invoke(member, type, args);
}

std::vector<Ref<outlook::MAPIFolder>> MapiFolders::List() {
  std::vector<Ref<outlook::MAPIFolder>> out;
  if (!store_) {
    for (const auto& s : session_->stores()) out.push_back(session_->FolderObject(s, s->Root()));
  } else {
    for (const auto& f : store_->SubFolders(parentId_)) out.push_back(session_->FolderObject(store_, f));
  }
  return out;
}

int MapiFolders::Count() { return static_cast<int>(List().size()); }

Ref<outlook::MAPIFolder> MapiFolders::Item(int index) {
  auto list = List();
  if (index < 1 || index > static_cast<int>(list.size())) com::Raise(com::kErrSubscriptOutOfRange);
  return list[static_cast<size_t>(index - 1)];
}

Ref<outlook::MAPIFolder> MapiFolders::Item(const std::string& name) {
  for (auto& f : List()) {
    if (com::EqualsNoCase(f->Name(), name)) return f;
  }
  RaiseNotFound("folder \"" + name + "\"");
}

Ref<outlook::MAPIFolder> MapiFolders::Add(const std::string& name, int itemType) {
  if (!store_) com::Raise(kErrCallFailed, "Top-level folders come from stores of the profile.");
  if (com::Trim(name).empty()) com::Raise(com::kErrInvalidCall, "A folder needs a name.");
  if (name.find('|') != std::string::npos) com::Raise(com::kErrInvalidCall, "A folder name cannot hold \"|\".");
  return session_->FolderObject(store_, store_->AddFolder(parentId_, name, itemType));
}

}  // namespace mapistore
