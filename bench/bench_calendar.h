#pragma once
// The benchmarks' appointments: n simple ones spread over the next 25 days, each with a
// subject, a location and a short body, as vdirsyncer_compare.sh writes them as files.
#include <string>

#include "platform/mapistore/sqlite_store.h"

namespace bench {

inline void Fill(mapistore::Store& store, int64_t folderId, int n, const char* prefix, com::Date today) {
  mapistore::ItemRecord r;
  for (int i = 0; i < n; ++i) {
    r.id = 0;
    r.folderId = folderId;
    const com::Date start = com::Date::FromUnixMillis(today.UnixMillis() + (i % 25) * 86400000LL + 9 * 3600000LL +
                                                      (i % 480) * 60000LL);
    r.fields.Set(outlook::ApptField::Subject, com::Variant(std::string(prefix) + std::to_string(i)));
    r.fields.Set(outlook::ApptField::Start, com::Variant(start));
    r.fields.Set(outlook::ApptField::End, com::Variant(com::Date::FromUnixMillis(start.UnixMillis() + 1800000)));
    r.fields.Set(outlook::ApptField::Body, com::Variant("Benchmark appointment " + std::to_string(i)));
    r.fields.Set(outlook::ApptField::Location, com::Variant("Room " + std::to_string(i % 40)));
    store.SaveItem(r);
  }
}

}  // namespace bench
