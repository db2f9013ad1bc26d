// Turning a stored "|" path into a calendar folder, and recording the folder's identity.
#include "addin/quorvane_class.h"
#include "folders/folder_browser_form.h"

namespace quorvane {

template <size_t N>
void QuorvaneClass::ResolvePath(std::string& path, std::string& entryIdSetting, std::string& storeIdSetting,
                                Folder& folder, std::array<std::string, N>& slots, size_t limit,
                                const char* entryIdName, const char* storeIdName, const char* pathName) {
  if (path.empty()) return;
  com::ErrObject err;  // every step is skipped on failure, silently
  for (size_t i = 0; i < limit && i < N; ++i) slots[i].clear();
  // Elements beyond the limit are ignored: a deeper path names the folder at the limit.
  size_t count = 0;
  for (size_t pos = 0; count < limit && pos < path.size();) {
    const size_t bar = path.find('|', pos);
    if (bar == std::string::npos) {
      slots[count++] = path.substr(pos);
      break;
    }
    slots[count++] = path.substr(pos, bar - pos);
    pos = bar + 1;
  }
  const std::string ownName = count > 0 ? slots[count - 1] : std::string();

  Folder found;
  err.Try([&] {
    Folder level = oNS->Folders()->Item(slots[0]);
    for (size_t i = 1; i < count; ++i) level = level->Folders()->Item(slots[i]);
    found = level;
  });
  if (!found.IsNothing()) folder = found;

  path = ownName;
  err.Try([&] { entryIdSetting = folder->EntryID(); });
  err.Try([&] { storeIdSetting = folder->StoreID(); });
  err.Try([&] { reg_.fnRegSetValue(entryIdName, win32::REG_SZ, entryIdSetting); });
  err.Try([&] { reg_.fnRegSetValue(storeIdName, win32::REG_SZ, storeIdSetting); });
  err.Try([&] { reg_.fnRegSetValue(pathName, win32::REG_SZ, path); });
}

void QuorvaneClass::ResolveGlobalCalendar() {
  ResolvePath(GlobalCalendar, GlobalCalEntryID, GStoreEntryID, oGlobalCalendar, strGlobalPath, 26,
              "GlobalCalEntryID", "GStoreEntryID", "GlobalCalendar");
}

void QuorvaneClass::ResolveLocalCalendar() {
  ResolvePath(LocalCalendar, LocalCalEntryID, LStoreEntryID, oLocalCalendar, strLocalPath, 5, "LocalCalEntryID",
              "LStoreEntryID", "LocalCalendar");
}

void QuorvaneClass::Browse(bool global) {
  const std::string operation = global ? "BrowsePublicFolders" : "BrowseLocalFolders";
  com::ErrObject err;
  err.Try([&] {
    int roots = 0;
    if (!oRootFolders.IsNothing()) roots = oRootFolders->Count();
    if (roots == 0) {
      MsgBox(global ? "Public Folders Root and Mailbox Folders Root Not Detected by QZT"
                    : "Personal Folders Root and Mailbox Folders Root Not Detected by QZT");
      return;
    }
    if (!Form2 || !Form2->loaded()) Form2 = std::make_shared<FolderBrowserForm>(env_);
    std::shared_ptr<FolderBrowserForm> form = Form2;  // shutdown may let go of it while it is shown
    form->oAdminDLL = shared_from_this();
    form->oCalAdmCls = std::static_pointer_cast<QuorvaneClass>(shared_from_this());
    form->oSelectGlobal = global;
    form->oSetPromptErrors = PromptErrors != 0;
    form->Load();
    ShowModal(*form);
  });
  if (err.Pending()) {
    fnPostError("Error (" + std::to_string(err.Number()) + ") Detected in " + operation + "\r\nDesc: " +
                err.Description());
  }
}

void QuorvaneClass::BrowsePublicFolders() { Browse(true); }

void QuorvaneClass::BrowseLocalFolders() { Browse(false); }

}  // namespace quorvane
