#include "host/window/main_window.h"

#include <fstream>

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QHeaderView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "host/appt_editor_form.h"
#include "host/appt_options.h"
#include "host/window/folder_tree.h"
#include "host/window/loop_driver.h"
#include "host/window/status_line.h"
#include "host/window/week_view.h"
#include "platform/com/com_error.h"
#include "platform/com/com_object.h"
#include "platform/outlook/items.h"

namespace window {
namespace {

QString Qs(const std::string& s) { return QString::fromStdString(s); }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

MainWindow::MainWindow(host::Session& session, QtUi& ui)
    : session_(session), ui_(ui), bars_(*this, [this] { Refresh(); }) {
  setObjectName("MainWindow");
  setWindowTitle(Qs("Calendar - " + session.profile().user() + " - Quorvane"));
  folders_ = new FolderTree();
  folders_->onChosen = [this](const com::Ref<outlook::MAPIFolder>& f) { ShowFolder(f); };
  folders_->onProperties = [this](const com::Ref<outlook::MAPIFolder>& f) { OpenFolderProperties(f); };
  auto* split = new QSplitter(this);
  split->addWidget(folders_);
  split->addWidget(BuildCalendarPane());
  split->setStretchFactor(1, 1);
  split->setSizes({220, 780});
  setCentralWidget(split);
  status_ = new StatusLine(session, this);
  setStatusBar(status_);
  BuildMenus();
  folders_->Fill(session.ns());
  ShowFolder(session.explorer().CurrentFolder());
  resize(1040, 680);
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::BuildCalendarPane() {
  auto* pane = new QWidget();
  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* tools = new QToolBar("Calendar", pane);
  tools->setObjectName("CalendarTools");
  tools->addAction("&New", [this] { NewAppointment(com::Date::FromUnixMillis(session_.clock().Now().UnixMillis())); });
  tools->addAction("&Open", [this] {
    const auto ids = SelectedIds();
    if (!ids.empty()) OpenAppointment(ids.front());
  });
  tools->addAction("De&lete", [this] { DeleteSelected(); });
  tools->addSeparator();
  tools->addAction("< Week", [this] { week_->SetWeek(week_->monday().AddDays(-7)); });
  tools->addAction("Today", [this] { week_->SetWeek(session_.clock().Now()); });
  tools->addAction("Week >", [this] { week_->SetWeek(week_->monday().AddDays(7)); });
  layout->addWidget(tools);

  views_ = new QTabWidget(pane);
  views_->setObjectName("CalendarViews");
  week_ = new WeekView();
  week_->SetWeek(session_.clock().Now());
  week_->onOpen = [this](const std::string& id) { OpenAppointment(id); };
  week_->onNew = [this](com::Date start) { NewAppointment(start); };
  views_->addTab(week_, "&Week");
  list_ = new QTreeWidget();
  list_->setObjectName("ApptList");
  list_->setHeaderLabels({"Start", "End", "Subject", "Location", "Categories"});
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { Selected(); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    OpenAppointment(item->data(0, Qt::UserRole).toString().toStdString());
  });
  views_->addTab(list_, "L&ist");
  layout->addWidget(views_, 1);
  return pane;
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->addAction("Folder P&roperties...", [this] { OpenFolderProperties(shown_); });
  file->addSeparator();
  file->addAction("E&xit", [this] { close(); });
  QMenu* view = menuBar()->addMenu("&View");
  view->addAction("&Week", [this] { views_->setCurrentWidget(week_); });
  view->addAction("&List", [this] { views_->setCurrentWidget(list_); });
  view->addSeparator();
  view->addAction("&Error Log", [this] { ShowErrorLog(); });
  QMenu* tools = menuBar()->addMenu("&Tools");
  tools->addAction("&Options...", [this] { OpenOptions(); });
  // The add-in's command without a toolbar button.
  tools->addAction("&Appointment Options...", [this] {
    if (session_.AddIn()) com::CallMethod(session_.AddIn(), "oSetApptSettingsBHandler_Click");
  });
}

void MainWindow::ShowFolder(const com::Ref<outlook::MAPIFolder>& folder) {
  if (!folder) return;
  // Another folder than the one shown: the add-in may offer or enable its toolbar now.
  auto current = session_.explorer().CurrentFolder();
  if (!current || current->EntryID() != folder->EntryID()) session_.explorer().SwitchFolder(folder);
  shown_ = session_.explorer().CurrentFolder();
  if (shown_) folders_->Select(shown_->EntryID());
  ListenTo(shown_);
  Refresh();
}

void MainWindow::ListenTo(const com::Ref<outlook::MAPIFolder>& folder) {
  itemEvents_.clear();
  if (!folder) return;
  try {
    auto items = folder->Items();
    itemEvents_.push_back(items->OnItemAdd([this](const auto&) { ScheduleRefresh(); }));
    itemEvents_.push_back(items->OnItemChange([this](const auto&) { ScheduleRefresh(); }));
  } catch (const com::ComError&) {
    // An offline folder raises no events; the views show what could be read.
  }
}

void MainWindow::ScheduleRefresh() {
  // Many items arrive in one pass: the views are read again once, at the loop's next turn.
  if (refreshPending_) return;
  refreshPending_ = true;
  QTimer::singleShot(0, this, [this] {
    refreshPending_ = false;
    Refresh();
  });
}

void MainWindow::Refresh() {
  if (closed_) return;
  std::vector<ApptRow> rows;
  if (shown_) rows = ReadRows(*shown_);
  const std::vector<std::string> selected = SelectedIds();
  const QSignalBlocker quiet(list_);
  list_->clear();
  for (const ApptRow& r : rows) {
    auto* item = new QTreeWidgetItem(list_);
    const std::string start = r.allDay ? host::IsoText(r.start).substr(0, 10) : host::IsoText(r.start);
    const std::string end = r.allDay ? host::IsoText(r.end.AddDays(-1)).substr(0, 10) : host::IsoText(r.end);
    item->setText(0, Qs(start));
    item->setText(1, Qs(end));
    item->setText(2, Qs(r.subject + (r.recurring ? " (recurring)" : "")));
    item->setText(3, Qs(r.location));
    item->setText(4, Qs(r.categories));
    item->setData(0, Qt::UserRole, Qs(r.entryId));
    if (std::find(selected.begin(), selected.end(), r.entryId) != selected.end()) item->setSelected(true);
  }
  week_->SetRows(std::move(rows));
  Follow();
}

void MainWindow::Follow() {
  if (closed_) return;
  bars_.Draw(*session_.explorer().CommandBars().get());
  status_->Update();
}

std::vector<std::string> MainWindow::SelectedIds() const {
  std::vector<std::string> ids;
  for (QTreeWidgetItem* item : list_->selectedItems()) ids.push_back(item->data(0, Qt::UserRole).toString().toStdString());
  return ids;
}

void MainWindow::Selected() {
  std::vector<com::Ref<outlook::AppointmentItem>> items;
  for (const std::string& id : SelectedIds()) {
    try {
      items.push_back(session_.ns().GetItemFromID(id));
    } catch (const com::ComError&) {
      // Gone meanwhile: the next refresh drops its row.
    }
  }
  session_.explorer().SetSelection(items);
}

void MainWindow::NewAppointment(com::Date start) {
  host::ApptEditorForm editor(session_, shown_, nullptr, start);
  editor.Load();
  ui_.ShowModal(editor);
  if (editor.saved()) Refresh();
}

void MainWindow::OpenAppointment(const std::string& entryId) {
  com::Ref<outlook::AppointmentItem> item;
  try {
    item = session_.ns().GetItemFromID(entryId);
  } catch (const com::ComError& e) {
    ui_.MessageBox("The appointment cannot be opened: " + e.description(), "Quorvane", win32::vbOKOnly | win32::vbExclamation);
    Refresh();
    return;
  }
  host::ApptEditorForm editor(session_, shown_, item, item->Start());
  editor.Load();
  ui_.ShowModal(editor);
  if (editor.saved()) Refresh();
}

void MainWindow::DeleteSelected() {
  const std::vector<std::string> ids = SelectedIds();
  if (ids.empty()) return;
  const std::string what = ids.size() == 1 ? "the selected appointment" : std::to_string(ids.size()) + " appointments";
  if (ui_.MessageBox("Delete " + what + "?", "Quorvane", win32::vbYesNo | win32::vbQuestion) != win32::vbYes) return;
  try {
    for (const std::string& id : ids) session_.ns().GetItemFromID(id)->Delete();
    session_.ns().Settle();
  } catch (const com::ComError& e) {
    ui_.MessageBox("Not every appointment was deleted: " + e.description(), "Quorvane", win32::vbOKOnly | win32::vbCritical);
  }
  Refresh();
}

void MainWindow::ShowPages(const std::string& caption, const host::DialogPages& pages) {
  host::PropertyDialog dialog(caption, pages);
  dialog.Load();
  session_.loop().BeforeUserWait();
  ui_.ShowModal(dialog);
  Refresh();  // Apply may have changed the toolbar setting or a calendar
}

void MainWindow::OpenOptions() {
  auto pages = std::make_shared<host::DialogPages>();
  session_.application()->BuildOptionsDialog(pages);
  ShowPages("Options", *pages);
}

void MainWindow::OpenFolderProperties(const com::Ref<outlook::MAPIFolder>& folder) {
  if (!folder) return;
  auto pages = std::make_shared<host::DialogPages>();
  session_.ns().BuildFolderProperties(pages, folder);
  ShowPages(folder->Name() + " Properties", *pages);
}

void MainWindow::ShowErrorLog() {
  QDialog dialog(this);
  dialog.setObjectName("ErrorLog");
  dialog.setWindowTitle(Qs("Error Log - " + session_.profile().LogPath()));
  auto* text = new QPlainTextEdit(&dialog);
  text->setReadOnly(true);
  text->setPlainText(Qs(ReadAll(session_.profile().LogPath())).replace("\r\n", "\n"));
  text->moveCursor(QTextCursor::End);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(text);
  dialog.resize(720, 480);
  dialog.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closed_ && busy && busy()) {
    // Closed from inside a pass's DoEvents or while a dialog waits: tried again once the
    // add-in's code has returned.
    event->ignore();
    QTimer::singleShot(LoopDriver::kTickMs, this, [this] { close(); });
    return;
  }
  if (!closed_) {
    closed_ = true;
    itemEvents_.clear();
    try {
      session_.Close();  // the explorer's Close, then shutdown and disconnection
    } catch (const std::exception& e) {
      QMessageBox::critical(this, "Quorvane", Qs(std::string("Closing failed: ") + e.what()));
    }
  }
  event->accept();
}

}  // namespace window
