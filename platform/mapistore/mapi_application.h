#pragma once
// The application object of the stand-in host, with its one explorer.
#include <memory>
#include <vector>

#include "platform/com/event.h"
#include "platform/mapistore/mapi_session.h"

namespace mapistore {

class MapiExplorer : public outlook::Explorer {
 public:
  explicit MapiExplorer(std::shared_ptr<office::CommandBars> bars = std::make_shared<office::CommandBars>())
      : bars_(std::move(bars)) {}
  Ref<outlook::MAPIFolder> CurrentFolder() override { return current_; }
  Ref<outlook::Selection> Selection() override;
  Ref<office::CommandBars> CommandBars() override { return bars_; }
  com::Subscription OnClose(std::function<void()> handler) override { return close_.Subscribe(std::move(handler)); }
  com::Subscription OnBeforeFolderSwitch(
      std::function<void(const Ref<outlook::MAPIFolder>&, bool&)> handler) override {
    return folderSwitch_.Subscribe(std::move(handler));
  }

  // What the user does in the host's window.
  void SetCurrentFolder(Ref<outlook::MAPIFolder> folder) { current_ = std::move(folder); }
  void SetSelection(std::vector<Ref<outlook::AppointmentItem>> items) { selection_ = std::move(items); }
  // Asks the handlers first; a handler may cancel the switch. Nothing: a file-system folder.
  void SwitchFolder(Ref<outlook::MAPIFolder> folder);
  void Close() { close_.Fire(); }

 private:
  Ref<outlook::MAPIFolder> current_;
  std::vector<Ref<outlook::AppointmentItem>> selection_;
  std::shared_ptr<office::CommandBars> bars_;
  com::Event<> close_;
  com::Event<const Ref<outlook::MAPIFolder>&, bool&> folderSwitch_;
};

class MapiApplication : public outlook::Application {
 public:
  MapiApplication(std::shared_ptr<MapiSession> session, std::shared_ptr<MapiExplorer> explorer)
      : session_(std::move(session)), explorer_(std::move(explorer)) {}

  Ref<outlook::NameSpace> GetNamespace(const std::string& type) override;
  Ref<outlook::Explorer> ActiveExplorer() override { return explorer_; }
  Ref<outlook::AppointmentItem> CreateItem(int itemType) override;
  com::Subscription OnOptionsPagesAdd(outlook::OptionsPagesAddHandler handler) override {
    return optionsPagesAdd_.Subscribe(std::move(handler));
  }
  // The user opens the Options dialog.
  void BuildOptionsDialog(const Ref<outlook::PropertyPages>& pages) { optionsPagesAdd_.Fire(pages); }

 private:
  com::Event<const Ref<outlook::PropertyPages>&> optionsPagesAdd_;
  std::shared_ptr<MapiSession> session_;
  std::shared_ptr<MapiExplorer> explorer_;
};

}  // namespace mapistore
