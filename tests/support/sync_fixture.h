#pragma once
// The add-in connected to a member's two calendars: "Mailbox - Ann|Calendar" as the Local
// Calendar and "Public Folders|All Public Folders|Team" as the Global Calendar.
#include "tests/support/addin_fixture.h"
#include "tests/support/store_fixture.h"

namespace testing_support {

class SyncFixture : public AddinFixture {
 protected:
  SyncFixture();

  com::Date At(int month, int day, int hour = 0, int minute = 0) const {
    return com::Date::FromParts(2026, month, day, hour, minute, 0);
  }
  com::Ref<outlook::AppointmentItem> Local(const std::string& subject, com::Date start, com::Date end) {
    return world.AddAppt(world.calendar, subject, start, end);
  }
  com::Ref<outlook::AppointmentItem> Global(const std::string& subject, com::Date start, com::Date end) {
    return world.AddAppt(world.team, subject, start, end);
  }
  // The stored text of a user property, or "<none>".
  std::string Prop(const com::Ref<outlook::AppointmentItem>& item, const std::string& name);
  void SetProp(const com::Ref<outlook::AppointmentItem>& item, const std::string& name, const std::string& value);
  com::Ref<outlook::AppointmentItem> Reload(const com::Ref<outlook::AppointmentItem>& item);
  std::vector<std::string> Subjects(const com::Ref<outlook::MAPIFolder>& folder) {
    return StoreWorld::Subjects(folder->Items());
  }

  StoreWorld world;
};

}  // namespace testing_support
