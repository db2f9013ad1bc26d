#pragma once
// The mail client's main window: the folder tree on the left; on the right the selected
// calendar as a week and as a list, with New, Open and Delete; the add-in's command bars; the
// Options dialog and folder Properties with the add-in's page; the status line.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "host/property_dialog.h"
#include "host/session.h"
#include "host/window/calendar_rows.h"
#include "host/window/command_bars_view.h"
#include "host/window/qt_ui.h"

class QTabWidget;
class QTreeWidget;

namespace window {

class FolderTree;
class StatusLine;
class WeekView;

class MainWindow : public QMainWindow {
 public:
  MainWindow(host::Session& session, QtUi& ui);
  ~MainWindow() override;

  // What the user does, by menu, tool bar or mouse.
  void ShowFolder(const com::Ref<outlook::MAPIFolder>& folder);
  void NewAppointment(com::Date start);
  void OpenAppointment(const std::string& entryId);
  void DeleteSelected();
  void OpenOptions();
  void OpenFolderProperties(const com::Ref<outlook::MAPIFolder>& folder);
  void ShowErrorLog();

  // The views read the shown folder again; the command bars and the status line follow.
  void Refresh();
  // After a turn of the loop: what the add-in changed since.
  void Follow();

  QTreeWidget& list() { return *list_; }
  WeekView& week() { return *week_; }
  FolderTree& folders() { return *folders_; }
  StatusLine& status() { return *status_; }
  CommandBarsView& commandBars() { return bars_; }
  // While it holds, closing waits: the add-in is not shut down under its own feet.
  std::function<bool()> busy;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  QWidget* BuildCalendarPane();
  void ListenTo(const com::Ref<outlook::MAPIFolder>& folder);
  void ScheduleRefresh();
  std::vector<std::string> SelectedIds() const;
  void Selected();  // the list's selection becomes the explorer's
  void ShowPages(const std::string& caption, const host::DialogPages& pages);

  host::Session& session_;
  QtUi& ui_;
  FolderTree* folders_;
  QTabWidget* views_;
  WeekView* week_;
  QTreeWidget* list_;
  StatusLine* status_;
  CommandBarsView bars_;
  com::Ref<outlook::MAPIFolder> shown_;
  std::vector<com::Subscription> itemEvents_;
  bool refreshPending_ = false;
  bool closed_ = false;
};

}  // namespace window
