#pragma once
// The options page: the settings as preference properties, and the add-in it calls back.
#include <cstdint>
#include <string>

#include "platform/com/com_object.h"

namespace pagorin {

extern const char* const kProgId;  // "Pagorin.UCAdminPage"

class UCAdminPage : public com::DispatchObject {
 public:
  UCAdminPage();

  int16_t prefEnableAcctToolbar = 0, prefRefreshRate = 0, prefNoDays = 0;
  std::string prefGlobalCalendar, prefLocalCalendar;
  int16_t prefUpdBoth = 0, prefUpdGlobalOnly = 0, prefUpdLocalOnly = 0, prefPromptDelete = 0, prefOwner = 0,
          prefPromptErrors = 0, prefSyncAccepted = 0, prefShowOwner = 0;
  com::ObjectPtr oAdminDLL;
};

}  // namespace pagorin
