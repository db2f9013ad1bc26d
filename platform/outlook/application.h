#pragma once
// The application, its MAPI namespace, the explorer and the address lists.
#include <string>
#include <vector>

#include "platform/com/subscription.h"
#include "platform/office/command_bars.h"
#include "platform/outlook/appointment_item.h"
#include "platform/outlook/folder.h"

namespace outlook {

class AddressEntry : public com::ComObject {
 public:
  virtual std::string Name() = 0;
  virtual std::string Address() = 0;
  virtual std::string Type() = 0;
  virtual int DisplayType() = 0;  // 0: a user
};

class AddressEntries : public com::ComObject {
 public:
  virtual int Count() = 0;
  virtual Ref<AddressEntry> Item(int index) = 0;
};

class AddressList : public com::ComObject {
 public:
  virtual std::string Name() = 0;
  virtual int Index() = 0;
  virtual Ref<outlook::AddressEntries> AddressEntries() = 0;
};

class AddressLists : public com::ComObject {
 public:
  virtual int Count() = 0;
  virtual Ref<AddressList> Item(int index) = 0;
};

// The pages of the Options dialog (or of a folder's Properties dialog) being built.
class PropertyPages : public com::ComObject {
 public:
  virtual void Add(const com::ObjectPtr& page, const std::string& title) = 0;
  virtual int Count() = 0;
};

using OptionsPagesAddHandler = std::function<void(const Ref<PropertyPages>&)>;
using FolderPagesAddHandler = std::function<void(const Ref<PropertyPages>&, const Ref<MAPIFolder>&)>;

class NameSpace : public com::ComObject {
 public:
  // A folder's Properties dialog is being built.
  virtual com::Subscription OnOptionsPagesAdd(FolderPagesAddHandler handler) = 0;
  virtual Ref<outlook::Folders> Folders() = 0;  // the top-level folder of every store
  // Nothing when no folder has that entry ID in that store.
  virtual Ref<MAPIFolder> GetFolderFromID(const std::string& entryID, const std::string& storeID) = 0;
  virtual Ref<MAPIFolder> GetDefaultFolder(int folderType) = 0;
  virtual Ref<AppointmentItem> GetItemFromID(const std::string& entryID) = 0;
  virtual Ref<outlook::AddressLists> AddressLists() = 0;
};

class Selection : public com::ComObject {
 public:
  virtual int Count() = 0;
  virtual Ref<AppointmentItem> Item(int index) = 0;  // 1-based
};

class Explorer : public com::ComObject {
 public:
  virtual Ref<MAPIFolder> CurrentFolder() = 0;
  virtual Ref<outlook::Selection> Selection() = 0;
  virtual Ref<office::CommandBars> CommandBars() = 0;
  virtual com::Subscription OnClose(std::function<void()> handler) = 0;
  // Before the explorer shows another folder; Nothing for a folder of the file system.
  virtual com::Subscription OnBeforeFolderSwitch(std::function<void(const Ref<MAPIFolder>&, bool& cancel)> handler) = 0;
};

class Application : public com::ComObject {
 public:
  virtual Ref<NameSpace> GetNamespace(const std::string& type) = 0;  // "MAPI"
  virtual Ref<Explorer> ActiveExplorer() = 0;
  // A new, unsaved item; an appointment is saved into the default calendar.
  virtual Ref<AppointmentItem> CreateItem(int itemType) = 0;
  // The Options dialog is being built.
  virtual com::Subscription OnOptionsPagesAdd(OptionsPagesAddHandler handler) = 0;
};

}  // namespace outlook
