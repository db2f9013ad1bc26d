#include "host/window/screenshots.h"

#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "host/window/week_view.h"

namespace window {
namespace {

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

}  // namespace

std::vector<std::string> TakeScreenshots(MainWindow& window, QtUi& ui, const std::string& dir) {
  std::filesystem::create_directories(dir);
  std::vector<std::string> written;
  auto save = [&](QWidget& w, const std::string& name) {
    Settle();
    const std::string path = dir + "/" + name;
    if (w.grab().save(QString::fromStdString(path), "PNG")) written.push_back(path);
  };
  auto* views = window.findChild<QTabWidget*>("CalendarViews");
  window.Refresh();
  views->setCurrentIndex(0);
  save(window, "main-window.png");
  views->setCurrentIndex(1);
  save(window, "main-window-list.png");
  views->setCurrentIndex(0);

  if (QTreeWidgetItem* first = window.list().topLevelItem(0)) {
    ui.OnNextForm([&](FormDialog& editor) {
      save(editor, "appointment.png");
      editor.reject();
    });
    window.OpenAppointment(first->data(0, Qt::UserRole).toString().toStdString());
  }

  // The Options dialog, then the browser its first Browse button opens, each closed by Cancel.
  ui.OnNextForm([&](FormDialog& options) {
    save(options, "options-page.png");
    ui.OnNextForm([&](FormDialog& browser) {
      save(browser, "folder-browser.png");
      browser.reject();
    });
    if (auto* browse = qobject_cast<QPushButton*>(options.view().WidgetOf("Command1"))) browse->click();
    options.reject();
  });
  window.OpenOptions();

  ui.OnNextForm([&](FormDialog& print) {
    save(print, "print-dialog.png");
    print.reject();
  });
  if (QAction* printButton = window.commandBars().Action("&Print Calendar")) printButton->trigger();
  Settle();
  return written;
}

}  // namespace window
