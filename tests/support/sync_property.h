#pragma once
// Random edits and deletions by three members (Ann, the owner, Bob and Cy), joined to group
// here, with passes in between; then passes until quiet. Fails the test when the calendars do
// not agree, or an appointment is lost, doubled or comes back after its deletion.
#include "tests/support/workgroup.h"

namespace testing_support {

void CheckCalendarsAgreeOnceThePassesSettle(Workgroup& group, unsigned seed, int steps = 40);

}  // namespace testing_support
