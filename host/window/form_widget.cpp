#include "host/window/form_widget.h"

#include <algorithm>
#include <cmath>

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTreeWidget>

namespace window {
namespace {

QString Text(const std::string& s) {
  QString t = QString::fromStdString(s);
  t.replace("\r\n", "\n");
  return t;
}

// A tree node's path of texts from its root, as Form::Select takes it.
std::string NodePath(const forms::TreeNodes& nodes, int index) {
  std::string path = nodes.Item(index).text;
  for (int at = nodes.Item(index).parent; at != 0; at = nodes.Item(at).parent) path = nodes.Item(at).text + "|" + path;
  return path;
}

void FillTree(QTreeWidget* tree, const forms::TreeNodes& nodes) {
  tree->clear();
  std::vector<QTreeWidgetItem*> items(static_cast<size_t>(nodes.Count()) + 1, nullptr);
  for (int i = 1; i <= nodes.Count(); ++i) {
    const forms::TreeNode& node = nodes.Item(i);
    auto* item = node.parent == 0 ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(items[static_cast<size_t>(node.parent)]);
    item->setText(0, Text(node.text));
    item->setData(0, Qt::UserRole, i);
    items[static_cast<size_t>(i)] = item;
  }
  tree->expandAll();
}

void FillList(QTreeWidget* list, const forms::ListItems& rows) {
  list->clear();
  QStringList headers;
  for (const auto& h : rows.columns) headers << Text(h);
  list->setColumnCount(std::max<int>(1, static_cast<int>(headers.size())));
  list->setHeaderLabels(headers);
  for (int i = 1; i <= rows.Count(); ++i) {
    auto* item = new QTreeWidgetItem(list);
    const auto& row = rows.Row(i);
    for (size_t col = 0; col < row.size(); ++col) item->setText(static_cast<int>(col), Text(row[col]));
    item->setData(0, Qt::UserRole, i);
  }
}

QTreeWidgetItem* ItemWithIndex(QTreeWidget* tree, int index) {
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    if ((*it)->data(0, Qt::UserRole).toInt() == index) return *it;
  }
  return nullptr;
}

}  // namespace

