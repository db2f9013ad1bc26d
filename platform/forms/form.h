#pragma once
// Headless forms: a caption and named controls kept as data (kind, caption or text, value,
// twip position, tab order, container, events), so any front end can draw them and act on
// them, and tests can act on them directly.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/list_items.h"
#include "platform/forms/tree_nodes.h"

namespace forms {

class Form;

// Left, top, width, height in twips, relative to the control's container.
struct Twips {
  int left = 0, top = 0, width = 0, height = 0;
};

struct Control {
  // "Label", "TextBox", "CheckBox", "OptionButton", "Frame", "CommandButton", "TreeView",
  // "ProgressBar", "UserControl", "ComboBox", "MonthView" (its caption: the date as yyyy-mm-dd),
  // "ListView" (in report view)
  std::string kind;
  std::string name;
  std::string caption;  // a text box's text
  int value = 0;        // a check or option button: 0 or 1; a progress bar: 0 to 100
  std::function<void()> click;
  Twips pos;
  int tabIndex = 0;
  std::string container;  // the frame that holds it; empty: the form itself
  bool visible = true;
  bool enabled = true;
  std::function<void()> change;                 // a text box's or combo box's text changed
  std::vector<std::string> items;               // a combo box's entries
  std::vector<long> itemData;                   // a number kept with each entry (ItemData)
  int listIndex = -1;                           // the entry chosen last, -1: none (ListIndex)
  bool editable = true;                         // a combo box that takes typing, not only its entries
  bool multiLine = false;                       // a text box of several lines
  std::shared_ptr<ListItems> rows;              // a list view's headers and rows
  std::function<void(int index)> itemClick;     // a list view's row was clicked
  std::shared_ptr<TreeNodes> nodes;             // a tree view's nodes
  std::function<void(int index)> nodeClick;     // a tree view's node was clicked
  Form* embedded = nullptr;                     // a user control: the form that draws it
  bool isDefault = false;                       // the button that Enter presses (Default)
  bool isCancel = false;                        // the button that Escape presses (Cancel)
};

class Form {
 public:
  Form(std::string name, std::string caption) : name_(std::move(name)), caption_(std::move(caption)) {}
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  const std::string& caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  // The client area in twips, the room the controls are laid out in.
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
  }
  std::deque<Control>& controls() { return controls_; }
  Control& Add(const std::string& kind, const std::string& name, const std::string& caption);
  // A control at its place: tab order follows the order of adding.
  Control& Add(const std::string& kind, const std::string& name, const std::string& caption, Twips pos,
               const std::string& container = "");
  // A user control's form shown inside this one, at pos.
  Control& Embed(Form& child, const std::string& name, Twips pos);
  // Controls of embedded forms too; nullptr when there is none of that name.
  Control* Find(const std::string& name);
  Control& operator[](const std::string& name);  // throws std::out_of_range for an unknown name
  // Every control, those of embedded forms following their user control.
  std::vector<Control*> AllControls();

  // What the user does. A check box flips and an option button is selected (the others of its
  // container cleared) before its handler runs. A disabled control does nothing.
  void Click(const std::string& name);
  // Typing into a text box or a combo box: its change event runs when the text differs. A
  // drop-down list takes only its own entries. False when the control takes no such typing.
  bool Type(const std::string& name, const std::string& text);
  // Choosing an item: a tree node by its path of texts joined by "|" (the node click runs), a
  // list view's row by its text (the row is scrolled into view and its click runs), a combo
  // box's entry by its text, a month calendar's date as yyyy-mm-dd (the change runs).
  // False when the control has no such item.
  bool Select(const std::string& name, const std::string& item);

  // How a control reads as text, for any front end that lists controls: its caption or text
  // and its value ("\"Both\" (o)", "[x]", "45%"); and its items as lines (a combo box's
  // entries, a tree's nodes indented by level; the chosen one marked "> ").
  static std::string ValueText(const Control& c);
  static std::vector<std::string> ItemLines(const Control& c);

  // What code does, with the events the host raises for it: a text set to something else
  // raises the change event; a check box set to another value, or an option button selected,
  // raises its click.
  void SetText(const std::string& name, const std::string& text);
  void SetValue(const std::string& name, int value);
  // A combo box's entry with its number (AddItem and ItemData).
  void AddItem(const std::string& name, const std::string& text, long data = 0);
  // Selects a list view's row and scrolls it into view (no click: code did it).
  void SelectRow(const std::string& name, int index);

  // Load runs the form's own load step; Activate runs when it becomes the active window;
  // Unload closes a loaded form, running its unload step first.
  void Load();
  void Activate();
  void Unload();
  bool loaded() const { return loaded_; }

 protected:
  virtual void OnLoad() {}
  virtual void OnActivate() {}
  virtual void OnUnload() {}

 private:
  // Runs an event handler; a run-time error in it is shown in a box, as the container does.
  void Raise(const std::function<void()>& handler);
  void SelectOption(Control& option);
  Form* Owner(const Control& c);

  std::string name_, caption_;
  int clientWidth_ = 0, clientHeight_ = 0;
  std::deque<Control> controls_;
  bool loaded_ = false;
};

}  // namespace forms
