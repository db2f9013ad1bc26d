#include "host/window/folder_tree.h"

#include <QMenu>

#include "platform/com/com_error.h"

namespace window {
namespace {
enum Role { kEntryId = Qt::UserRole, kStoreId };
}

FolderTree::FolderTree(QWidget* parent) : QTreeWidget(parent) {
  setObjectName("FolderTree");
  setHeaderLabel("Folders");
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (!filling_ && onChosen && item) onChosen(FolderAt(item));
  });
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QTreeWidgetItem* item = itemAt(at);
    if (!item || !onProperties) return;
    QMenu menu;
    QAction* properties = menu.addAction("P&roperties");
    if (menu.exec(viewport()->mapToGlobal(at)) == properties) onProperties(FolderAt(item));
  });
}

void FolderTree::Fill(outlook::NameSpace& ns) {
  ns_ = &ns;
  filling_ = true;
  clear();
  try {
    auto stores = ns.Folders();
    for (int i = 1; i <= stores->Count(); ++i) Add(stores->Item(i), nullptr);
  } catch (const com::ComError&) {
    // A store that cannot be read shows what was read before it.
  }
  expandAll();
  filling_ = false;
}

void FolderTree::Add(const com::Ref<outlook::MAPIFolder>& folder, QTreeWidgetItem* parent) {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
  item->setText(0, QString::fromStdString(folder->Name()));
  item->setData(0, kEntryId, QString::fromStdString(folder->EntryID()));
  item->setData(0, kStoreId, QString::fromStdString(folder->StoreID()));
  auto subs = folder->Folders();
  for (int i = 1; i <= subs->Count(); ++i) Add(subs->Item(i), item);
}

com::Ref<outlook::MAPIFolder> FolderTree::FolderAt(QTreeWidgetItem* item) const {
  if (!item || !ns_) return nullptr;
  try {
    return ns_->GetFolderFromID(item->data(0, kEntryId).toString().toStdString(),
                                item->data(0, kStoreId).toString().toStdString());
  } catch (const com::ComError&) {
    return nullptr;
  }
}

void FolderTree::Select(const std::string& entryId) {
  filling_ = true;
  for (QTreeWidgetItemIterator it(this); *it; ++it) {
    if ((*it)->data(0, kEntryId).toString().toStdString() == entryId) setCurrentItem(*it);
  }
  filling_ = false;
}

std::string FolderTree::PathOf(QTreeWidgetItem* item) {
  std::string path;
  for (; item; item = item->parent()) path = item->text(0).toStdString() + (path.empty() ? "" : "|" + path);
  return path;
}

}  // namespace window
