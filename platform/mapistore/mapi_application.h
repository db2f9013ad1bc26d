#pragma once
// The application object of the stand-in host, with its one explorer.
#include <memory>
#include <vector>

#include "platform/mapistore/mapi_session.h"

namespace mapistore {

class MapiExplorer : public outlook::Explorer {
 public:
  Ref<outlook::MAPIFolder> CurrentFolder() override { return current_; }
  Ref<outlook::Selection> Selection() override;
  void SetCurrentFolder(Ref<outlook::MAPIFolder> folder) { current_ = std::move(folder); }
  void SetSelection(std::vector<Ref<outlook::AppointmentItem>> items) { selection_ = std::move(items); }

 private:
  Ref<outlook::MAPIFolder> current_;
  std::vector<Ref<outlook::AppointmentItem>> selection_;
};

class MapiApplication : public outlook::Application {
 public:
  MapiApplication(std::shared_ptr<MapiSession> session, std::shared_ptr<MapiExplorer> explorer)
      : session_(std::move(session)), explorer_(std::move(explorer)) {}

  Ref<outlook::NameSpace> GetNamespace(const std::string& type) override;
  Ref<outlook::Explorer> ActiveExplorer() override { return explorer_; }
  Ref<outlook::AppointmentItem> CreateItem(int itemType) override;

 private:
  std::shared_ptr<MapiSession> session_;
  std::shared_ptr<MapiExplorer> explorer_;
};

}  // namespace mapistore
