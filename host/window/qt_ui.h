#pragma once
// The user interface service on Qt: message boxes become QMessageBox with the style's buttons,
// icon and default, and forms become FormDialogs, modal or not. Tests and the screenshot run
// act on the next dialogs once they are on screen, as a person would.
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <QPointer>

#include "host/window/form_dialog.h"
#include "host/window/loop_driver.h"
#include "platform/win32/ui.h"

class QMessageBox;

namespace window {

class QtUi : public win32::Ui {
 public:
  int MessageBox(const std::string& text, const std::string& title, unsigned style) override;
  void ShowModal(forms::Form& form) override;
  void Show(std::shared_ptr<forms::Form> form) override;

  // The window that owns the dialogs, and the loop kept running while one is modal.
  void SetOwner(QWidget* owner) { owner_ = owner; }
  void SetDriver(LoopDriver* driver) { driver_ = driver; }
  // The reply to every box that offers it, without showing the box (--answer).
  void SetAnswer(std::optional<int> answer) { answer_ = answer; }
  // Draws what the add-in changed on every open dialog, and closes those whose form unloaded.
  void FollowDialogs();

  using FormAction = std::function<void(FormDialog&)>;
  using BoxAction = std::function<void(QMessageBox&)>;
  void OnNextForm(FormAction action) { formActions_.push_back(std::move(action)); }
  void OnNextBox(BoxAction action) { boxActions_.push_back(std::move(action)); }
  std::vector<win32::MessageBoxShown> boxesShown;
  // Whether a box or a modal form is waiting for the user.
  bool Waiting() const { return waiting_ > 0; }

 private:
  // The form becomes active once its dialog is on screen; then the next action, if any.
  void Present(FormDialog* dialog);
  QWidget* owner_ = nullptr;
  LoopDriver* driver_ = nullptr;
  std::optional<int> answer_;
  int waiting_ = 0;
  std::vector<QPointer<FormDialog>> dialogs_;
  std::deque<FormAction> formActions_;
  std::deque<BoxAction> boxActions_;
};

}  // namespace window
