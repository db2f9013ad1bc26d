#include "host/window/command_bars_view.h"

#include <QAction>
#include <QApplication>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace window {
namespace {

// A face for the button's face ID: the host's own icons are not there to draw.
QIcon Face(int faceId) {
  QStyle* style = QApplication::style();
  switch (faceId) {
    case 609: return style->standardIcon(QStyle::SP_ArrowDown);
    default: return style->standardIcon(QStyle::SP_BrowserReload);
  }
}

// Alt with the letter after "&" ("&&" is an ampersand itself); none when there is no such letter.
QKeySequence Accelerator(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return QKeySequence(QString("Alt+") + QChar(caption[i + 1]).toUpper());
  }
  return {};
}

std::string Signature(const office::CommandBars& bars) {
  std::string s;
  for (const auto& bar : bars.bars()) {
    s += bar->Name() + (bar->visible ? "+" : "-") + (bar->enabled ? "+" : "-") + "[";
    // The buttons themselves too: a bar built anew has new buttons behind the same captions.
    for (const auto& b : bar->controls()) s += b->caption + "@" + std::to_string(reinterpret_cast<uintptr_t>(b.get())) + "|";
    s += "]";
  }
  return s;
}

}  // namespace

void CommandBarsView::Draw(const office::CommandBars& bars) {
  const std::string signature = Signature(bars);
  if (signature == drawn_) return;
  drawn_ = signature;
  for (QToolBar* old : window_.findChildren<QToolBar*>("CommandBar")) {
    old->setObjectName("");  // gone from Action at once, deleted at the loop's turn
    window_.removeToolBar(old);
    old->deleteLater();
  }
  for (const auto& bar : bars.bars()) {
    if (!bar->visible) continue;
    auto* toolbar = new QToolBar(QString::fromStdString(bar->Name()), &window_);
    toolbar->setObjectName("CommandBar");
    toolbar->setEnabled(bar->enabled);
    window_.addToolBar(bar->position == office::msoBarLeft ? Qt::LeftToolBarArea : Qt::TopToolBarArea, toolbar);
    for (const auto& button : bar->controls()) {
      auto* action = toolbar->addAction(Face(button->faceId), QString::fromStdString(button->caption));
      action->setShortcut(Accelerator(button->caption));
      action->setData(QString::fromStdString(button->caption));
      if (button->style == office::msoButtonIconAndCaption) {
        static_cast<QToolButton*>(toolbar->widgetForAction(action))->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
      }
      std::weak_ptr<office::CommandBarButton> target = button;
      QObject::connect(action, &QAction::triggered, toolbar, [this, target] {
        if (auto b = target.lock()) b->Execute();
        if (afterClick_) afterClick_();
      });
    }
  }
}

QAction* CommandBarsView::Action(const std::string& caption) const {
  for (QToolBar* bar : window_.findChildren<QToolBar*>("CommandBar")) {
    for (QAction* a : bar->actions()) {
      if (a->data().toString().toStdString() == caption) return a;
    }
  }
  return nullptr;
}

}  // namespace window
