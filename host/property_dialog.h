#pragma once
// The host's Options dialog and a folder's Properties dialog: the pages the add-ins add while
// the dialog is built, each sited with a page site through which it reports its changes, and
// the buttons OK (apply, then close), Cancel and Apply (enabled while a page is dirty).
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/form.h"
#include "platform/outlook/application.h"

namespace host {

// The pages added to a dialog being built.
class DialogPages : public outlook::PropertyPages {
 public:
  void Add(const com::ObjectPtr& page, const std::string& title) override;
  int Count() override { return static_cast<int>(pages.size()); }
  std::vector<std::pair<com::ObjectPtr, std::string>> pages;  // page, title ("" : its Caption)
};

class PropertyDialog : public forms::Form {
 public:
  PropertyDialog(const std::string& caption, const DialogPages& pages);
  ~PropertyDialog() override;

 protected:
  void OnActivate() override;  // the user comes to the first page

 private:
  class Site;
  void StatusChanged();
  void ApplyPages();

  std::vector<com::ObjectPtr> pages_;
  std::shared_ptr<Site> site_;
  bool entered_ = false;
};

}  // namespace host
