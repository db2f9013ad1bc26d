#include "host/property_dialog.h"

#include "platform/com/err_object.h"
#include "platform/forms/user_control.h"
#include "platform/outlook/property_page.h"

namespace host {

void DialogPages::Add(const com::ObjectPtr& page, const std::string& title) {
  if (!page) com::Raise(com::kErrInvalidCall);
  pages.emplace_back(page, title);
}

// A page may outlive its dialog (the add-in holds its page until it shuts down): the site
// then reports to nobody.
class PropertyDialog::Site : public outlook::PropertyPageSite {
 public:
  explicit Site(PropertyDialog* dialog) : dialog_(dialog) {}
  void OnStatusChange() override {
    if (dialog_) dialog_->StatusChanged();
  }
  void Detach() { dialog_ = nullptr; }

 private:
  PropertyDialog* dialog_;
};

PropertyDialog::PropertyDialog(const std::string& caption, const DialogPages& pages)
    : Form("PropertyDialog", caption), site_(std::make_shared<Site>(this)) {
  SetClientSize(6495, 5175);
  int n = 0;
  for (const auto& [page, title] : pages.pages) {
    auto* control = dynamic_cast<forms::UserControl*>(page.get());
    if (!control) continue;  // a page that cannot be shown is left out
    pages_.push_back(page);
    std::string name = title;
    com::ErrObject noCaption;
    if (name.empty()) noCaption.Try([&] { name = com::GetProperty(page, "Caption").ToString(); });
    forms::Control& c = Embed(*control, "Page" + std::to_string(++n), {120, 480, 6255, 4095});
    c.caption = name;
    control->Site(site_);
  }
  forms::Control& ok = Add("CommandButton", "OK", "OK", {2640, 4680, 1095, 375});
  ok.isDefault = true;
  ok.click = [this] {
    ApplyPages();
    Unload();
  };
  forms::Control& cancel = Add("CommandButton", "Cancel", "Cancel", {3840, 4680, 1095, 375});
  cancel.isCancel = true;
  cancel.click = [this] { Unload(); };
  forms::Control& apply = Add("CommandButton", "Apply", "Apply", {5040, 4680, 1095, 375});
  apply.enabled = false;
  apply.click = [this] {
    ApplyPages();
    StatusChanged();
  };
}

PropertyDialog::~PropertyDialog() { site_->Detach(); }

void PropertyDialog::OnActivate() {
  if (entered_ || pages_.empty()) return;
  entered_ = true;
  dynamic_cast<forms::UserControl*>(pages_.front().get())->EnterFocus();
}

void PropertyDialog::StatusChanged() {
  bool dirty = false;
  for (const auto& page : pages_) {
    if (auto* p = dynamic_cast<outlook::PropertyPage*>(page.get())) dirty = dirty || p->Dirty();
  }
  (*this)["Apply"].enabled = dirty;
}

void PropertyDialog::ApplyPages() {
  for (const auto& page : pages_) {
    auto* p = dynamic_cast<outlook::PropertyPage*>(page.get());
    if (p && p->Dirty()) p->Apply();
  }
}

}  // namespace host
