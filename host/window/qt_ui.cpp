#include "host/window/qt_ui.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace window {
namespace {

QMessageBox::StandardButton QtButton(int answer) {
  switch (answer) {
    case win32::vbCancel: return QMessageBox::Cancel;
    case win32::vbYes: return QMessageBox::Yes;
    case win32::vbNo: return QMessageBox::No;
    default: return QMessageBox::Ok;
  }
}

QMessageBox::Icon QtIcon(unsigned style) {
  switch (style & 0x70) {
    case win32::vbCritical: return QMessageBox::Critical;
    case win32::vbQuestion: return QMessageBox::Question;
    case win32::vbExclamation: return QMessageBox::Warning;
    case win32::vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// Keeps the platform's loop running while a nested Qt loop waits for the user.
struct TickWhileWaiting {
  TickWhileWaiting(LoopDriver* driver, int& waiting) : waiting(++waiting) {
    if (!driver) return;
    QObject::connect(&timer, &QTimer::timeout, [driver] { driver->Tick(); });
    timer.start(LoopDriver::kTickMs);
  }
  ~TickWhileWaiting() { --waiting; }
  int& waiting;
  QTimer timer;
};

}  // namespace

int QtUi::MessageBox(const std::string& text, const std::string& title, unsigned style) {
  const std::vector<int> offered = win32::Buttons(style);
  if (answer_ && std::find(offered.begin(), offered.end(), *answer_) != offered.end()) {
    boxesShown.push_back({text, title, style, *answer_});
    return *answer_;
  }
  QMessageBox box(QtIcon(style), QString::fromStdString(title), QString::fromStdString(text).replace("\r\n", "\n"),
                  QMessageBox::NoButton, owner_);
  std::vector<int> answers = win32::Buttons(style);
  for (int answer : answers) box.addButton(QtButton(answer));
  box.setDefaultButton(QtButton(win32::DefaultButton(style)));
  const bool cancels = std::find(answers.begin(), answers.end(), win32::vbCancel) != answers.end();
  if (cancels || answers.size() == 1) box.setEscapeButton(QtButton(cancels ? win32::vbCancel : answers.front()));
  if (!boxActions_.empty()) {
    BoxAction action = std::move(boxActions_.front());
    boxActions_.pop_front();
    QTimer::singleShot(0, &box, [&box, action] { action(box); });
  }
  TickWhileWaiting ticking(driver_, waiting_);
  box.exec();
  int answer = win32::DefaultButton(style);
  if (auto* clicked = box.clickedButton()) {
    for (int a : answers) {
      if (box.button(QtButton(a)) == clicked) answer = a;
    }
  }
  boxesShown.push_back({text, title, style, answer});
  return answer;
}

void QtUi::Present(FormDialog* dialog) {
  dialogs_.push_back(dialog);
  FormAction action;
  if (!formActions_.empty()) {
    action = std::move(formActions_.front());
    formActions_.pop_front();
  }
  QPointer<FormDialog> guard(dialog);
  QTimer::singleShot(0, dialog, [guard, action] {
    if (!guard) return;
    guard->form().Activate();
    if (guard) guard->Follow();
    if (guard && action && guard->form().loaded()) action(*guard);
  });
}

void QtUi::ShowModal(forms::Form& form) {
  if (!form.loaded()) return;
  FormDialog dialog(form, owner_);
  dialog.setModal(true);
  Present(&dialog);
  TickWhileWaiting ticking(driver_, waiting_);
  dialog.exec();
  // Closed by the window system rather than by the form: unloaded without any of its buttons.
  if (form.loaded()) form.Unload();
  // The dialog that opened this one is the active window again.
  for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
    FormDialog* opener = *it;
    if (!opener || opener == &dialog || !opener->isVisible() || !opener->form().loaded()) continue;
    opener->form().Activate();
    opener->Follow();
    break;
  }
}

void QtUi::Show(std::shared_ptr<forms::Form> form) {
  win32::Ui::Show(form);
  for (const auto& open : dialogs_) {
    if (open && &open->form() == form.get()) {
      open->raise();
      open->activateWindow();
      return;
    }
  }
  auto* dialog = new FormDialog(*form, owner_, form);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->show();
  Present(dialog);
}

void QtUi::FollowDialogs() {
  std::erase_if(dialogs_, [](const QPointer<FormDialog>& d) { return d.isNull(); });
  for (QPointer<FormDialog> d : std::vector<QPointer<FormDialog>>(dialogs_)) {
    if (d && d->isVisible()) d->Follow();
  }
}

}  // namespace window
