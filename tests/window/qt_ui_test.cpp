// Message boxes as QMessageBox: the style's buttons, icon, title and default button.
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "host/window/qt_ui.h"

namespace {

TEST(QtUi, MessageBoxHasTheStylesButtonsIconTitleAndDefault) {
  window::QtUi ui;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  std::vector<QMessageBox::StandardButton> buttons;
  QMessageBox::StandardButton byDefault = QMessageBox::NoButton;
  ui.OnNextBox([&](QMessageBox& box) {
    title = box.windowTitle();
    text = box.text();
    icon = box.icon();
    for (QAbstractButton* b : box.buttons()) buttons.push_back(box.standardButton(b));
    byDefault = box.standardButton(box.defaultButton());
    box.button(QMessageBox::Yes)->click();
  });
  const int answer = ui.MessageBox("Create the toolbar?\r\nIt has four buttons.", "Orbitra",
                                   win32::vbYesNo | win32::vbQuestion | win32::vbDefaultButton2);
  EXPECT_EQ(answer, win32::vbYes);
  EXPECT_EQ(title.toStdString(), "Orbitra");
  EXPECT_EQ(text.toStdString(), "Create the toolbar?\nIt has four buttons.");
  EXPECT_EQ(icon, QMessageBox::Question);
  EXPECT_EQ(buttons.size(), 2u);
  EXPECT_EQ(byDefault, QMessageBox::No);
  ASSERT_EQ(ui.boxesShown.size(), 1u);
  EXPECT_EQ(ui.boxesShown[0].answer, win32::vbYes);
}

TEST(QtUi, EscapeAnswersCancelOrTheOnlyButtonAndAGivenAnswerShowsNoBox) {
  window::QtUi ui;
  ui.OnNextBox([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
  EXPECT_EQ(ui.MessageBox("Save?", "Quorvane", win32::vbYesNoCancel | win32::vbExclamation), win32::vbCancel);
  ui.OnNextBox([](QMessageBox& box) {
    EXPECT_EQ(box.icon(), QMessageBox::Critical);
    QTest::keyClick(&box, Qt::Key_Escape);
  });
  EXPECT_EQ(ui.MessageBox("It failed.", "Quorvane", win32::vbOKOnly | win32::vbCritical), win32::vbOK);

  ui.SetAnswer(win32::vbNo);
  EXPECT_EQ(ui.MessageBox("Delete?", "Quorvane", win32::vbYesNo), win32::vbNo) << "answered without a box";
  ui.OnNextBox([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
  EXPECT_EQ(ui.MessageBox("Done.", "Quorvane", win32::vbOKOnly), win32::vbOK) << "a box without No is shown";
}

}  // namespace