int Pixels(int twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

FormWidget::FormWidget(forms::Form& form, QWidget* parent) : QWidget(parent), form_(form) {
  QScreen* screen = this->screen();
  dpi_ = screen ? screen->logicalDotsPerInch() : 96.0;
  setObjectName(QString::fromStdString(form.name()));
  // The forms are laid out for the classic dialog font, 8 points of a narrow sans serif:
  // a larger one would clip their captions.
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPointSizeF(8);
  setFont(font);
  size_ = QSize(Pixels(form.clientWidth(), dpi_), Pixels(form.clientHeight(), dpi_));
  resize(size_);
  Build(form_, this);
  SetTabOrder();
  Refresh();
}

void FormWidget::Place(QWidget* widget, const forms::Twips& pos) {
  widget->setGeometry(Pixels(pos.left, dpi_), Pixels(pos.top, dpi_), Pixels(pos.width, dpi_), Pixels(pos.height, dpi_));
}

void FormWidget::Build(forms::Form& form, QWidget* area) {
  // A control may come before the frame that holds it: those wait for their frame.
  std::map<std::string, QWidget*> frames;
  std::vector<forms::Control*> pending;
  for (auto& c : form.controls()) pending.push_back(&c);
  while (!pending.empty()) {
    std::vector<forms::Control*> later;
    for (forms::Control* c : pending) {
      QWidget* parent = area;
      if (!c->container.empty()) {
        auto it = frames.find(c->container);
        if (it == frames.end()) {
          later.push_back(c);
          continue;
        }
        parent = it->second;
      }
      QWidget* w = Make(form, *c, parent);
      if (c->kind == "Frame") frames[c->name] = w;
    }
    if (later.size() == pending.size()) break;  // a container that does not exist: left out
    pending.swap(later);
  }
}

QWidget* FormWidget::Make(forms::Form& owner, forms::Control& c, QWidget* parent) {
  const std::string name = c.name;
  forms::Form* form = &owner;
  QWidget* w = nullptr;
  if (c.kind == "Label") {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    w = label;
  } else if (c.kind == "CommandButton") {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, form, name] { Act([=] { form->Click(name); }); });
    if (c.isDefault) default_ = button;
    if (c.isCancel) cancel_ = button;
    w = button;
  } else if (c.kind == "CheckBox") {
    auto* box = new QCheckBox(parent);
    connect(box, &QCheckBox::clicked, this, [this, form, name] { Act([=] { form->Click(name); }); });
    w = box;
  } else if (c.kind == "OptionButton") {
    auto* option = new QRadioButton(parent);
    option->setAutoExclusive(false);  // the form clears the others of its container
    connect(option, &QRadioButton::clicked, this, [this, form, name] { Act([=] { form->Click(name); }); });
    w = option;
  } else if (c.kind == "TextBox" && c.multiLine) {
    auto* edit = new QPlainTextEdit(parent);
    connect(edit, &QPlainTextEdit::textChanged, this, [this, form, name, edit] {
      if (!drawing_) Act([=] { form->Type(name, edit->toPlainText().toStdString()); });
    });
    w = edit;
  } else if (c.kind == "TextBox") {
    auto* edit = new QLineEdit(parent);
    connect(edit, &QLineEdit::textEdited, this,
            [this, form, name](const QString& text) { Act([=] { form->Type(name, text.toStdString()); }); });
    w = edit;
  } else if (c.kind == "ComboBox") {
    auto* combo = new QComboBox(parent);
    combo->setEditable(c.editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    connect(combo, &QComboBox::activated, this, [this, form, name, combo](int index) {
      Act([=] { form->Select(name, combo->itemText(index).toStdString()); });
    });
    if (c.editable) {
      connect(combo->lineEdit(), &QLineEdit::textEdited, this,
              [this, form, name](const QString& text) { Act([=] { form->Type(name, text.toStdString()); }); });
    }
    w = combo;
  } else if (c.kind == "Frame") {
    w = new QGroupBox(parent);
  } else if (c.kind == "TreeView" || c.kind == "ListView") {
    auto* tree = new QTreeWidget(parent);
    const bool isTree = c.kind == "TreeView";
    tree->setHeaderHidden(isTree);
    tree->setRootIsDecorated(isTree);
    tree->setUniformRowHeights(true);
    // By mouse or by keys: the item that becomes current is the one chosen.
    connect(tree, &QTreeWidget::currentItemChanged, this, [this, form, name, isTree](QTreeWidgetItem* item) {
      if (!item || drawing_) return;
      const int index = item->data(0, Qt::UserRole).toInt();
      forms::Control& control = (*form)[name];
      const std::string path = isTree ? NodePath(*control.nodes, index) : control.rows->Row(index).front();
      Act([=] { form->Select(name, path); });
    });
    w = tree;
  } else if (c.kind == "ProgressBar") {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    w = bar;
  } else if (c.kind == "MonthView") {
    auto* calendar = new QCalendarWidget(parent);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setGridVisible(true);
    connect(calendar, &QCalendarWidget::selectionChanged, this, [this, form, name, calendar] {
      const std::string date = calendar->selectedDate().toString(Qt::ISODate).toStdString();
      Act([=] { form->Select(name, date); });
    });
    w = calendar;
  } else if (c.kind == "UserControl" && c.embedded) {
    // A page with a title is drawn as a tab above its area, as a property sheet shows it.
    auto* page = new QWidget();
    page->setObjectName(QString::fromStdString(c.embedded->name()));
    if (c.caption.empty()) {
      page->setParent(parent);
      Place(page, c.pos);
      w = page;
    } else {
      auto* tabs = new QTabWidget(parent);
      tabs->addTab(page, Text(c.caption));
      const int bar = tabs->tabBar()->sizeHint().height();
      Place(tabs, c.pos);
      tabs->setGeometry(tabs->x(), std::max(0, tabs->y() - bar), tabs->width(), tabs->height() + bar);
      w = tabs;
    }
    w->setObjectName(QString::fromStdString(name));
    bound_.push_back({form, &c, w, {}});
    Build(*c.embedded, page);
    return w;
  } else {
    w = new QLabel(parent);  // a kind this renderer does not know shows its caption
  }
  w->setObjectName(QString::fromStdString(name));
  Place(w, c.pos);
  bound_.push_back({form, &c, w, {}});
  return w;
}

