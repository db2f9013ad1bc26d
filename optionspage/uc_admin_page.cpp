#include "optionspage/uc_admin_page.h"

#include "platform/com/class_registry.h"

namespace pagorin {

const char* const kProgId = "Pagorin.UCAdminPage";

UCAdminPage::UCAdminPage() {
  auto number = [this](const char* name, int16_t UCAdminPage::*field) {
    DeclareProperty(
        name, [this, field] { return com::Variant(this->*field); },
        [this, field](const com::Variant& v) { this->*field = v.ToInteger(); });
  };
  auto text = [this](const char* name, std::string UCAdminPage::*field) {
    DeclareProperty(
        name, [this, field] { return com::Variant(this->*field); },
        [this, field](const com::Variant& v) { this->*field = v.ToString(); });
  };
  number("prefEnableAcctToolbar", &UCAdminPage::prefEnableAcctToolbar);
  number("prefRefreshRate", &UCAdminPage::prefRefreshRate);
  text("prefGlobalCalendar", &UCAdminPage::prefGlobalCalendar);
  text("prefLocalCalendar", &UCAdminPage::prefLocalCalendar);
  number("prefNoDays", &UCAdminPage::prefNoDays);
  number("prefUpdBoth", &UCAdminPage::prefUpdBoth);
  number("prefUpdGlobalOnly", &UCAdminPage::prefUpdGlobalOnly);
  number("prefUpdLocalOnly", &UCAdminPage::prefUpdLocalOnly);
  number("prefPromptDelete", &UCAdminPage::prefPromptDelete);
  number("prefOwner", &UCAdminPage::prefOwner);
  number("prefPromptErrors", &UCAdminPage::prefPromptErrors);
  number("prefSyncAccepted", &UCAdminPage::prefSyncAccepted);
  number("prefShowOwner", &UCAdminPage::prefShowOwner);
  DeclareProperty(
      "oAdminDLL", [this] { return com::Variant(oAdminDLL); },
      [this](const com::Variant& v) { oAdminDLL = v.ToObject(); });
}

}  // namespace pagorin

extern "C" __attribute__((visibility("default"))) com::ComObject* ComCreateInstance(const char* progId) {
  if (progId && com::EqualsNoCase(progId, pagorin::kProgId)) return new pagorin::UCAdminPage();
  return nullptr;
}
