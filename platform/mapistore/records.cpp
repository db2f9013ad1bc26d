#include "platform/mapistore/records.h"

#include "platform/com/text.h"

namespace mapistore {

com::Variant ItemRecord::Field(outlook::ApptField f) const {
  const com::Variant& v = fields[f];
  return v.IsEmpty() ? outlook::DefaultValue(outlook::Info(f).kind) : v;
}

UserPropRecord* ItemRecord::FindProp(const std::string& name) {
  for (auto& p : userProps) {
    if (com::EqualsNoCase(p.name, name)) return &p;
  }
  return nullptr;
}

}  // namespace mapistore
