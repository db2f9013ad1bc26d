#include "platform/mapistore/records.h"

#include "platform/com/text.h"

namespace mapistore {

com::Variant ItemRecord::Field(outlook::ApptField f) const {
  auto it = fields.find(f);
  return it != fields.end() ? it->second : outlook::DefaultValue(outlook::Info(f).kind);
}

UserPropRecord* ItemRecord::FindProp(const std::string& name) {
  for (auto& p : userProps) {
    if (com::EqualsNoCase(p.name, name)) return &p;
  }
  return nullptr;
}

}  // namespace mapistore
