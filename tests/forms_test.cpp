// The headless form model: tree nodes, option groups, the events code and users raise.
#include <gtest/gtest.h>

#include "platform/com/com_error.h"
#include "platform/forms/form.h"
#include "tests/support/addin_fixture.h"

using namespace testing_support;

namespace {

long ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const com::ComError& e) {
    return e.number();
  }
  return 0;
}

TEST(TreeNodesTest, KeysAreUniqueNeverBeginWithADigitAndPathsFindNodes) {
  forms::TreeNodes nodes;
  EXPECT_EQ(1, nodes.Add("", "Aroot", "Root"));
  EXPECT_EQ(2, nodes.Add("Aroot", "Bchild", "Child"));
  EXPECT_EQ(3, nodes.Add("Bchild", "", "Leaf"));
  EXPECT_EQ(35602, ErrorOf([&] { nodes.Add("Aroot", "Bchild", "Again"); }));
  EXPECT_EQ(35603, ErrorOf([&] { nodes.Add("Aroot", "0abc", "Digit"); }));
  EXPECT_EQ(35601, ErrorOf([&] { nodes.Add("Nowhere", "Cx", "Lost"); }));
  EXPECT_EQ(3, nodes.Count()) << "a refused node is not added";
  EXPECT_EQ(3, nodes.FindPath("Root|Child|Leaf"));
  EXPECT_EQ(0, nodes.FindPath("Root|Leaf"));
  EXPECT_EQ((std::vector<std::string>{"Root", "  Child", "    Leaf"}), nodes.Lines());
  nodes.Clear();
  EXPECT_EQ(1, nodes.Add("", "Aroot", "Root")) << "indices start again";
}

class FormEventsTest : public AddinFixture {
 protected:
  FormEventsTest() : form("Test", "Test") {
    form.Add("Frame", "FrameA", "", {});
    form.Add("OptionButton", "A1", "", {}, "FrameA").click = [this] { clicks.push_back("A1"); };
    form.Add("OptionButton", "A2", "", {}, "FrameA").click = [this] { clicks.push_back("A2"); };
    form.Add("OptionButton", "B1", "", {}).click = [this] { clicks.push_back("B1"); };
    form.Add("TextBox", "T", "", {}).change = [this] {
      clicks.push_back("T");
      com::Variant(form["T"].caption).ToInteger();
    };
  }
  forms::Form form;
  std::vector<std::string> clicks;
};

TEST_F(FormEventsTest, OptionsAreExclusiveWithinTheirContainerAndEventsFireOnChangeOnly) {
  form.SetValue("B1", 1);
  form.Click("A1");
  form.Click("A2");
  EXPECT_EQ(0, form["A1"].value);
  EXPECT_EQ(1, form["A2"].value);
  EXPECT_EQ(1, form["B1"].value) << "another container";
  form.SetValue("A2", 1);  // selected already: no event
  form.SetText("T", "5");
  form.SetText("T", "5");
  EXPECT_EQ((std::vector<std::string>{"B1", "A1", "A2", "T"}), clicks);
  form["A1"].enabled = false;
  form.Click("A1");
  EXPECT_EQ(0, form["A1"].value) << "a disabled control does nothing";
}

TEST_F(FormEventsTest, ARunTimeErrorInAHandlerIsShownAndTheFormGoesOn) {
  form.Type("T", "x");
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("Run-time error '13':\r\n\r\nType mismatch", ui.shown[0].text);
  EXPECT_EQ("x", form["T"].caption);
  forms::Form outer("Outer", "Outer");
  outer.Embed(form, "Inner", {});
  outer.Click("A1");
  EXPECT_EQ(1, form["A1"].value) << "an embedded form's controls answer by name";
  EXPECT_EQ(6u, outer.AllControls().size());
}

}  // namespace
