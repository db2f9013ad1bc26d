// Random work on several members' calendars and the Global Calendar, interleaved with passes;
// once the passes have settled, every calendar agrees and nothing is lost or doubled.
#include <gtest/gtest.h>

#include "tests/support/sync_property.h"

using namespace testing_support;

namespace {

class SyncPropertyTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(SyncPropertyTest, CalendarsAgreeOnceThePassesSettle) {
  Workgroup group;
  CheckCalendarsAgreeOnceThePassesSettle(group, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Seeds, SyncPropertyTest, ::testing::Range(1u, 25u));

}  // namespace
