#include "folders/folder_browser_form.h"

#include <algorithm>

#include "addin/quorvane_class.h"
#include "platform/com/err_object.h"
#include "platform/com/text.h"
#include "platform/outlook/outlook_enums.h"

namespace quorvane {

FolderBrowserForm::FolderBrowserForm(win32::Environment& env)
    : Form("Form2", "Browse Public Folders"), env_(env) {
  SetClientSize(7575, 5535);
  Add("TreeView", "TreeView1", "", {240, 240, 7095, 3375}).nodeClick = [this](int index) {
    TreeView1_NodeClick(index);
  };
  Add("Label", "Label1", "# of Levels To Load", {1920, 3720, 1575, 255});
  Add("TextBox", "Text1", "3", {3600, 3720, 615, 285});
  Add("CommandButton", "Command3", "Load", {4560, 3720, 975, 375}).click = [this] { Command3_Click(); };
  Add("ProgressBar", "ProgressBar1", "", {240, 4320, 7095, 375}).visible = false;
  forms::Control& ok = Add("CommandButton", "Command1", "OK", {2160, 4920, 1335, 375});
  ok.click = [this] { Command1_Click(); };
  ok.isDefault = true;
  forms::Control& cancel = Add("CommandButton", "Command2", "Cancel", {3840, 4920, 1335, 375});
  cancel.click = [this] { Command2_Click(); };
  cancel.isCancel = true;
}

void FolderBrowserForm::OnLoad() {
  com::ErrObject err;
  err.Try([&] {
    iMaxLevel = 3;
    bClosing = false;
    SetCaption(oSelectGlobal ? "Browse Global Folders" : "Browse Local Folders");
    oNS = com::As<outlook::NameSpace>(oCalAdmCls->oNameSpace());
    oFolders = oNS->Folders();
    iStoreCount = static_cast<int16_t>(oFolders->Count());
  });
  if (err.Pending()) ShowError("Form_Load", err);
}

void FolderBrowserForm::MsgBox(const std::string& prompt) {
  env_.loop.BeforeUserWait();
  env_.ui.MessageBox(prompt, kAppTitle, win32::vbOKOnly);
}

void FolderBrowserForm::ShowError(const std::string& operation, const com::ErrObject& err) {
  MsgBox("Error (" + std::to_string(err.Number()) + ") Encountered in " + operation + "\r\nDesc: " + err.Description());
}

void FolderBrowserForm::OnActivate() {
  // The nodes are not cleared here: a second activation (the user comes back from another
  // window) keeps the tree it has rather than adding every key again. "Load" reloads it.
  if (bTreeLoaded) return;
  bTreeLoaded = true;
  fnLoadTree();
}

void FolderBrowserForm::Trace(const std::string& line) {
  if (oSetPromptErrors) oCalAdmCls->fnPostError(line);
}

void FolderBrowserForm::SetProgress(double value) {
  sngProgress = static_cast<float>(value);
  (*this)["ProgressBar1"].value = static_cast<int>(sngProgress);
}

std::string FolderBrowserForm::Letter(int number) const {
  if (number < 0 || number > iMaxLevel || number > 25) return "";
  return std::string(1, static_cast<char>('A' + number));
}

std::string FolderBrowserForm::StorePrefix(int position) const {
  // A store past the letters still needs keys that cannot begin with a digit and cannot meet
  // a letter's keys, which go on with hexadecimal digits alone.
  const std::string letter = Letter(position);
  return letter.empty() ? "S" + std::to_string(position) + "_" : letter;
}

bool FolderBrowserForm::IsStoreNode(int index) const {
  return std::find(lStoreNodes.begin(), lStoreNodes.end(), index) != lStoreNodes.end();
}

void FolderBrowserForm::fnLoadTree() {
  forms::TreeNodes& nodes = *(*this)["TreeView1"].nodes;
  lStoreNodes.clear();
  (*this)["ProgressBar1"].visible = true;
  if (iStoreCount == 0) {
    MsgBox("No Folder Tree detected!");
    return;
  }
  std::string storeName;
  com::ErrObject err;
  err.Try([&] {
    for (int i = 0; i < iStoreCount && !bClosing; ++i) {
      // The list of store nodes has room for so many stores; the tree stops there.
      if (static_cast<size_t>(i) >= kMaxStores) {
        Trace("fnLoadTree - Store limit of " + std::to_string(kMaxStores) + " reached");
        break;
      }
      SetProgress(90.0 * i / iStoreCount);
      com::Ref<outlook::MAPIFolder> store = oFolders->Item(i + 1);
      storeName = store->Name();
      if (!oSelectGlobal && i == 0 && store->DefaultItemType() == outlook::olPostItem) continue;
      Trace(" ");
      Trace("fnLoadTree Processing Store [" + storeName + "]");
      const std::string prefix = StorePrefix(i);
      const std::string storeKey = prefix + com::Trim(store->EntryID());
      const int storeNode = nodes.Add("", storeKey, storeName);
      lStoreNodes.resize(static_cast<size_t>(i) + 1, 0);
      lStoreNodes[static_cast<size_t>(i)] = storeNode;
      com::Ref<outlook::Folders> subs = store->Folders();
      const int count = subs->Count();
      for (int counter = 1; counter <= count && !bClosing; ++counter) {
        com::Ref<outlook::MAPIFolder> folder = subs->Item(counter);
        const std::string name = folder->Name();
        Trace("fnLoadTree Processing Folder [" + name + "]");
        const std::string key = prefix + com::Trim(folder->EntryID());
        nodes.Add(storeKey, key, name);
        if (folder->Folders()->Count() > 0) {
          Trace("fnLoadTree Processing SubFolders for Folder [" + name + "]");
          ListSubFolders(folder, key, 0);
        }
      }
    }
    (*this)["ProgressBar1"].visible = false;
  });
  if (err.Pending()) {
    oCalAdmCls->fnPostError("Error Detected in fnLoadTree processing [" + storeName + "]");
  }
}

void FolderBrowserForm::ListSubFolders(const com::Ref<outlook::MAPIFolder>& folder, const std::string& parentKey,
                                       int level) {
  std::string name;
  com::ErrObject err;
  err.Try([&] {
    name = folder->Name();
    Trace("ListSubFolders - Start of function");
    if (bClosing) return;
    com::Ref<outlook::Folders> subs = folder->Folders();
    if (subs.IsNothing()) return;
    const bool top = level == 0;
    ++level;
    const std::string letter = Letter(level);
    if (letter.empty()) return;
    Trace("ListSubFolders - Processing Level [" + std::to_string(level) + "]");
    forms::TreeNodes& nodes = *(*this)["TreeView1"].nodes;
    const int count = subs->Count();
    int counter = 1;
    com::Ref<outlook::MAPIFolder> sub = count > 0 ? subs->Item(1) : nullptr;
    while (counter <= count && !sub.IsNothing()) {
      const std::string key = letter + com::Trim(sub->EntryID());
      const std::string text = com::Trim(sub->Name());
      Trace("ListSubFolders - Processing Folder [" + text + "]");
      nodes.Add(parentKey, key, text);
      if (sub->Folders()->Count() > 0) {
        Trace("ListSubFolders - Processing Sub Folders for Folder [" + sub->Name() + "]");
        ListSubFolders(sub, key, level);
      }
      if (bClosing) return;
      sub = ++counter <= count ? subs->Item(counter) : nullptr;
      if (!sub.IsNothing() && sub->Name() == "Internet Newsgroups") {
        sub = ++counter <= count ? subs->Item(counter) : nullptr;
      }
      if (top) SetProgress(90.0 * std::min(counter, count) / count);  // past the last: all done
      // OK and Cancel (and the add-in's timer) get their turn while the tree loads.
      env_.loop.DoEvents();
      if (bClosing) return;
    }
    Trace("ListSubFolders - End of Function");
  });
  if (err.Pending()) oCalAdmCls->fnPostError("Error Detected in ListSubFolders Processing [" + name + "]");
}

void FolderBrowserForm::TreeView1_NodeClick(int index) {
  if (bClosing) return;
  com::ErrObject err;
  err.Try([&] {
    const forms::TreeNodes& nodes = *(*this)["TreeView1"].nodes;
    std::string path = nodes.Item(index).text;
    int at = index;
    while (!IsStoreNode(at) && nodes.Item(at).parent != 0) {
      at = nodes.Item(at).parent;
      path = nodes.Item(at).text + "|" + path;
    }
    strChosenPath = path;
  });
  if (err.Pending()) ShowError("TreeView1_NodeClick", err);
}

void FolderBrowserForm::Command1_Click() {
  if (oSelectGlobal) oCalAdmCls->SetGlobalFolderPath(strChosenPath);
  else oCalAdmCls->SetLocalFolderPath(strChosenPath);
  Close();
}

void FolderBrowserForm::Command2_Click() { Close(); }

void FolderBrowserForm::Command3_Click() {
  iMaxLevel = com::Variant((*this)["Text1"].caption).ToInteger();
  (*this)["TreeView1"].nodes->Clear();
  fnLoadTree();
}

void FolderBrowserForm::Close() {
  bClosing = true;
  oAdminDLL.reset();
  oCalAdmCls.Release();
  Unload();
}

}  // namespace quorvane
