#include "host/window/form_dialog.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace window {

FormDialog::FormDialog(forms::Form& form, QWidget* parent, std::shared_ptr<forms::Form> keepAlive)
    : QDialog(parent), view_(new FormWidget(form, this)), keepAlive_(std::move(keepAlive)) {
  setObjectName(QString::fromStdString(form.name()));
  setWindowTitle(QString::fromStdString(form.caption()));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog, as the form is laid out
  view_->setFixedSize(view_->sizeHint());
  if (QPushButton* ok = view_->DefaultButton()) ok->setDefault(true);
  view_->afterEvent = [this] { Follow(); };
}

void FormDialog::Follow() {
  if (!form().loaded()) {
    done(QDialog::Rejected);
    return;
  }
  setWindowTitle(QString::fromStdString(form().caption()));
  view_->Refresh();
}

void FormDialog::reject() {
  if (form().loaded()) {
    QPushButton* cancel = view_->CancelButton();
    if (cancel && cancel->isEnabled()) cancel->click();
    else form().Unload();
  }
  if (!form().loaded()) QDialog::reject();
}

}  // namespace window
