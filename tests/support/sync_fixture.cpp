#include "tests/support/sync_fixture.h"

#include "platform/outlook/outlook_enums.h"

namespace testing_support {

SyncFixture::SyncFixture() : world(dir.path(), clock, loop) {
  addin->oApplication = world.app;
  addin->oNS = world.ns;
  addin->oLocalCalendar = world.calendar;
  addin->oGlobalCalendar = world.team;
  addin->strVersion = "2.2.0.5";
  addin->GlobalOwner = 1;
}

std::string SyncFixture::Prop(const com::Ref<outlook::AppointmentItem>& item, const std::string& name) {
  auto fresh = Reload(item);
  auto p = fresh->UserProperties()->Find(name);
  return p.IsNothing() ? "<none>" : p->Value().ToString();
}

void SyncFixture::SetProp(const com::Ref<outlook::AppointmentItem>& item, const std::string& name,
                          const std::string& value) {
  auto p = item->UserProperties()->Find(name);
  if (p.IsNothing()) p = item->UserProperties()->Add(name, outlook::olText, true);
  p->SetValue(value);
  item->Save();
}

com::Ref<outlook::AppointmentItem> SyncFixture::Reload(const com::Ref<outlook::AppointmentItem>& item) {
  return world.ns->GetItemFromID(item->EntryID());
}

}  // namespace testing_support
