#pragma once
// Form2, the folder browser: a tree of every store and its folders, from which the user picks
// the global or the local calendar; OK hands the chosen path to the add-in.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/err_object.h"
#include "platform/com/ref.h"
#include "platform/forms/form.h"
#include "platform/outlook/application.h"
#include "platform/win32/environment.h"

namespace quorvane {

class QuorvaneClass;

class FolderBrowserForm : public forms::Form {
 public:
  explicit FolderBrowserForm(win32::Environment& env);

  // Set by the opener before the form is shown.
  com::ObjectPtr oAdminDLL;
  com::Ref<QuorvaneClass> oCalAdmCls;  // logs, the namespace, and the two setters
  bool oSelectGlobal = false;
  bool oSetPromptErrors = false;

  void Command1_Click();  // OK
  void Command2_Click();  // Cancel
  void Command3_Click();  // Load
  void TreeView1_NodeClick(int index);
  void fnLoadTree();

  const std::string& ChosenPath() const { return strChosenPath; }
  static constexpr size_t kMaxStores = 101;  // room in the list of store nodes

 protected:
  void OnLoad() override;      // Form_Load
  void OnActivate() override;  // Form_Activate

 private:
  void ListSubFolders(const com::Ref<outlook::MAPIFolder>& folder, const std::string& parentKey, int level);
  // The key letter of a 0-based number; empty when there is none (above the maximum level or 25).
  std::string Letter(int number) const;
  // What the keys of a store's node and its direct subfolders begin with.
  std::string StorePrefix(int position) const;
  bool IsStoreNode(int index) const;
  void Trace(const std::string& line);
  void SetProgress(double value);
  void Close();
  void MsgBox(const std::string& prompt);  // OK only, no icon
  // "Error (n) Encountered in <operation>", then the description.
  void ShowError(const std::string& operation, const com::ErrObject& err);

  win32::Environment& env_;
  com::Ref<outlook::NameSpace> oNS;
  com::Ref<outlook::Folders> oFolders;  // the top-level folder of every store
  int16_t iStoreCount = 0;
  std::vector<int> lStoreNodes;  // the tree index of each store's node, by store position
  int16_t iMaxLevel = 3;
  std::string strChosenPath;
  bool bClosing = false;
  float sngProgress = 0;
  bool bTreeLoaded = false;  // Form_Activate fills the tree once per load of the form
};

}  // namespace quorvane
