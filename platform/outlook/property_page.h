#pragma once
// The property-page protocol of the Options and folder Properties dialogs: a page reports
// its changes to its site, and the dialog asks it whether it is dirty and tells it to apply.
#include <cstdint>
#include <string>

#include "platform/com/com_object.h"

namespace outlook {

class PropertyPageSite : public com::ComObject {
 public:
  ~PropertyPageSite() override;
  // The page's Dirty may have changed: the dialog enables its Apply button by it.
  virtual void OnStatusChange() = 0;
};

class PropertyPage {
 public:
  virtual ~PropertyPage();
  virtual void Apply() = 0;
  virtual bool Dirty() = 0;
  virtual void GetPageInfo(std::string& helpFile, int32_t& helpContext) = 0;
};

}  // namespace outlook
