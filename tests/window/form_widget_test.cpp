// The generic renderer: any form's controls at their twip positions, in tab order, with
// Default and Cancel buttons and events both ways.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "host/window/form_dialog.h"
#include "sync/prompt_delete_form.h"

namespace {

using window::Pixels;

QRect Expected(const forms::Twips& t, double dpi) {
  return QRect(Pixels(t.left, dpi), Pixels(t.top, dpi), Pixels(t.width, dpi), Pixels(t.height, dpi));
}

TEST(FormWidget, TwipsBecomePixelsByTheScreensDotsPerInch) {
  EXPECT_EQ(Pixels(15, 96), 1);
  EXPECT_EQ(Pixels(1440, 96), 96);
  EXPECT_EQ(Pixels(1440, 144), 144);
  EXPECT_EQ(Pixels(4680, 96), 312);
}

struct TestForm : forms::Form {
  TestForm() : Form("frmTest", "Test") {
    SetClientSize(4500, 3300);
    Add("Label", "Label1", "Name", {150, 150, 1500, 255});
    Add("TextBox", "Text1", "", {1800, 120, 2400, 285}).change = [this] { ++changes; };
    Add("Frame", "Frame1", "Options", {150, 600, 4050, 1500});
    Add("CheckBox", "Check1", "Remember", {150, 300, 1800, 255}, "Frame1").click = [this] { ++clicks; };
    forms::Control& ok = Add("CommandButton", "OKButton", "OK", {1500, 2700, 1200, 375});
    ok.isDefault = true;
    ok.click = [this] { Unload(); };
    forms::Control& cancel = Add("CommandButton", "CancelButton", "Cancel", {2850, 2700, 1200, 375});
    cancel.isCancel = true;
    cancel.click = [this] {
      cancelled = true;
      Unload();
    };
    // Tab order by index, not by order of adding: the text box first.
    (*this)["Text1"].tabIndex = 0;
    (*this)["Label1"].tabIndex = 5;
  }
  int changes = 0, clicks = 0;
  bool cancelled = false;
};

TEST(FormWidget, PlacesEveryControlAtItsTwipPositionInItsContainer) {
  TestForm form;
  form.Load();
  window::FormDialog dialog(form, nullptr);
  window::FormWidget& view = dialog.view();
  const double dpi = view.logicalDpiX();
  EXPECT_EQ(view.size(), QSize(Pixels(4500, dpi), Pixels(3300, dpi)));
  for (const char* name : {"Label1", "Text1", "Frame1", "Check1", "OKButton", "CancelButton"}) {
    QWidget* w = view.WidgetOf(name);
    ASSERT_NE(w, nullptr) << name;
    if (std::string(name) != "Label1") {
      EXPECT_EQ(w->geometry(), Expected(form[name].pos, dpi)) << name;
    }
    EXPECT_EQ(w->geometry().topLeft(), Expected(form[name].pos, dpi).topLeft()) << name;
  }
  EXPECT_EQ(view.WidgetOf("Check1")->parentWidget(), view.WidgetOf("Frame1")) << "a frame's control is placed within it";
  EXPECT_EQ(static_cast<QGroupBox*>(view.WidgetOf("Frame1"))->title().toStdString(), "Options");
  EXPECT_EQ(view.DefaultButton(), view.WidgetOf("OKButton"));
  EXPECT_TRUE(static_cast<QPushButton*>(view.WidgetOf("OKButton"))->isDefault());
  // Tab goes on to the next control that takes the focus, by tab index.
  auto next = [](QWidget* from) {
    QWidget* w = from->nextInFocusChain();
    while (w != from && !(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
    return w;
  };
  EXPECT_EQ(next(view.WidgetOf("Text1")), view.WidgetOf("Check1")) << "tab order follows the indices";
  EXPECT_EQ(next(view.WidgetOf("Check1")), view.WidgetOf("OKButton"));
}

TEST(FormWidget, CarriesEventsBothWaysAndEscapePressesCancel) {
  TestForm form;
  form.Load();
  window::FormDialog dialog(form, nullptr);
  dialog.show();
  window::FormWidget& view = dialog.view();
  static_cast<QCheckBox*>(view.WidgetOf("Check1"))->click();
  EXPECT_EQ(form["Check1"].value, 1);
  EXPECT_EQ(form.clicks, 1);
  QTest::keyClicks(view.WidgetOf("Text1"), "Ann");
  EXPECT_EQ(form["Text1"].caption, "Ann");
  EXPECT_EQ(form.changes, 3);

  form.SetText("Label1", "Full name");
  form["OKButton"].enabled = false;
  dialog.Follow();
  EXPECT_EQ(static_cast<QLabel*>(view.WidgetOf("Label1"))->text().toStdString(), "Full name");
  EXPECT_FALSE(view.WidgetOf("OKButton")->isEnabled());

  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(form.cancelled);
  EXPECT_FALSE(form.loaded());
  EXPECT_FALSE(dialog.isVisible());
}

TEST(FormWidget, ConfirmDeletionFitsItsClientArea) {
  quorvane::PromptDeleteForm form;
  form.strPrompt = "Appointment (Team meeting)\r\nHas been removed from the Global Calendar\r\n"
                   "Do you want to remove from your Local Calendar?";
  form.Load();
  window::FormDialog dialog(form, nullptr);
  const QRect client(QPoint(0, 0), dialog.view().size());
  ASSERT_FALSE(client.isEmpty());
  auto* label = static_cast<QLabel*>(dialog.view().WidgetOf("Label1"));
  EXPECT_GE(label->height(), label->heightForWidth(label->width())) << "the three lines are not clipped";
  for (forms::Control& c : form.controls()) {
    const QRect r = dialog.view().WidgetOf(c.name)->geometry();
    EXPECT_FALSE(r.isEmpty()) << c.name;
    EXPECT_TRUE(client.contains(r)) << c.name;
  }
  EXPECT_EQ(dialog.view().CancelButton(), dialog.view().WidgetOf("CancelButton"));
}

}  // namespace
