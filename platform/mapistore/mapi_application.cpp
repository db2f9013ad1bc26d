#include "platform/mapistore/mapi_application.h"

#include "platform/com/com_error.h"
#include "platform/com/text.h"
#include "platform/outlook/outlook_enums.h"

namespace mapistore {
namespace {

class SelectionList : public outlook::Selection {
 public:
  explicit SelectionList(std::vector<Ref<outlook::AppointmentItem>> items) : items_(std::move(items)) {}
  int Count() override { return static_cast<int>(items_.size()); }
  Ref<outlook::AppointmentItem> Item(int index) override {
    if (index < 1 || index > Count()) com::Raise(com::kErrSubscriptOutOfRange);
    return items_[static_cast<size_t>(index - 1)];
  }

 private:
  std::vector<Ref<outlook::AppointmentItem>> items_;
};

}  // namespace

Ref<outlook::Selection> MapiExplorer::Selection() { return std::make_shared<SelectionList>(selection_); }

void MapiExplorer::SwitchFolder(Ref<outlook::MAPIFolder> folder) {
  bool cancel = false;
  folderSwitch_.Fire(folder, cancel);
  if (!cancel && folder) current_ = std::move(folder);
}

Ref<outlook::NameSpace> MapiApplication::GetNamespace(const std::string& type) {
  if (!com::EqualsNoCase(type, "MAPI")) return nullptr;
  return session_;
}

Ref<outlook::AppointmentItem> MapiApplication::CreateItem(int itemType) {
  if (itemType != outlook::olAppointmentItem) com::Raise(com::kErrInvalidCall, "Only appointments are made here.");
  return session_->NewAppointment();
}

}  // namespace mapistore
