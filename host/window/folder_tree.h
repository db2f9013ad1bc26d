#pragma once
// The namespace's folders on the left of the window: every store with its folders below it.
#include <functional>
#include <string>

#include <QTreeWidget>

#include "platform/outlook/application.h"

namespace window {

class FolderTree : public QTreeWidget {
 public:
  explicit FolderTree(QWidget* parent = nullptr);
  void Fill(outlook::NameSpace& ns);
  // The folder of an item of the tree; nothing for none.
  com::Ref<outlook::MAPIFolder> FolderAt(QTreeWidgetItem* item) const;
  // Selects the node of the folder with that entry ID, without raising onChosen.
  void Select(const std::string& entryId);
  // A path of names joined by "|", as the command line names folders.
  static std::string PathOf(QTreeWidgetItem* item);

  std::function<void(const com::Ref<outlook::MAPIFolder>&)> onChosen;
  std::function<void(const com::Ref<outlook::MAPIFolder>&)> onProperties;

 private:
  void Add(const com::Ref<outlook::MAPIFolder>& folder, QTreeWidgetItem* parent);
  outlook::NameSpace* ns_ = nullptr;
  bool filling_ = false;
};

}  // namespace window