void FormWidget::SetTabOrder() {
  // Tab indices count within each form; an embedded form's controls follow its user control.
  std::vector<Bound*> order;
  std::map<const forms::Form*, std::vector<Bound*>> byForm;
  for (auto& b : bound_) byForm[b.owner].push_back(&b);
  std::function<void(forms::Form*)> walk = [&](forms::Form* f) {
    std::vector<Bound*> own = byForm[f];
    std::stable_sort(own.begin(), own.end(), [](Bound* a, Bound* b) { return a->control->tabIndex < b->control->tabIndex; });
    for (Bound* b : own) {
      order.push_back(b);
      if (b->control->embedded) walk(b->control->embedded);
    }
  };
  walk(&form_);
  // A label's "&" key goes to the control after it in tab order, as its access key.
  for (size_t i = 0; i < order.size(); ++i) {
    auto* label = qobject_cast<QLabel*>(order[i]->widget);
    if (!label) continue;
    for (size_t j = i + 1; j < order.size(); ++j) {
      if (order[j]->widget->focusPolicy() == Qt::NoFocus) continue;
      label->setBuddy(order[j]->widget);
      break;
    }
  }
  QWidget* previous = nullptr;
  for (Bound* b : order) {
    QWidget* w = b->widget;
    if (w->focusPolicy() == Qt::NoFocus) continue;
    if (previous) QWidget::setTabOrder(previous, w);
    previous = w;
  }
}

QWidget* FormWidget::WidgetOf(const std::string& name) const {
  for (const auto& b : bound_) {
    if (b.control->name == name) return b.widget;
  }
  return nullptr;
}

void FormWidget::Act(const std::function<void()>& action) {
  if (drawing_) return;
  action();
  Refresh();
  if (afterEvent) afterEvent();
}

void FormWidget::Refresh() {
  drawing_ = true;
  for (auto& b : bound_) RefreshOne(b);
  drawing_ = false;
}

void FormWidget::RefreshOne(Bound& b) {
  forms::Control& c = *b.control;
  QWidget* w = b.widget;
  w->setVisible(c.visible);
  w->setEnabled(c.enabled);
  const QString caption = Text(c.caption);
  if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->text() != caption) {
      label->setText(caption);
      // A label of one line runs on past its width rather than wrap into a second line that
      // its height cannot show: the dialog font is a little wider than the one it was laid out for.
      const bool oneLine = label->height() < 2 * label->fontMetrics().height();
      label->setWordWrap(!oneLine);
      if (oneLine) label->resize(std::max(Pixels(c.pos.width, dpi_), label->sizeHint().width()), label->height());
    }
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    if (button->text() != caption) button->setText(caption);
    if (button->isCheckable()) button->setChecked(c.value != 0);
  } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
    if (line->text() != caption) line->setText(caption);
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
    if (edit->toPlainText() != caption) edit->setPlainText(caption);
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    QStringList items;
    for (const auto& item : c.items) items << Text(item);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    if (items != shown) {
      combo->clear();
      combo->addItems(items);
    }
    const int index = static_cast<int>(items.indexOf(caption));
    if (combo->currentIndex() != index) combo->setCurrentIndex(index);
    if (combo->isEditable() && combo->currentText() != caption) combo->setEditText(caption);
  } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
    if (box->title() != caption) box->setTitle(caption);
  } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
    // Drawn anew only when the items changed (a tree of many nodes loads while it is shown),
    // never for a change of the chosen item alone: that may come from this very tree's signal.
    std::vector<std::string> lines = c.nodes ? c.nodes->Lines() : c.rows ? c.rows->Lines() : std::vector<std::string>{};
    if (lines != b.shownLines) {
      if (c.nodes) FillTree(tree, *c.nodes);
      if (c.rows) FillList(tree, *c.rows);
      b.shownLines = std::move(lines);
    }
    const int selected = c.nodes ? c.nodes->selected : c.rows ? c.rows->selected : 0;
    QTreeWidgetItem* item = ItemWithIndex(tree, selected);
    if (tree->currentItem() != item) {
      tree->setCurrentItem(item);
      if (item) tree->scrollToItem(item);
    }
  } else if (auto* bar = qobject_cast<QProgressBar*>(w)) {
    bar->setValue(std::clamp(c.value, 0, 100));
  } else if (auto* calendar = qobject_cast<QCalendarWidget*>(w)) {
    const QDate date = QDate::fromString(caption, Qt::ISODate);
    if (date.isValid() && calendar->selectedDate() != date) calendar->setSelectedDate(date);
  } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
    if (tabs->tabText(0) != caption) tabs->setTabText(0, caption);
  }
}

}  // namespace window
