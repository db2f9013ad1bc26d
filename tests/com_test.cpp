// Variants, late binding across a library boundary, object variables and the error object.
#include <gtest/gtest.h>
#include <cctype>

#include "platform/com/class_registry.h"
#include "platform/com/com_error.h"
#include "platform/com/err_object.h"
#include "platform/com/ref.h"
#include "platform/com/text.h"

using com::Variant;

namespace {

long ErrorNumberOf(const std::function<void()>& f) {
  com::ErrObject err;
  err.Try(f);
  return err.Number();
}

TEST(VariantTest, ConversionsFollowTheHostRules) {
  EXPECT_EQ(-1, Variant::Boolean(true).ToInteger());
  EXPECT_EQ(0, Variant::Boolean(false).ToLong());
  EXPECT_EQ(2, Variant(2.5).ToInteger()) << "half rounds to even";
  EXPECT_EQ(4, Variant(3.5).ToInteger());
  EXPECT_EQ(30, Variant(" 30 ").ToInteger());
  EXPECT_EQ("True", Variant::Boolean(true).ToString());
  EXPECT_EQ("1.5", Variant(1.5).ToString());
  EXPECT_EQ(com::kErrOverflow, ErrorNumberOf([] { Variant(int32_t{40000}).ToInteger(); }));
  EXPECT_EQ(com::kErrTypeMismatch, ErrorNumberOf([] { Variant("abc").ToLong(); }));
  EXPECT_TRUE(Variant(int16_t{1}) == Variant(int32_t{1}));
  EXPECT_TRUE(Variant("1") == Variant(int32_t{1}));
  EXPECT_FALSE(Variant("x") == Variant(int32_t{1}));
  EXPECT_EQ(com::Date::FromParts(2026, 3, 10), Variant("3/10/2026").ToDate());
}

TEST(ComTest, LateBoundCallsReachAClassInARuntimeLoadedLibrary) {
  com::ClassRegistry::Instance().RegisterLibrary("TestLib.Counter", QUORVANE_BIN_DIR "/TestComLib.so");
  com::ObjectPtr counter = com::CreateObject("TESTLIB.counter");
  ASSERT_TRUE(counter);
  com::PutProperty(counter, "Value", int32_t{40});
  EXPECT_EQ(42, com::CallMethod(counter, "add", {int32_t{2}}).ToLong());
  EXPECT_EQ(42, com::GetProperty(counter, "VALUE").ToLong());

  try {
    com::CallMethod(counter, "Fail");
    FAIL() << "expected the library's error";
  } catch (const com::ComError& e) {
    EXPECT_EQ(1234, e.number());
    EXPECT_EQ("Counter refused", e.description());
  }
  try {
    com::GetProperty(counter, "NoSuchThing");
    FAIL();
  } catch (const com::ComError& e) {
    EXPECT_EQ(438, e.number());
    EXPECT_EQ("Object doesn't support this property or method", e.description());
  }
  // An empty object handed across the boundary raises 91 on the far side.
  EXPECT_EQ(com::kErrObjectNotSet, ErrorNumberOf([&] { com::CallMethod(counter, "Describe", {Variant::Nothing()}); }));
}

TEST(ComTest, CreatingAnUnknownOrUnloadableClassRaises429) {
  EXPECT_EQ(429, ErrorNumberOf([] { com::CreateObject("Nobody.Here"); }));
  com::ClassRegistry::Instance().RegisterLibrary("Broken.Lib", "/nonexistent/lib.so");
  EXPECT_EQ(429, ErrorNumberOf([] { com::CreateObject("Broken.Lib"); }));
  com::ClassRegistry::Instance().RegisterLibrary("TestLib.Other", QUORVANE_BIN_DIR "/TestComLib.so");
  EXPECT_EQ(429, ErrorNumberOf([] { com::CreateObject("TestLib.Other"); })) << "library without that class";
}

TEST(ComTest, EmptyObjectVariableRaises91) {
  struct Thing {
    int value = 7;
  };
  com::Ref<Thing> nothing;
  EXPECT_TRUE(nothing.IsNothing());
  com::ErrObject err;
  EXPECT_FALSE(err.Try([&] { (void)nothing->value; }));
  EXPECT_EQ(91, err.Number());
  EXPECT_EQ("Object variable or With block variable not set", err.Description());
  EXPECT_EQ(com::kErrObjectNotSet, ErrorNumberOf([] { com::GetProperty(nullptr, "Anything"); }));
}

TEST(ComTest, ResumeNextReportsEachFailureAndGoesOn) {
  com::ErrObject err;
  std::vector<long> reported;
  int reached = 0;
  com::ResumeNext run(err, [&](const com::ErrObject& e) { reported.push_back(e.Number()); });
  run([&] { com::Raise(5); });
  run([&] { ++reached; });
  run([&] { com::Raise(91); });
  run([&] { ++reached; });
  EXPECT_EQ((std::vector<long>{5, 91}), reported);
  EXPECT_EQ(2, reached);
  EXPECT_FALSE(err.Pending()) << "the handler clears before resuming";
}

}  // namespace

// A quoted text reads back as itself in a filter; case-blind equality and its hash agree over
// texts of any length (the lookups' keys are entry IDs of 72 characters).
TEST(TextTest, QuotingAndCaseBlindComparisonsAgree) {
  EXPECT_EQ("\"\"", com::Quoted(""));
  EXPECT_EQ("\"abc\"", com::Quoted("abc"));
  EXPECT_EQ("\"say \"\"hi\"\"\"", com::Quoted("say \"hi\""));
  EXPECT_EQ("\"\"\"\"\"\"", com::Quoted("\"\""));
  const com::NoCaseHash hash;
  for (const std::string& lower : {std::string("a"), std::string("abcdefg"), std::string("abcdefgh"),
                                   std::string("00000000a3d20e740fff61284070e2b141031ed5525501dc028d1b03x")}) {
    std::string upper = lower;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(com::EqualsNoCase(lower, upper)) << lower;
    EXPECT_EQ(hash(lower), hash(upper)) << lower;
    std::string other = lower;
    other.back() = other.back() == 'x' ? 'y' : 'x';
    EXPECT_FALSE(com::EqualsNoCase(lower, other)) << lower;
  }
  EXPECT_FALSE(com::EqualsNoCase("@", "`")) << "only letters fold";
  EXPECT_FALSE(com::EqualsNoCase("ab", "abc"));
}
