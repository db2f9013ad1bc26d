// Restrict's filter texts beyond any the add-in builds: refused with the store's error, never
// by running out of stack (a marker's value ends up inside a filter text).
#include <gtest/gtest.h>

#include "platform/com/com_error.h"
#include "platform/mapistore/filter.h"
#include "platform/mapistore/store_errors.h"

namespace {

const std::string kCompare = "[End] < \"3/11/2026\"";

std::string ErrorOf(const std::string& text) {
  try {
    mapistore::ParseFilter(text);
  } catch (const com::ComError& e) {
    EXPECT_EQ(mapistore::kErrBadCondition, e.number());
    return e.description();
  }
  return "";
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(FilterTest, NestingIsBoundedByAnErrorNotByTheStack) {
  EXPECT_EQ("", ErrorOf(Repeat("(", 200) + kCompare + Repeat(")", 200)));
  EXPECT_EQ("", ErrorOf(Repeat("Not ", 100) + Repeat("(", 100) + kCompare + Repeat(")", 100)));
  const std::string deep = ErrorOf(Repeat("(", 201) + kCompare + Repeat(")", 201));
  EXPECT_NE(std::string::npos, deep.find("Too deeply nested at position 201")) << deep;
  EXPECT_NE("", ErrorOf(Repeat("Not ", 201) + kCompare));
  // Once deep enough to overflow the stack of the parser itself.
  EXPECT_NE("", ErrorOf(Repeat("(", 1000000) + kCompare + Repeat(")", 1000000)));
}

TEST(FilterTest, LengthIsBoundedByAnErrorNotByTheStack) {
  const std::string chain = kCompare + Repeat(" Or " + kCompare, 999);
  EXPECT_EQ("", ErrorOf(chain));
  EXPECT_NE(std::string::npos, ErrorOf(chain + " And " + kCompare).find("Too many comparisons"));
  // Once long enough to overflow the stack of the tree's destructor.
  EXPECT_NE("", ErrorOf(kCompare + Repeat(" Or " + kCompare, 1000000)));
}

}  // namespace
